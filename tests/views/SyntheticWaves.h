// An analysis of the waves made up for the checks of its plots and its PDF, with nothing of the
// solver: two sections of 100 mm, a port's pressure that swings 0,3 bar about the atmosphere over
// the cycle, a cylinder at 3 bar while the exhaust is open, and a wave diagram at the atmosphere
// but for a high corner (the first 50 mm over 0° to 90°) and a low one (the last 50 mm over 270°
// to 360°).
#pragma once

#include "views/WavePlots.h"
#include "waves/Duct.h"
#include "waves/Gas.h"

#include <cmath>
#include <limits>
#include <numbers>
#include <variant>

namespace synthetic {

inline constexpr double kSwingPa = 30000;
inline constexpr double kCylinderPa = 300000;
inline constexpr double kCornerPa = 50000;
inline constexpr std::size_t kCells = 40;
inline constexpr double kCellMm = 5;
inline constexpr double kTypedRpm = 12000;

inline scaricometro::waves::Duct duct()
{
    return std::get<scaricometro::waves::Duct>(scaricometro::waves::Duct::fromSections({
        {0, 0, 100, 30, 30},
        {0, 0, 0, 30, 60},  // of no length: left out
        {0, 0, 100, 30, 60},
    }));
}

inline scaricometro::waves::PortTiming timing()
{
    return {80, 115, 180, 245, 280};
}

inline double portPressure(std::size_t degree)
{
    return scaricometro::waves::kAtmosphere
        + kSwingPa * std::sin(2 * std::numbers::pi * static_cast<double>(degree) / scaricometro::waves::kDegreesPerCycle);
}

inline scaricometro::waves::RpmResult result()
{
    using namespace scaricometro::waves;
    RpmResult result;
    result.rpm = kTypedRpm;
    result.settling = Settling::Periodic;
    result.cycles = 23;
    result.meanTemperature = 812;
    result.meanSoundSpeed = 571;
    const PortTiming ports = timing();
    for (std::size_t degree = 0; degree < kTracePoints; ++degree) {
        result.trace.port[degree] = portPressure(degree);
        const double angle = static_cast<double>(degree);
        result.trace.cylinder[degree] = angle >= ports.exhaustOpens && angle <= ports.exhaustCloses
            ? kCylinderPa
            : std::numeric_limits<double>::quiet_NaN();
    }
    WaveDiagram diagram;
    for (std::size_t cell = 0; cell < kCells; ++cell)
        diagram.cellCentresMm.push_back((static_cast<double>(cell) + 0.5) * kCellMm);
    for (std::size_t degree = 0; degree < kTracePoints; ++degree) {
        for (std::size_t cell = 0; cell < kCells; ++cell) {
            const bool high = degree <= 90 && cell < kCells / 4;
            const bool low = degree >= 270 && cell >= kCells * 3 / 4;
            diagram.pressure.push_back(kAtmosphere + (high ? kCornerPa : low ? -kCornerPa : 0));
        }
    }
    result.diagram = std::move(diagram);
    return result;
}

// A band from 6 000 to 19 200 in steps of 600, its plug highest at 12 600; `typed` is pointed at.
inline scaricometro::WavePlotData plotData(const scaricometro::waves::RpmResult* typed)
{
    using namespace scaricometro::waves;
    scaricometro::WavePlotData data;
    data.typed = typed;
    data.timing = timing();
    data.sections = duct().sections();
    data.typedRpm = kTypedRpm;
    data.sweepFromRpm = kTypedRpm * kSweepFromShare;
    data.sweepToRpm = kTypedRpm * kSweepToShare;
    constexpr double kStepRpm = 600;
    constexpr double kAccordRpm = 12600;
    for (double rpm = data.sweepFromRpm; rpm <= data.sweepToRpm; rpm += kStepRpm) {
        const double off = (rpm - kAccordRpm) / kAccordRpm;
        data.band.push_back({rpm, kAtmosphere + 40000 - 400000 * off * off, kAtmosphere - 10000});
    }
    // Where the plug passes atmosphere + 20 000 Pa: 12 600 × (1 ± 0,2236).
    data.bandFigures = Band{kAccordRpm, kAtmosphere + 40000, kAtmosphere + 20000, 10200, 15000, false, false, std::nullopt};
    return data;
}

}  // namespace synthetic
