#!/usr/bin/env bash
# check_deb.sh BUILD_DIR: builds the Debian package and has lintian check it: no error, no
# warning. Skipped (77) where lintian or dpkg-shlibdeps is not installed.
set -euo pipefail
build=$1
for tool in lintian dpkg-shlibdeps; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
deb=$(ls "$out"/sievewright_*.deb)
lintian --fail-on error,warning "$deb"
# The program inside is stripped.
dpkg-deb -x "$deb" "$out/root"
file "$out/root/usr/bin/sievewright" | grep -q ', stripped' || { echo "FAIL: not stripped" >&2; exit 1; }
echo "lintian on $(basename "$deb"): ok"
