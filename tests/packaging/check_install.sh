#!/usr/bin/env bash
# Installs the build into a staging root as a distribution would (prefix /usr), checks that the
# program, desktop entry, icon, metainfo, manual page, changelog and copyright land where desktops
# and Debian look for them, validates the desktop entry and metainfo with Debian's own tools, and
# starts the installed program on X11 to see that its window class is the one its desktop entry
# names, so docks match the two.
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
    "usr/share/man/man1/scaricometro.1.gz"
    "usr/share/doc/scaricometro/changelog.gz"
    "usr/share/doc/scaricometro/copyright"
)
for file in "${expected[@]}"; do
    [ -f "$stage/$file" ] || { echo "missing after install: $file"; exit 1; }
done
[ -x "$stage/usr/bin/scaricometro" ] || { echo "the program is not executable"; exit 1; }
installed=$(cd "$stage" && find . -type f | sort)
[ "$(echo "$installed" | wc -l)" -eq ${#expected[@]} ] || { echo "unexpected files installed:"; echo "$installed"; exit 1; }

desktop="$stage/usr/share/applications/$app_id.desktop"
desktop-file-validate "$desktop"
appstreamcli validate --no-net "$stage/usr/share/metainfo/$app_id.metainfo.xml"

launcher_class=$(sed -n 's/^StartupWMClass=//p' "$desktop")
window_class=$(bash "$(dirname "$0")/../run_on_display.sh" xcb bash -c '
    "$1" & program=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --name "^Scaricometro$" | head -n 1)
    xprop -id "$window" WM_CLASS
    kill "$program"' _ "$stage/usr/bin/scaricometro")
echo "launcher: StartupWMClass=$launcher_class; window: $window_class"
[ -n "$launcher_class" ] && [[ "$window_class" == *", \"$launcher_class\"" ]] \
    || { echo "the window's class is not the one its desktop entry names"; exit 1; }
echo "install layout and desktop metadata are valid, and the window matches its launcher"
