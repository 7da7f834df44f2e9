#!/usr/bin/env bash
# Builds Scaricometro for Windows (scripts/build-windows.sh) and tests it under Wine, headless on
# Xvfb with the openbox window manager: see tests/windows/wine_tests.sh. The Linux build in
# build/ supplies the reference window and results.
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

"$project_dir/scripts/build-windows.sh"
install_missing_packages run build test windows
build -DBUILD_TESTING=ON -- --target scaricometro-snapshot window_check
bash "$project_dir/tests/run_on_display.sh" xcb \
    bash "$project_dir/tests/windows/wine_tests.sh" "$build_dir" "$project_dir/build-windows" "$@"
