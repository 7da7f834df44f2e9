// How long the arithmetic and the number text take on their own, without any window.
#include "model/ChamberModel.h"
#include "model/NumberText.h"

#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <string_view>

namespace {

using namespace scaricometro;

constexpr ChamberInputs kDefaults{203, 510, 12000, 39.3, 29};
constexpr int kResultDecimalPlaces = 5;

std::array<double, 11> figures(const ChamberDimensions& d)
{
    return {d.L1, d.L2, d.L3, d.L4, d.L5, d.L6, d.D1, d.D2, d.D3, d.D4, d.totalLength};
}

// What the window writes after "Calcola": every figure rounded and written with a comma.
void writeResults(const ChamberDimensions& dimensions, std::array<std::string, 11>& texts)
{
    const std::array<double, 11> values = figures(dimensions);
    for (std::size_t i = 0; i < values.size(); ++i)
        texts[i] = formatRounded(values[i], kResultDecimalPlaces);
}

void computeChamberAlone(benchmark::State& state)
{
    ChamberInputs inputs = kDefaults;
    for (auto _ : state) {
        benchmark::DoNotOptimize(inputs);
        benchmark::DoNotOptimize(computeChamber(inputs));
    }
}
BENCHMARK(computeChamberAlone);

void computeAndWriteElevenResults(benchmark::State& state)
{
    ChamberInputs inputs = kDefaults;
    std::array<std::string, 11> texts;
    for (auto _ : state) {
        benchmark::DoNotOptimize(inputs);
        writeResults(std::get<ChamberDimensions>(computeChamber(inputs)), texts);
        benchmark::DoNotOptimize(texts);
    }
}
BENCHMARK(computeAndWriteElevenResults);

void readFiveInputsComputeAndWrite(benchmark::State& state)
{
    const std::array<std::string_view, 5> typed{"203", "510", "12.000", "39,3", "29"};
    std::array<std::string, 11> texts;
    for (auto _ : state) {
        benchmark::DoNotOptimize(typed);
        const ChamberInputs inputs{*parseDecimalComma(typed[0], ThousandsPoints::Accepted),
                                   *parseDecimalComma(typed[1], ThousandsPoints::Accepted),
                                   *parseDecimalComma(typed[2], ThousandsPoints::Accepted),
                                   *parseDecimalComma(typed[3]), *parseDecimalComma(typed[4])};
        writeResults(std::get<ChamberDimensions>(computeChamber(inputs)), texts);
        benchmark::DoNotOptimize(texts);
    }
}
BENCHMARK(readFiveInputsComputeAndWrite);

void writeOneResult(benchmark::State& state)
{
    double value = 167.55234078023366;
    for (auto _ : state) {
        benchmark::DoNotOptimize(value);
        benchmark::DoNotOptimize(formatRounded(value, kResultDecimalPlaces));
    }
}
BENCHMARK(writeOneResult);

}  // namespace

BENCHMARK_MAIN();
