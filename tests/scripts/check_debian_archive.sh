#!/usr/bin/env bash
# The reader of apt's sources that the Windows build and try-on-debian.sh take their archive from,
# given made-up apt configurations: one-line and deb822 files, comments, options, several URIs,
# disabled entries, and entries without main. Needs no network.
#   check_debian_archive.sh SETUP_SH
source "$1"
etc=$(mktemp -d)
trap 'rm -rf "$etc"' EXIT
failures=0

# expect WANTED SUITE: what debian_archive finds for SUITE in $etc ("" for nothing, and a failing status).
expect() {
    local wanted=$1 suite=$2 found status=0
    found=$(debian_archive "$suite" "$etc") || status=$?
    if [ "$found" != "$wanted" ] || { [ -z "$wanted" ] && [ "$status" -eq 0 ]; }; then
        echo "FAIL $case_name: $suite gave '$found' (status $status), not '$wanted'"
        failures=$((failures + 1))
    fi
}

# configure NAME: a new, empty apt configuration for the case NAME.
configure() {
    case_name=$1
    rm -rf "${etc:?}"/*
    mkdir -p "$etc/sources.list.d"
}

configure "one-line file"
cat >"$etc/sources.list" <<'LIST'
# deb http://commented.example/debian bookworm main
deb [arch=amd64 signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://mirror.example/debian bookworm main contrib # a comment
deb [ arch=amd64 ] http://mirror.example/debian bookworm-updates main
deb http://security.example/debian-security bookworm-security main non-free-firmware
LIST
expect http://mirror.example/debian bookworm
expect http://mirror.example/debian bookworm-updates
expect http://security.example/debian-security bookworm-security
expect "" trixie

configure "deb822 file"
cat >"$etc/sources.list.d/debian.sources" <<'SOURCES'
# The mirror of a school.
Types: deb deb-src
URIs: http://first.example/debian http://second.example/debian
Suites: bookworm
  bookworm-updates
Components: main contrib
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: http://security.example/debian-security
Suites: bookworm-security
Components: main
SOURCES
expect http://first.example/debian bookworm
expect http://first.example/debian bookworm-updates
expect http://security.example/debian-security bookworm-security

configure "disabled entries and no main"
cat >"$etc/sources.list" <<'LIST'
deb http://nomain.example/debian bookworm contrib non-free
deb cdrom:[Debian GNU/Linux 12]/ bookworm main
LIST
cat >"$etc/sources.list.d/a-disabled.sources" <<'SOURCES'
Types: deb
URIs: http://disabled.example/debian
Suites: bookworm
Components: main
Enabled: no
SOURCES
cat >"$etc/sources.list.d/b-proxy.sources" <<'SOURCES'
types: deb
uris: http://proxy.example:3142/debian
suites: bookworm
components: main
SOURCES
cat >"$etc/sources.list.d/other.list.disabled" <<'LIST'
deb http://ignored.example/debian bookworm-security main
LIST
expect http://proxy.example:3142/debian bookworm
expect "" bookworm-security

configure "both formats, the one-line file first"
echo "deb http://oneline.example/debian trixie main" >"$etc/sources.list"
printf 'Types: deb\nURIs: http://deb822.example/debian\nSuites: trixie trixie-security\nComponents: main\n' \
    >"$etc/sources.list.d/debian.sources"
expect http://oneline.example/debian trixie
expect http://deb822.example/debian trixie-security
expect "" trixie-backports

configure "no sources at all"
expect "" bookworm

[ "$failures" -eq 0 ] && echo "all cases found what they should"
exit $((failures > 0))
