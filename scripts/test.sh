#!/bin/sh
# Sets up the machine and runs every test: the normal build, ASan+UBSan, ThreadSanitizer for the
# Qt-free layers, the Qt-free layers built for Windows and tested under Wine, and a bounded
# fuzzing run. Fails when any of them fails.
set -eu
cd "$(dirname "$0")/.."

./scripts/setup.sh

jobs=$(nproc)
fuzz_seconds=${MOTOR_PANEL_FUZZ_SECONDS:-20}

for preset in default asan tsan; do
    echo "== $preset: build and test" >&2
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    ctest --preset "$preset" -j "$jobs"
done

echo "== win64: build with mingw-w64 and test under Wine" >&2
./scripts/test-win64.sh

echo "== fuzz: ${fuzz_seconds}s per target" >&2
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
./scripts/run-fuzzers.sh build-fuzz "$fuzz_seconds"
echo "== all tests passed" >&2
