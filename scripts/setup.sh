# Sourced by run.sh and test.sh: installs the Debian packages the project needs (only those that
# are missing) and builds in build/ with Ninja, incrementally.
set -euo pipefail

project_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir="$project_dir/build"

# Build tools, Qt 6 with its X11 and Wayland platform plugins and its SVG plugins (the window
# icon), the fonts the window names (Liberation Sans stands in for Arial, DejaVu Sans Mono for
# Lucida Console), and Google Benchmark for the benchmarks that build alongside.
readonly build_packages=(
    cmake ninja-build g++
    qt6-base-dev qt6-qpa-plugins qt6-wayland libqt6svg6
    fonts-liberation2 fonts-dejavu-core
    libbenchmark-dev
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# install_missing_packages PACKAGE...
install_missing_packages() {
    local missing=() package
    for package in "$@"; do
        if ! dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null | grep -qx installed; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing the missing packages: ${missing[*]}"
    as_root apt-get update
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}

# configure DIR [CMAKE_ARGUMENT...]: configures DIR the first time only; after that, CMake and
# Ninja redo only what changed.
configure() {
    local dir=$1
    shift
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S "$project_dir" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    fi
}

# build [cmake --build option...]: the ordinary build, in build/.
build() {
    configure "$build_dir"
    cmake --build "$build_dir" "$@"
}
