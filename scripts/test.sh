#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test on Qt's offscreen platform;
# then runs the tests again, built with clang under AddressSanitizer and UndefinedBehaviorSanitizer
# in build-sanitize/, together with a bounded fuzzing session of the number text.
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

# The tests also validate the desktop files, build the Debian package, and need clang's
# sanitizer and libFuzzer runtimes.
install_missing_packages "${build_packages[@]}" desktop-file-utils appstream dpkg-dev file clang libclang-rt-14-dev
build
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build_dir" --output-on-failure

sanitize_dir="$project_dir/build-sanitize"
CXX=clang++ configure "$sanitize_dir" -DSCARICOMETRO_SANITIZE=ON
cmake --build "$sanitize_dir"
UBSAN_OPTIONS=print_stacktrace=1 QT_QPA_PLATFORM=offscreen ctest --test-dir "$sanitize_dir" --output-on-failure
