// When a run of cycles has settled. Each cycle's port pressures are compared, degree by degree,
// with the cycle before and the one two before; a cycle that repeats either counts, and
// kSettledCyclesInARow counting in a row settle the run. One or two cycles that repeat are not
// enough: where the chamber's one-cycle state is unstable, a run repeats itself for a cycle or two
// and then breaks into two cycles that take turns.
#pragma once

#include <array>
#include <cstddef>
#include <optional>

namespace scaricometro::waves {

inline constexpr int kDegreesPerCycle = 360;
inline constexpr std::size_t kTracePoints = kDegreesPerCycle + 1;  // 0 ... 360 inclusive
// A cycle repeats another where no whole degree differs by more than this share of its range.
inline constexpr double kSettledShareOfRange = 0.005;
inline constexpr int kSettledCyclesInARow = 5;

enum class Settling {
    Periodic,     // each cycle repeats the one before
    Alternating,  // two cycles take turns, each repeating the one two before
    Unsettled,    // the run ended without either
};

using PortTrace = std::array<double, kTracePoints>;

// Whether `later` repeats `earlier` within kSettledShareOfRange of later's range.
[[nodiscard]] bool repeats(const PortTrace& later, const PortTrace& earlier);

class SettlingWatch {
public:
    // Takes the next cycle's port pressures: how the run has settled once the last
    // kSettledCyclesInARow cycles each repeated the one before or the one two before (Periodic
    // where the last repeats the one before), nothing until then.
    [[nodiscard]] std::optional<Settling> take(const PortTrace& port);

private:
    std::array<PortTrace, 2> m_before{};  // the cycle before, then the one two before
    int m_seen = 0;
    int m_inARow = 0;
};

}  // namespace scaricometro::waves
