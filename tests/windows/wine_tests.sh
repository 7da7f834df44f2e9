#!/usr/bin/env bash
# The Windows build's tests under Wine, in a fresh Wine prefix whose Arial and Lucida Console are
# the fonts the Linux build uses. scripts/test-windows.sh runs it on Xvfb with a window manager
# (tests/run_on_display.sh xcb), with a Linux build that has scaricometro-snapshot and
# window_check:
#
#   wine_tests.sh LINUX_BUILD WINDOWS_BUILD           the test programs, the snapshot tool, the
#                                                     waves' analysis, the real window and a
#                                                     click on Calcola, the installer and its
#                                                     uninstaller
#   wine_tests.sh LINUX_BUILD WINDOWS_BUILD startup N start-up times of N runs of each window
set -euo pipefail
linux_build=$1
windows_build=$2
mode=${3:-tests}
# Wine hands the programs their arguments in the locale's encoding.
export LC_ALL=C.UTF-8
export WINEPREFIX=$(mktemp -d) WINEDEBUG=-all
# No Mono or Gecko to install, and no desktop entries made on the host for Start-menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX" "$work"' EXIT

wineboot --init 2>/dev/null
wineserver -w
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'Liberation Sans' /f >/dev/null
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Lucida Console' /d 'DejaVu Sans Mono' /f >/dev/null
# Wine's own Fonts folder, where the snapshot tool's offscreen platform would look, is empty;
# Liberation's folder is named differently from one Debian release to the next.
liberation=$(dirname "$(find /usr/share/fonts -name LiberationSans-Regular.ttf -print -quit)")
wine reg add 'HKCU\Environment' /v QT_QPA_FONTDIR /d "$(winepath -w "$liberation")" /f >/dev/null
# Qt 6.8's DirectWrite font database does not see the replacements above, which Wine makes for
# GDI only, and takes another face for Arial; its GDI one does, as Qt 6.4's default one is.
wine reg add 'HKCU\Environment' /v QT_QPA_PLATFORM /d 'windows:nodirectwrite' /f >/dev/null
wineserver -w

# startup N: the median wall time from launch to first frame of N runs of each window, the
# process started and ended by Wine each time, in turn so that drifts touch all three alike.
if [ "$mode" = startup ]; then
    runs=${4:-20}
    wine "$windows_build/bin/startup_probe.exe" bare  # Wine's own first start, not counted
    declare -A times
    for ((run = 0; run < runs; run++)); do
        for window in bare fonts scaricometro; do
            start=$(date +%s%N)
            wine "$windows_build/bin/startup_probe.exe" "$window"
            times[$window]+="$(( ($(date +%s%N) - start) / 1000 )) "
        done
    done
    for window in bare fonts scaricometro; do
        printf '%-13s median %s ms of %s runs\n' "$window" \
            "$(tr ' ' '\n' <<<"${times[$window]}" | grep . | sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]/1000}')" "$runs"
    done
    exit 0
fi

passed=0
failed=0
# check WHAT COMMAND...: one test, counted.
check() {
    local what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
        echo "PASS   : $what"
    else
        failed=$((failed + 1))
        echo "FAIL!  : $what"
    fi
}
window_check() { "$linux_build/bin/window_check" "$@"; }

# The test programs, through CTest with tests/windows/wine_run.sh.
echo "== The test programs under Wine"
check "the test programs" ctest --test-dir "$windows_build" --output-on-failure

# The eleven results the Linux build gives on the default inputs, "L1 = 85,4" ..., and where each
# section ends, "asse L3 fine: X 226,06 ...", its window after "Calcola" and a click on L4, its
# templates, its cutting files and its 3D model, with the header pipe bent down and a cone
# towards the viewer.
bends=(--bend L3=30:4@90 --bend L1=-60:6)
mkdir -p "$work/linux-dxf" "$work/linux-model"
"$linux_build/bin/scaricometro-snapshot" "$work/linux.png" L4 --templates "$work/linux.pdf" --dxf "$work/linux-dxf" \
    --model "$work/linux-model" "${bends[@]}" >"$work/linux-snapshot.txt"
