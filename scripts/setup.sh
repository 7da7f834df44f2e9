# Sourced by run.sh, test.sh and benchmark.sh: installs the Debian packages the project needs
# (only those that are missing) and configures and builds with CMake and Ninja, incrementally.
set -euo pipefail

project_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir="$project_dir/build"

# packages PURPOSE...: the Debian packages listed for these purposes.
packages() {
    local purpose
    for purpose in "$@"; do
        sed -n "s/^$purpose:[[:space:]]*//p" "$project_dir/packaging/debian-packages.txt"
    done
}

# install_missing_packages PURPOSE...: installs what is missing of those purposes' packages, as
# root or through sudo; without either, says what to run as root and stops.
install_missing_packages() {
    local missing=() package
    for package in $(packages "$@"); do
        if ! dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null | grep -qx installed; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Missing Debian packages: ${missing[*]}"
    local as_root=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null; then
            cat >&2 <<MESSAGE
Installing them needs root, and sudo is not installed. Run this once as root, then this command again:
  su -c 'apt-get update && apt-get install -y --no-install-recommends ${missing[*]}'
MESSAGE
            exit 1
        fi
        as_root=(sudo)
    fi
    "${as_root[@]}" apt-get update
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}

# debian_archive SUITE: the URI of the archive that this machine's apt takes the suite of its own
# release from ("" for the release itself, "-updates", "-security"), read from apt's own
# configuration: the project names no archive of its own.
debian_archive() {
    local codename
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    apt-get --print-uris update 2>/dev/null | sed -n "s|^'\(.*\)/dists/$codename$1/InRelease'.*|\1|p" | head -1
}

# configure DIR [CMAKE_ARGUMENT...]: configures DIR with Ninja, every time, so a changed option or
# file list takes effect; CMake and Ninja then redo only what changed.
configure() {
    local dir=$1
    shift
    cmake -S "$project_dir" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
}

# build [CMAKE_ARGUMENT...] [-- cmake --build option...]: the ordinary build, in build/.
build() {
    local options=()
    while [ $# -gt 0 ] && [ "$1" != -- ]; do
        options+=("$1")
        shift
    done
    [ $# -gt 0 ] && shift
    configure "$build_dir" "${options[@]}"
    cmake --build "$build_dir" "$@"
}
