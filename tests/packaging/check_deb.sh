#!/usr/bin/env bash
# Builds the Debian package with CPack and checks that it depends on the package of every
# library the program links and on the packages it loads at run time, that it recommends the
# rest, and, where lintian is installed, that Debian's package checker finds nothing to report.
#   check_deb.sh BUILD_DIR DEPENDS RECOMMENDS     (DEPENDS and RECOMMENDS: "a, b, c")
set -euo pipefail
build_dir=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "$*"; exit 1; }

cpack --config "$build_dir/CPackConfig.cmake" -B "$out" >/dev/null
deb=$(find "$out" -maxdepth 1 -name 'scaricometro_*.deb')
[ -n "$deb" ] || fail "cpack made no .deb"
dpkg-deb --extract "$deb" "$out/root"
depends=$(dpkg-deb --field "$deb" Depends)
echo "Depends: $depends"

needed=(${2//,/})
multiarch=$(dpkg-architecture --query DEB_HOST_MULTIARCH)
for library in $(objdump -p "$out/root/usr/bin/scaricometro" | awk '$1 == "NEEDED" { print $2 }'); do
    needed+=("$(dpkg -S "*/$multiarch/$library" | head -n 1 | cut -d: -f1)")
done
for package in "${needed[@]}"; do
    grep -qwF -- "$package" <<<"$depends" || fail "the package does not depend on $package"
done
for package in ${3//,/}; do
    dpkg-deb --field "$deb" Recommends | grep -qwF -- "$package" || fail "the package does not recommend $package"
done
echo "$(basename "$deb") depends on what the program needs"
if command -v lintian >/dev/null; then
    lintian --fail-on error,warning "$deb" || fail "lintian reports the package"
    echo "lintian reports nothing"
else
    echo "lintian is not installed, so the package was not checked by it"
fi
