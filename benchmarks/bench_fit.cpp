// How long the fit to the bike takes: the default chamber brought to where three hand-made bends put
// its outlet, with the header and the cones free (what the dialog ticks), with a direction too, with
// every section free, and the searches that find no bends, which try every start.
#include "model/ChamberFit.h"
#include "model/ChamberModel.h"

#include <benchmark/benchmark.h>

namespace {

using namespace scaricometro;

constexpr ChamberInputs kDefaults{203, 510, 12000, 39.3, 29};
constexpr FreeSections kHeaderAndCones{true, true, true, false, true, false};
constexpr FreeSections kEverySection{true, true, true, true, true, true};

ChamberDevelopment defaultChamber()
{
    return std::get<ChamberDevelopment>(developChamber(std::get<ChamberDimensions>(computeChamber(kDefaults)), 1));
}

// The README's bent chamber: the header down by 60°, the second cone towards the viewer, the
// convergent cone at 200°.
FitTarget handMadeOutlet(const ChamberDevelopment& development, bool direction)
{
    const ChamberBends bends{SectionBend{-60, 6, 0}, SectionBend{}, SectionBend{30, 4, 90},
                             SectionBend{}, SectionBend{20, 3, 200}, SectionBend{}};
    const RouteFrame outlet = ChamberRoute::trace(development, bends).outlet();
    FitTarget target{outlet.point, {}, {}};
    if (direction) {
        const Heading heading = headingOf(outlet.along);
        target.planDegrees = heading.planDegrees;
        target.riseDegrees = heading.riseDegrees;
    }
    return target;
}

void fit(benchmark::State& state, const FitTarget& target, const FreeSections& free)
{
    const ChamberDevelopment development = defaultChamber();
    for (auto _ : state) {
        FitOutcome outcome = fitChamber(development, {}, free, target);
        benchmark::DoNotOptimize(outcome);
    }
}

void fourFree(benchmark::State& state)
{
    fit(state, handMadeOutlet(defaultChamber(), false), kHeaderAndCones);
}
BENCHMARK(fourFree)->Unit(benchmark::kMillisecond);

void fourFreeWithDirection(benchmark::State& state)
{
    fit(state, handMadeOutlet(defaultChamber(), true), kHeaderAndCones);
}
BENCHMARK(fourFreeWithDirection)->Unit(benchmark::kMillisecond);

void everySectionFree(benchmark::State& state)
{
    fit(state, handMadeOutlet(defaultChamber(), true), kEverySection);
}
BENCHMARK(everySectionFree)->Unit(benchmark::kMillisecond);

void tooFar(benchmark::State& state)
{
    fit(state, {{2000, 0, 0}, {}, {}}, kHeaderAndCones);
}
BENCHMARK(tooFar)->Unit(benchmark::kMillisecond);

void directionOutOfReach(benchmark::State& state)
{
    const Vector3 straight = ChamberRoute::trace(defaultChamber(), {}).outlet().point;
    fit(state, {straight, 90, 0}, {true, true, false, false, false, false});
}
BENCHMARK(directionOutOfReach)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
