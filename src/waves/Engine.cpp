#include "waves/Engine.h"

#include "waves/Gas.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace scaricometro::waves {
namespace {

constexpr double kMetresPerMm = 1e-3;
constexpr double kFullTurn = 360;
constexpr double kBottomDeadCentre = 180;

double radians(double degrees)
{
    return degrees * std::numbers::pi / kBottomDeadCentre;
}

// Each check in the order of EngineRefusal; a NaN fails every one of them.
std::optional<EngineRefusal> firstRefusal(const ChamberInputs& window, const EngineFigures& figures)
{
    const double crank = window.stroke / 2;
    const struct {
        bool holds;
        EngineRefusal otherwise;
    } checks[] = {
        {window.exhaustDuration > 0 && window.exhaustDuration < kFullTurn, EngineRefusal::ExhaustDurationOutOfRange},
        {window.waveSpeed >= kSlowestWave && window.waveSpeed <= kFastestWave, EngineRefusal::WaveSpeedOutOfRange},
        {window.maxRpm >= kLowestRpm && window.maxRpm <= kHighestRpm, EngineRefusal::RpmOutOfRange},
        {window.stroke > 0 && std::isfinite(window.stroke), EngineRefusal::StrokeNotPositive},
        {figures.boreMm > 0 && std::isfinite(figures.boreMm), EngineRefusal::BoreNotPositive},
        {figures.rodMm > crank && std::isfinite(figures.rodMm), EngineRefusal::RodNotLongerThanCrank},
        {figures.compressionRatio > 1 && std::isfinite(figures.compressionRatio),
         EngineRefusal::CompressionRatioNotAboveOne},
        {figures.portWidthMm > 0, EngineRefusal::PortWidthNotPositive},
        {figures.portWidthMm <= figures.boreMm, EngineRefusal::PortWiderThanBore},
        {figures.transferDuration > 0, EngineRefusal::TransferDurationNotPositive},
        {figures.transferDuration <= window.exhaustDuration, EngineRefusal::TransferLongerThanExhaust},
        {figures.releasePressureBar * kPascalsPerBar > kAtmosphere && std::isfinite(figures.releasePressureBar),
         EngineRefusal::ReleaseNotAboveAtmosphere},
    };
    for (const auto& check : checks) {
        if (!check.holds)
            return check.otherwise;
    }
    return std::nullopt;
}

}  // namespace

std::variant<Engine, EngineRefusal> Engine::make(const ChamberInputs& window, const EngineFigures& figures)
{
    if (const std::optional<EngineRefusal> refusal = firstRefusal(window, figures))
        return *refusal;
    Engine engine;
    engine.m_rpm = window.maxRpm;
    engine.m_stroke = window.stroke * kMetresPerMm;
    engine.m_rod = figures.rodMm * kMetresPerMm;
    const double bore = figures.boreMm * kMetresPerMm;
    engine.m_pistonArea = std::numbers::pi * bore * bore / 4;
    engine.m_clearanceVolume = engine.m_pistonArea * engine.m_stroke / (figures.compressionRatio - 1);
    engine.m_portWidth = figures.portWidthMm * kMetresPerMm;
    engine.m_release = figures.releasePressureBar * kPascalsPerBar;
    const double exhaustHalf = window.exhaustDuration / 2;
    const double transferHalf = figures.transferDuration / 2;
    engine.m_timing = {kBottomDeadCentre - exhaustHalf, kBottomDeadCentre - transferHalf, kBottomDeadCentre,
                       kBottomDeadCentre + transferHalf, kBottomDeadCentre + exhaustHalf};
    engine.m_dropAtOpening = engine.pistonDrop(engine.m_timing.exhaustOpens);
    return engine;
}

double Engine::pistonDrop(double crankAngle) const
{
    const double crank = m_stroke / 2;
    const double angle = radians(crankAngle);
    const double sine = std::sin(angle);
    return crank * (1 - std::cos(angle)) + m_rod - std::sqrt(m_rod * m_rod - crank * crank * sine * sine);
}

double Engine::cylinderVolume(double crankAngle) const
{
    return m_clearanceVolume + m_pistonArea * pistonDrop(crankAngle);
}

bool Engine::exhaustOpen(double crankAngle) const
{
    const double inCycle = std::fmod(crankAngle, kFullTurn);
    return inCycle > m_timing.exhaustOpens && inCycle < m_timing.exhaustCloses;
}

double Engine::portArea(double crankAngle) const
{
    if (!exhaustOpen(crankAngle))
        return 0;
    return m_portWidth * std::max(0.0, pistonDrop(crankAngle) - m_dropAtOpening);
}

}  // namespace scaricometro::waves
