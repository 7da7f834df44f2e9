// How long the arithmetic and the number text take on their own, without any window.
#include "model/ChamberModel.h"
#include "model/NumberText.h"
#include "ui/ChamberFields.h"

#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <string_view>

namespace {

using namespace scaricometro;

constexpr ChamberInputs kDefaults{203, 510, 12000, 39.3, 29};
using ResultTexts = std::array<std::string, kResultFields.size()>;

// What the window writes after "Calcola": every figure rounded and written with a comma.
void writeResults(const ChamberDimensions& dimensions, ResultTexts& texts)
{
    for (std::size_t i = 0; i < kResultFields.size(); ++i)
        texts[i] = formatRounded(dimensions.*kResultFields[i].value, kResultDecimalPlaces);
}

void computeChamberAlone(benchmark::State& state)
{
    ChamberInputs inputs = kDefaults;
    for (auto _ : state) {
        benchmark::DoNotOptimize(inputs);
        ChamberOutcome outcome = computeChamber(inputs);
        benchmark::DoNotOptimize(outcome);
    }
}
BENCHMARK(computeChamberAlone);

void computeAndWriteElevenResults(benchmark::State& state)
{
    ChamberInputs inputs = kDefaults;
    ResultTexts texts;
    for (auto _ : state) {
        benchmark::DoNotOptimize(inputs);
        writeResults(std::get<ChamberDimensions>(computeChamber(inputs)), texts);
        benchmark::DoNotOptimize(texts);
    }
}
BENCHMARK(computeAndWriteElevenResults);

void readFiveInputsComputeAndWrite(benchmark::State& state)
{
    std::array<std::string_view, kInputFields.size()> typed{"203", "510", "12.000", "39,3", "29"};
    ResultTexts texts;
    for (auto _ : state) {
        benchmark::DoNotOptimize(typed);
        ChamberInputs inputs;
        for (std::size_t i = 0; i < kInputFields.size(); ++i)
            inputs.*kInputFields[i].value = *parseDecimalComma(typed[i], kInputFields[i].thousandsPoints());
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
        std::string text = formatRounded(value, kResultDecimalPlaces);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(writeOneResult);

}  // namespace

BENCHMARK_MAIN();
