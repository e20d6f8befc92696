#!/usr/bin/env bash
# Builds Sievewright and its tests, installing the Debian packages they need, and runs every test.
#   scripts/test.sh          the Release build in build/
#   scripts/test.sh --all    also the tests under AddressSanitizer and UndefinedBehaviorSanitizer
#                            (build-sanitize/) and a short run of every fuzz target (build-fuzz/)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

all=false
case "${1:-}" in
    "") ;;
    --all) all=true ;;
    *) echo "usage: scripts/test.sh [--all]" >&2; exit 2 ;;
esac

groups=(build run test)
$all && groups+=(fuzz)
ensure_packages "${groups[@]}"

build_project
(cd "$BUILD_DIR" && ctest --output-on-failure --parallel "$(nproc)")

if $all; then
    echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
    build_project "$ROOT/build-sanitize" -DSIEVEWRIGHT_SANITIZE=ON -DSIEVEWRIGHT_BENCH=OFF
    (cd "$ROOT/build-sanitize" &&
        ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
        LSAN_OPTIONS=suppressions=$ROOT/tests/sanitizer-suppressions.txt:print_suppressions=0 \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --output-on-failure --parallel "$(nproc)" -E packaging_)

    if [ -f "$ROOT/fuzz/CMakeLists.txt" ]; then
        echo "== Fuzz targets, ${SIEVEWRIGHT_FUZZ_SECONDS:-30} s each"
        CC=clang CXX=clang++ build_project "$ROOT/build-fuzz" -DSIEVEWRIGHT_FUZZ=ON \
            -DSIEVEWRIGHT_BENCH=OFF -DBUILD_TESTING=OFF
        "$ROOT/scripts/fuzz.sh" "$ROOT/build-fuzz" "${SIEVEWRIGHT_FUZZ_SECONDS:-30}"
    fi
fi
