#!/usr/bin/env bash
# Builds the Debian package with CPack and checks that it carries the program and its desktop
# files, depends on the package of every library the program links and on the packages it loads
# at run time, and recommends the rest.
#   check_deb.sh BUILD_DIR DEPENDS RECOMMENDS     (DEPENDS and RECOMMENDS: "a, b, c")
set -euo pipefail
build_dir=$1
expected_depends=${2//,/}
expected_recommends=${3//,/}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "$*"; exit 1; }

cpack --config "$build_dir/CPackConfig.cmake" -B "$out" >/dev/null
deb=$(find "$out" -maxdepth 1 -name 'scaricometro_*.deb')
[ -n "$deb" ] || fail "cpack made no .deb"
depends=$(dpkg-deb --field "$deb" Depends)
recommends=$(dpkg-deb --field "$deb" Recommends)
echo "Depends: $depends"
echo "Recommends: $recommends"

dpkg-deb --extract "$deb" "$out/root"
program="$out/root/usr/bin/scaricometro"
[ -x "$program" ] || fail "the package lacks an executable usr/bin/scaricometro"
linked=()
multiarch=$(dpkg-architecture --query DEB_HOST_MULTIARCH)
for library in $(objdump -p "$program" | awk '$1 == "NEEDED" { print $2 }'); do
    linked+=("$(dpkg -S "*/$multiarch/$library" | head -n 1 | cut -d: -f1)")
done
for needed in "${linked[@]}" $expected_depends; do
    grep -qwF -- "$needed" <<<"$depends" || fail "the package does not depend on $needed"
done
for wanted in $expected_recommends; do
    grep -qwF -- "$wanted" <<<"$recommends" || fail "the package does not recommend $wanted"
done

for folder in applications icons/hicolor/scalable/apps metainfo; do
    [ -n "$(ls -A "$out/root/usr/share/$folder" 2>/dev/null)" ] || fail "the package lacks usr/share/$folder"
done
echo "$(basename "$deb") carries the program and its desktop files"
