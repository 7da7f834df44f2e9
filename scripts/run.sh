#!/usr/bin/env bash
# Installs what is missing, builds, and opens Scaricometro. Without a display it renders the
# window offscreen instead, after a calculation on the default inputs, and writes what the
# window's dialogs make of them.
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

install_missing_packages run run-recommended build
build -- --target scaricometro scaricometro-snapshot

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$build_dir/bin/scaricometro"
fi

picture="$build_dir/scaricometro-window.png"
templates="$build_dir/scaricometro-sagome.pdf"
waves="$build_dir/onde"
mkdir -p "$waves"
snapshot=$("$build_dir/bin/scaricometro-snapshot" "$picture" --templates "$templates" --dxf "$build_dir" \
    --model "$build_dir" --waves "$waves")
grep -v -e '^cutting file saved as ' -e '^model file saved as ' -e '^waves ' -e '^Accordata' <<<"$snapshot"
cat <<MESSAGE

No display was found (neither DISPLAY nor WAYLAND_DISPLAY is set), so the window was drawn
offscreen after clicking "Calcola" on the default inputs; the results are above and the
picture is $picture.
The chamber's templates for the same figures (A4, 1 mm sheet: the data sheet with where each
section ends and the views, then the patterns at full size) are $templates.
The parts' cutting files (DXF, 1:1 in mm, 1 mm sheet, one piece per cone) are:
$(sed -n 's/^cutting file saved as /  /p' <<<"$snapshot")
The chamber's 3D model (STL, 1 unit = 1 mm) and its centre line (a 3D polyline in DXF) are:
$(sed -n 's/^model file saved as /  /p' <<<"$snapshot")
The waves in the chamber, for the default engine: $(grep '^Accordata' <<<"$snapshot").
Their dialog's picture, the cycle and the band (CSV for a spreadsheet) are in $waves.
For a real window, run this command again from a desktop session, over SSH with X forwarding
(ssh -X), or under a virtual X server: xvfb-run ./scripts/run.sh (xvfb-run is in Debian's
package xvfb).
MESSAGE
