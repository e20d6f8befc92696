#!/usr/bin/env bash
# Builds Sievewright, installing the Debian packages it needs, and starts it.
# Usage: scripts/run.sh [file.RegExp]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages build run
build_project

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "Sievewright is built ($BUILD_DIR/sievewright), but there is no display to show it on." >&2
    echo "Run this from a desktop session, or under a virtual display: xvfb-run scripts/run.sh" >&2
    exit 1
fi
exec "$BUILD_DIR/sievewright" "$@"
