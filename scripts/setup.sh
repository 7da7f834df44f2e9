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

# apt_source_files [APT_ETC]: the files apt reads its sources from, in the order it reads them:
# APT_ETC/sources.list, then APT_ETC/sources.list.d/*.list and *.sources by name (APT_ETC is
# /etc/apt unless given).
apt_source_files() {
    local etc=${1:-/etc/apt} file
    [ -f "$etc/sources.list" ] && echo "$etc/sources.list"
    for file in "$etc"/sources.list.d/*; do
        case $file in *.list | *.sources) [ -f "$file" ] && echo "$file" ;; esac
    done
    return 0
}

# debian_archive SUITE [APT_ETC]: the URI of the first archive in this machine's apt sources that
# serves SUITE ("bookworm", "bookworm-security" ...) with the component main, from the one-line
# sources.list format and the deb822 .sources format alike; nothing, and a failing status, where
# none does. The project names no archive of its own.
debian_archive() {
    local suite=$1 files
    mapfile -t files < <(apt_source_files "${2:-}")
    [ ${#files[@]} -gt 0 ] || return 1
    awk -v wanted="$suite" '
        function serves(uri, suites, components) {
            return uri !~ /^cdrom:/ && (" " suites " ") ~ (" " wanted " ") && (" " components " ") ~ / main /
        }
        function stanza_end() {
            if (types ~ /(^| )deb(-src)?( |$)/ && tolower(enabled) != "no") {
                split(uris, first, " ")
                if (serves(first[1], suites, components)) { print first[1]; found = 1; exit }
            }
            types = uris = suites = components = enabled = key = ""
        }
        FNR == 1 { if (deb822) stanza_end(); deb822 = FILENAME ~ /\.sources$/ }
        deb822 && /^[ \t]*#/ { next }
        deb822 && /^[ \t]*$/ { stanza_end(); next }
        deb822 && /^[ \t]/ { set_field(key, $0); next }
        deb822 {
            key = tolower(substr($0, 1, index($0, ":") - 1))
            set_field(key, substr($0, index($0, ":") + 1))
            next
        }
        function set_field(name, text) {
            gsub(/[ \t]+/, " ", text)
            if (name == "types") types = types " " text
            else if (name == "uris") uris = uris " " text
            else if (name == "suites") suites = suites " " text
            else if (name == "components") components = components " " text
            else if (name == "enabled") { gsub(/ /, "", text); enabled = text }
        }
        {
            sub(/#.*/, "")
            if ($1 != "deb" && $1 != "deb-src") next
            field = 2
            if ($field ~ /^\[/) { while (field <= NF && $field !~ /\]$/) field++; field++ }
            components = ""
            for (i = field + 2; i <= NF; i++) components = components " " $i
            if (serves($field, $(field + 1), components)) { print $field; found = 1; exit }
        }
        END { if (!found && deb822) stanza_end(); exit !found }
    ' "${files[@]}"
}

# required_debian_archive SUITE: as debian_archive, or stops with a sentence naming the files read.
required_debian_archive() {
    local files
    debian_archive "$1" && return 0
    files=$(apt_source_files | paste -sd ' ')
    echo "No archive serving Debian $1 with main was found in apt's sources (read: ${files:-no file, none in /etc/apt})." >&2
    exit 1
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
