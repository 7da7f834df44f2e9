#!/usr/bin/env bash
# Builds the Debian package with CPack and checks what it carries and depends on.
#   check_deb.sh BUILD_DIR
set -euo pipefail
build_dir=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

cpack --config "$build_dir/CPackConfig.cmake" -B "$out" >/dev/null
deb=$(find "$out" -maxdepth 1 -name 'scaricometro_*.deb')
[ -n "$deb" ] || { echo "cpack made no .deb"; exit 1; }

depends=$(dpkg-deb --field "$deb" Depends)
echo "Depends: $depends"
for needed in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins libqt6svg6 fonts-liberation2 fonts-dejavu-core; do
    grep -qw -- "$needed" <<<"$depends" || { echo "the package does not depend on $needed"; exit 1; }
done

contents=$(dpkg-deb --contents "$deb")
for file in ./usr/bin/scaricometro ./usr/share/applications/ ./usr/share/icons/hicolor/scalable/apps/ ./usr/share/metainfo/; do
    grep -qF -- "$file" <<<"$contents" || { echo "the package lacks $file"; exit 1; }
done
echo "$(basename "$deb") carries the program and its desktop files"
