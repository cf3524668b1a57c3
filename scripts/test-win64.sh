#!/bin/sh
# Builds the Qt-free layers and their tests for Windows with mingw-w64 and runs the tests under
# Wine (preset win64, build-win64/). The first run also makes the build's Wine prefix.
set -eu
cd "$(dirname "$0")/.."

jobs=$(nproc)
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$jobs"
ctest --preset win64 -j "$jobs"
