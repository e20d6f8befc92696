#!/usr/bin/env bash
# Builds the Debian package of Sievewright into build/ (installing what is missing).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages build run package
build_project
cd "$BUILD_DIR"
cpack -G DEB
ls -1 "$BUILD_DIR"/sievewright_*.deb