grep ' = ' "$work/linux-snapshot.txt" >"$work/linux-results.txt"
grep '^asse ' "$work/linux-snapshot.txt" >"$work/linux-route.txt"

echo "== The snapshot tool, writing under a folder with a non-ASCII name"
snapshot_dir="$WINEPREFIX/drive_c/users/Niccolò"
mkdir -p "$snapshot_dir/taglio" "$snapshot_dir/modello"
snapshot_results() {
    timeout 300 wine "$windows_build/bin/scaricometro-snapshot.exe" 'C:\users\Niccolò\finestra.png' L4 \
        --templates 'C:\users\Niccolò\sagome.pdf' --dxf 'C:\users\Niccolò\taglio' \
        --model 'C:\users\Niccolò\modello' "${bends[@]}" >"$work/snapshot.txt" &&
        grep ' = ' "$work/snapshot.txt" | tr -d '\r' | diff "$work/linux-results.txt" - &&
        grep '^asse ' "$work/snapshot.txt" | tr -d '\r' | diff "$work/linux-route.txt" - &&
        [ -s "$snapshot_dir/finestra.png" ]
}
check "the snapshot tool's results, where each section ends, and its picture" snapshot_results
# The templates' PDF as Debian's qpdf and poppler read it: sound, and the same words as Linux's
# (in other fonts, lines break and pieces of text are read in another order).
words() { pdftotext "$1" - | tr -s '[:space:]' '\n' | sort; }
templates_pdf() {
    qpdf --check "$snapshot_dir/sagome.pdf" | grep -q 'No syntax or stream encoding errors' &&
        diff <(words "$work/linux.pdf") <(words "$snapshot_dir/sagome.pdf")
}
check "the templates' PDF" templates_pdf
# The cutting files as ezdxf reads them, under Debian's own Python: sound, and the parts the Linux
# build draws, which tests/cutfiles measures against the chamber.
check "the cutting files" /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/../cutfiles/check_dxf.py" \
    "$snapshot_dir/taglio" --like "$work/linux-dxf"
# The 3D model as admesh reads it, nothing to mend, and both files as the Linux build makes them,
# which tests/model and tests/cutfiles measure against the chamber.
model_files() {
    local report
    report=$(admesh "$snapshot_dir/modello/scaricometro-camera.stl") &&
        for figure in 'Edges fixed' 'Facets removed' 'Facets added' 'Facets reversed' 'Backwards edges' 'Normals fixed'; do
            grep -Eq "$figure +: +0\b" <<<"$report" || return 1
        done &&
        /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/../cutfiles/compare_model.py" "$snapshot_dir/modello" "$work/linux-model"
}
check "the 3D model and its centre line" model_files

# The analysis of the waves for a small engine's short chamber: the same cycle and band, to the
# fourth decimal of a bar, and the same accord as the Linux build finds.
waves=(--inputs 203:510:8000:20:12)
mkdir -p "$work/linux-waves" "$snapshot_dir/onde"
"$linux_build/bin/scaricometro-snapshot" "$work/linux-waves.png" "${waves[@]}" --waves "$work/linux-waves" \
    | grep '^Accordata' >"$work/linux-accord.txt"
waves_files() {
    timeout 600 wine "$windows_build/bin/scaricometro-snapshot.exe" 'C:\users\Niccolò\onde.png' "${waves[@]}" \
        --waves 'C:\users\Niccolò\onde' >"$work/waves.txt" &&
        cmp "$work/linux-waves/scaricometro-ciclo.csv" "$snapshot_dir/onde/scaricometro-ciclo.csv" &&
        cmp "$work/linux-waves/scaricometro-banda.csv" "$snapshot_dir/onde/scaricometro-banda.csv" &&
        grep '^Accordata' "$work/waves.txt" | tr -d '\r' | diff "$work/linux-accord.txt" -
}
check "the waves' cycle and band as CSV files, and the accord" waves_files

