#!/bin/sh
# Installs what is missing, builds, and starts the panel.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)"
if [ -x build/bin/motor-panel ]; then
    exec build/bin/motor-panel "$@"
fi
echo "run-panel: built; the panel program is not part of this build yet" >&2
