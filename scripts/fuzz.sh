#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build for a while, each with its corpus in the build.
#   scripts/fuzz.sh BUILD_DIR SECONDS
set -euo pipefail
dir=$1
seconds=$2
found=0
for target in "$dir"/fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    found=1
    name=$(basename "$target")
    corpus="$dir/corpus/$name"
    mkdir -p "$corpus"
    echo "-- $name for $seconds s"
    "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 \
        "$corpus" 2>&1 | grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|==.*ERROR|SUMMARY|Done)' || true
    [ "${PIPESTATUS[0]}" -eq 0 ] || { echo "$name found a failure" >&2; exit 1; }
done
[ $found -eq 1 ] || echo "no fuzz targets in $dir/fuzz"