echo "== The real window: Calcola, then L4"
(wine "$windows_build/bin/scaricometro.exe" &)
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Scaricometro$' | head -1)
sleep 1
read -r _ button_x button_y _ < <(window_check points | grep ' Calcola$')
read -r _ _ _ l4_x l4_y _ < <(window_check points | grep ' L4$')
xdotool mousemove --window "$window" "$button_x" "$button_y" click 1
xdotool mousemove --window "$window" "$l4_x" "$l4_y" click 1
sleep 1
window_check grab "$window" "$work/wine.png"
check "the window against the Linux rendering, outside text and the button" \
    window_check compare "$work/linux.png" "$work/wine.png" "$work/differences.png"
# Each result as the window shows it, copied through the clipboard.
read_results() {
    local field_x field_y caption
    while read -r _ field_x field_y _ _ caption; do
        xdotool mousemove --window "$window" "$field_x" "$field_y" click 1 key ctrl+a ctrl+c
        sleep 0.3
        echo "$caption = $(window_check clipboard)"
    done < <(window_check points | grep '^result ')
}
read_results >"$work/wine-results.txt"
check "the eleven results written by a click on Calcola" diff "$work/linux-results.txt" "$work/wine-results.txt"
wineserver -k
wineserver -w
if [ "$failed" -gt 0 ] && [ -n "${SCARICOMETRO_KEEP:-}" ]; then
    cp "$work"/*.png "$work"/*.txt "$SCARICOMETRO_KEEP"/
fi

echo "== The installer and the uninstaller, into a folder with a non-ASCII name"
programs_dir="$WINEPREFIX/drive_c/users/Niccolò/Programmi"
mkdir -p "$programs_dir"
installed="$programs_dir/Scaricometro"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Scaricometro'
start_menu="$(winepath -u "$(wine cmd /c echo '%APPDATA%' | tr -d '\r')")/Microsoft/Windows/Start Menu/Programs"
# registry_keys FILE: the names of the current user's registry keys that mention Scaricometro.
registry_keys() {
    wine reg export 'HKCU\Software' "$(winepath -w "$1.reg")" /y >/dev/null
    iconv -f UTF-16 -t UTF-8 "$1.reg" | grep -i '^\[.*scaricometro' >"$1" || true
}
find "$WINEPREFIX/drive_c" -type f | sort >"$work/files-before.txt"
registry_keys "$work/keys-before.txt"
wine "$windows_build/package/scaricometro-setup.exe" /S '/D=C:\users\Niccolò\Programmi\Scaricometro'
wineserver -w
installed_as_expected() {
    cmp "$windows_build/bin/scaricometro.exe" "$installed/scaricometro.exe" &&
        [ -f "$installed/LICENSE.txt" ] && [ -f "$installed/uninstall.exe" ] &&
        [ -f "$start_menu/Scaricometro.lnk" ] &&
        wine reg query "$uninstall_key" /v UninstallString | grep -q 'Programmi\\Scaricometro\\uninstall.exe'
}
check "installed: the exe, the licence, the Start-menu entry, the uninstaller in the installed apps" \
    installed_as_expected
wine "$installed/uninstall.exe" /S
wineserver -w
# The uninstaller runs from a copy of itself in Temp, which Windows deletes at the next start.
wineboot --restart
wineserver -w
find "$WINEPREFIX/drive_c" -type f | sort >"$work/files-after.txt"
registry_keys "$work/keys-after.txt"
check "uninstalled: no file or folder left behind" \
    bash -c '[ ! -e "$0" ] && diff "$1" "$2"' "$installed" "$work/files-before.txt" "$work/files-after.txt"
check "uninstalled: no registry key left behind" diff "$work/keys-before.txt" "$work/keys-after.txt"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
