# Shared by run.sh and test.sh: installs missing Debian packages, configures and builds.
# Source it; it defines ROOT, BUILD_DIR, ensure_packages and build_project.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${SIEVEWRIGHT_BUILD_DIR:-$ROOT/build}

# ensure_packages GROUP...: installs the packages of these groups of scripts/packages.txt that
# are not installed yet. Runs apt-get only when something is missing.
ensure_packages() {
    local wanted=() group line pkg missing=()
    for group in "$@"; do
        line=$(grep -E "^${group}:" "$ROOT/scripts/packages.txt" | cut -d: -f2-)
        read -r -a pkgs <<<"$line"
        wanted+=("${pkgs[@]}")
    done
    for pkg in "${wanted[@]}"; do
        if [ "$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null)" != "installed" ]; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local install=(apt-get install -y --no-install-recommends "${missing[@]}")
    echo "Installing missing packages: ${missing[*]}"
    if [ "$(id -u)" -eq 0 ]; then
        DEBIAN_FRONTEND=noninteractive apt-get update -qq
        DEBIAN_FRONTEND=noninteractive "${install[@]}"
    elif command -v sudo >/dev/null 2>&1; then
        sudo DEBIAN_FRONTEND=noninteractive apt-get update -qq
        sudo DEBIAN_FRONTEND=noninteractive "${install[@]}"
    else
        echo "These Debian packages are missing. Install them as root, then run this again:" >&2
        echo "  apt-get update && ${install[*]}" >&2
        exit 1
    fi
}

# build_project [BUILD_DIR [CMAKE_ARGS...]]: configures once (Release), then builds incrementally.
build_project() {
    local dir=${1:-$BUILD_DIR}
    shift || true
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        local launcher=()
        # Several checkouts of the project build much faster through a shared compiler cache.
        if command -v ccache >/dev/null 2>&1; then
            launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
        fi
        cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" "$@"
    fi
    cmake --build "$dir" --parallel "$(nproc)"
}
