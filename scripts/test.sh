#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test on Qt's offscreen platform;
# then runs the tests again, built with clang under AddressSanitizer and UndefinedBehaviorSanitizer
# in build-sanitize/, together with a bounded fuzzing session of the number text.
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

install_missing_packages run run-recommended build benchmark test
build -DBUILD_TESTING=ON -DSCARICOMETRO_BENCHMARKS=ON
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build_dir" --output-on-failure

sanitize_dir="$project_dir/build-sanitize"
configure "$sanitize_dir" -DCMAKE_CXX_COMPILER=clang++ -DSCARICOMETRO_SANITIZE=ON -DBUILD_TESTING=ON
cmake --build "$sanitize_dir"
UBSAN_OPTIONS=print_stacktrace=1 QT_QPA_PLATFORM=offscreen ctest --test-dir "$sanitize_dir" --output-on-failure
