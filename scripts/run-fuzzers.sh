#!/bin/sh
# Runs every libFuzzer target in BUILD_DIR/bin for SECONDS each, from the committed seeds.
# Any crash, leak or sanitizer report fails the run.
set -eu
build_dir=$1
seconds=$2
root="$(cd "$(dirname "$0")/.." && pwd)"

found=0
for target in "$build_dir"/bin/fuzz-*; do
    [ -x "$target" ] || continue
    found=1
    name=$(basename "$target")
    corpus="$build_dir/corpus/$name"
    mkdir -p "$corpus"
    seeds="$root/fuzz/seeds/$name"
    [ -d "$seeds" ] || seeds=""
    echo "fuzz: $name for ${seconds}s" >&2
    "$target" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$build_dir/" \
        "$corpus" $seeds 2>"$build_dir/$name.log" || { tail -50 "$build_dir/$name.log" >&2; exit 1; }
    grep -E "^(stat::number_of_executed_units|#[0-9]+ *DONE)" "$build_dir/$name.log" >&2 || true
done
[ "$found" -eq 1 ] || { echo "fuzz: no targets in $build_dir/bin" >&2; exit 1; }
