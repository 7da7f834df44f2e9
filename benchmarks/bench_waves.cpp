// How long the analysis of the waves takes: one engine speed run to its periodic state, with the
// cell-updates a second it reaches on each width of packs the processor runs, and the whole band
// on every core.
#include "model/ChamberModel.h"
#include "waves/ChamberTuning.h"
#include "waves/WaveAnalysis.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

using namespace scaricometro;
using namespace scaricometro::waves;

constexpr ChamberInputs kDefaults{203, 510, 12000, 39.3, 29};

WaveSetup defaultSetup()
{
    return std::get<WaveSetup>(prepareWaves(kDefaults, std::get<ChamberDimensions>(computeChamber(kDefaults)), {}));
}

void oneSpeedToItsPeriodicState(benchmark::State& state)
{
    WaveSetup setup = defaultSetup();
    const bool withDiagram = state.range(0) != 0;
    setup.vectors = state.range(1) != 0 ? VectorWidth::Avx2 : VectorWidth::Sse2;
    if (!processorRuns(setup.vectors)) {
        state.SkipWithError("the processor does not run these packs");
        return;
    }
    long long cellUpdates = 0;
    int cycles = 0;
    for (auto _ : state) {
        const std::optional<RpmOutcome> outcome = runAtRpm(setup, kDefaults.maxRpm, withDiagram);
        const RpmResult& result = std::get<RpmResult>(*outcome);
        cellUpdates += result.cellUpdates;
        cycles = result.cycles;
    }
    state.counters["cell_updates_per_s"] = benchmark::Counter(static_cast<double>(cellUpdates), benchmark::Counter::kIsRate);
    state.counters["cycles"] = cycles;
}
BENCHMARK(oneSpeedToItsPeriodicState)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"diagram", "avx2"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The dialog's whole work: every speed of the band, the typed one first with its diagram.
void wholeBand(benchmark::State& state)
{
    const WaveSetup setup = defaultSetup();
    std::size_t speeds = 0;
    for (auto _ : state) {
        std::mutex mutex;
        std::condition_variable done;
        std::size_t reported = 0;
        WaveAnalysis analysis(setup, kDefaults.maxRpm, [&](std::size_t, const RpmOutcome&) {
            const std::lock_guard lock(mutex);
            ++reported;
            done.notify_one();
        });
        speeds = analysis.rpms().size();
        std::unique_lock lock(mutex);
        done.wait(lock, [&] { return reported == speeds; });
    }
    state.counters["speeds"] = static_cast<double>(speeds);
}
BENCHMARK(wholeBand)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// The default chamber tuned to the window's rpm, as the dialog tunes it from the band's accord: the
// whole search, and the longest wait between two of its progress reports.
void tuneTo12000(benchmark::State& state)
{
    const ChamberDimensions chamber = std::get<ChamberDimensions>(computeChamber(kDefaults));
    const WaveSetup setup = defaultSetup();
    std::vector<BandPoint> band;
    for (const double rpm : sweepRpms(kDefaults.maxRpm)) {
        const RpmResult result = std::get<RpmResult>(*runAtRpm(setup, rpm, false));
        band.push_back({rpm, result.plug, result.suction});
    }
    const Band found = *findBand(band);
    const TuningRequest request{setup, chamber, kDefaults.maxRpm, found.parabolaRpm.value_or(found.accordRpm), 0};
    double longestGap = 0;
    double factor = 0;
    for (auto _ : state) {
        const std::atomic<bool> stop{false};
        auto last = std::chrono::steady_clock::now();
        const auto report = [&](const TuningProgress&) {
            const auto now = std::chrono::steady_clock::now();
            longestGap = std::max(longestGap, std::chrono::duration<double>(now - last).count());
            last = now;
        };
        const std::optional<TuningOutcome> outcome = tuneChamber(request, report, stop);
        factor = std::get<TuningFound>(*outcome).factor;
    }
    state.counters["longest_gap_s"] = longestGap;
    state.counters["factor"] = factor;
}
BENCHMARK(tuneTo12000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
