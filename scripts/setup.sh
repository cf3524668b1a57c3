#!/bin/sh
# Installs every Debian package the project needs. Idempotent and silent when all are present;
# uses sudo only when not running as root.
set -eu

# fonts-wqy-microhei: the window's captions are Chinese; without a face that holds them they
# show as empty boxes. g++-mingw-w64-x86-64-posix, wine, wine64: the Windows build and its tests
# (GoogleTest for it is built from the googletest sources).
packages="
cmake g++ make pkg-config
googletest libgtest-dev libgmock-dev
clang libclang-rt-14-dev
qt6-base-dev
fonts-wqy-microhei
xvfb xauth openbox trayer xdotool x11-utils x11-xserver-utils imagemagick
g++-mingw-w64-x86-64-posix wine wine64
"

missing=""
for p in $packages; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
echo "setup: installing$missing" >&2
$sudo apt-get update -qq
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing >/dev/null
