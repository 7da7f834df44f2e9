#!/usr/bin/env bash
# Installs what is missing, builds everything, and runs every test on Qt's offscreen platform.
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

# The tests also validate the desktop files and build the Debian package.
install_missing_packages "${build_packages[@]}" desktop-file-utils appstream dpkg-dev file
build
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build_dir" --output-on-failure
