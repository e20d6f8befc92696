#!/usr/bin/env bash
# Builds the Debian package of Sievewright into build/ (installing what is missing), then has
# lintian check it when lintian is installed: any error fails the build.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages build run package
build_project
cd "$BUILD_DIR"
cpack -G DEB
deb=$(ls -1 "$BUILD_DIR"/sievewright_*.deb)
if command -v lintian >/dev/null 2>&1; then
    lintian --fail-on error "$deb"
else
    echo "lintian is not installed: the package was not checked." >&2
fi
echo "$deb"
