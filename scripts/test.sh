#!/usr/bin/env bash
# Installs what is missing, builds everything, and runs every test on Qt's offscreen platform.
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

install_missing_packages
build
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build_dir" --output-on-failure
