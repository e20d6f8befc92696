#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build for a while, each with its corpus in the build,
# started from the seeds kept in fuzz/corpus/<target>/ (new inputs go to the build's corpus).
#   scripts/fuzz.sh BUILD_DIR SECONDS
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dir=$1
seconds=$2
found=0
for target in "$dir"/fuzz/fuzz_*; do
    [ -f "$target" ] && [ -x "$target" ] || continue
    found=1
    name=$(basename "$target")
    corpus="$dir/corpus/$name"
    mkdir -p "$corpus"
    seeds=()
    [ -d "$root/fuzz/corpus/$name" ] && seeds=("$root/fuzz/corpus/$name")
    # Pattern files are only interesting past libFuzzer's default of 4 KB.
    maxlen=4096
    [ "$name" = fuzz_patternfile ] && maxlen=262144
    echo "-- $name for $seconds s"
    log="$dir/$name.log"
    status=0
    "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 \
        -max_len="$maxlen" "$corpus" "${seeds[@]}" >"$log" 2>&1 || status=$?
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|==[0-9]+==ERROR|SUMMARY)' "$log" || true
    if [ $status -ne 0 ]; then
        tail -n 60 "$log" >&2
        echo "$name found a failure (exit $status); the crashing input is named in $log" >&2
        exit 1
    fi
done
[ $found -eq 1 ] || echo "no fuzz targets in $dir/fuzz"
