#!/usr/bin/env bash
# Builds Sievewright and its tests, installing the Debian packages they need, and runs every test.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages build run test
build_project
cd "$BUILD_DIR"
ctest --output-on-failure --parallel "$(nproc)"
