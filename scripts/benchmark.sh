#!/usr/bin/env bash
# Builds and runs the benchmarks: the model and result texts; the fit to the bike; the analysis of the waves; one "Calcola" click and one
# highlight click on the real window, the templates' PDF and the dialog's preview, offscreen unless
# QT_QPA_PLATFORM names another platform;
# and start-up against two floors, with the window mapped on the display where there is one
# (xvfb-run ./scripts/benchmark.sh gives the README's figures), else offscreen.
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

install_missing_packages run run-recommended build benchmark
build -DSCARICOMETRO_BENCHMARKS=ON -- --target bench_model bench_fit bench_waves bench_window bench_templates startup_compare

"$build_dir/bin/bench_model" --benchmark_min_time=1
"$build_dir/bin/bench_fit"
"$build_dir/bin/bench_waves"
for benchmark in bench_window bench_templates; do
    QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$build_dir/bin/$benchmark" 2>/dev/null | grep -E -A1 "^RESULT"
done
"$build_dir/bin/startup_compare" 100
