#!/usr/bin/env bash
# Installs the build into a staging root as a distribution would (prefix /usr), checks that the
# program, desktop entry, icon and metainfo land where desktops look for them, and validates the
# desktop entry and metainfo with Debian's own tools.
#   check_install.sh BUILD_DIR APP_ID
set -euo pipefail
build_dir=$1
app_id=$2
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

DESTDIR="$stage" cmake --install "$build_dir" --prefix /usr >/dev/null

expected=(
    "usr/bin/scaricometro"
    "usr/share/applications/$app_id.desktop"
    "usr/share/icons/hicolor/scalable/apps/$app_id.svg"
    "usr/share/metainfo/$app_id.metainfo.xml"
)
for file in "${expected[@]}"; do
    [ -f "$stage/$file" ] || { echo "missing after install: $file"; exit 1; }
done
[ -x "$stage/usr/bin/scaricometro" ] || { echo "the program is not executable"; exit 1; }
installed=$(cd "$stage" && find . -type f | sort)
[ "$(echo "$installed" | wc -l)" -eq ${#expected[@]} ] || { echo "unexpected files installed:"; echo "$installed"; exit 1; }

desktop-file-validate "$stage/usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net "$stage/usr/share/metainfo/$app_id.metainfo.xml"
echo "install layout and desktop metadata are valid"
