#!/bin/sh
# Runs a Windows program under Wine in the prefix of a build: wine-run.sh WINE_DIR PROGRAM [ARG...]
# WINE_DIR is the build's wine/ folder (see wine-server.sh, which makes the prefix and starts the
# server). Headless: no display, no Wine debug output.
set -eu
wine_dir=$1
shift
export WINEPREFIX="$wine_dir/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "$@"
