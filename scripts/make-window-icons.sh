#!/usr/bin/env bash
# Remakes the window icon's PNGs in data/icons/ from the scalable icon, at the sizes window
# managers ask for. The program compiles them in, so it loads no SVG code at run time; the SVG
# itself stays the desktop's scalable icon.
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

install_missing_packages icons
svg="$project_dir/data/org.scaricometro.Scaricometro.svg"
rm -f "$project_dir"/data/icons/*.png
for size in 16 24 32 48 64; do
    rsvg-convert --width "$size" --height "$size" --output "$project_dir/data/icons/$size.png" "$svg"
done
ls -l "$project_dir/data/icons"
