#include "waves/WaveAnalysis.h"

#include "model/VectorState.h"
#include "waves/Gas.h"

#include <algorithm>
#include <cmath>

namespace scaricometro::waves {
std::optional<double> vertexOfParabola(const BandPoint& left, const BandPoint& middle, const BandPoint& right)
{
    const double leftSlope = (middle.plug - left.plug) / (middle.rpm - left.rpm);
    const double rightSlope = (right.plug - middle.plug) / (right.rpm - middle.rpm);
    const double curvature = (rightSlope - leftSlope) / (right.rpm - left.rpm);
    if (!(curvature < 0))
        return std::nullopt;
    // Newton's form p(x) = p(l) + s·(x − l) + a·(x − l)·(x − m), s the left slope and a the
    // curvature: p'(x) = 0 where x = (l + m)/2 − s/(2a).
    return 0.5 * (middle.rpm + left.rpm) - leftSlope / (2 * curvature);
}

SetupOutcome prepareWaves(const ChamberInputs& window, const ChamberDimensions& dimensions, const EngineFigures& engine)
{
    std::variant<Engine, EngineRefusal> made = Engine::make(window, engine);
    if (const auto* refusal = std::get_if<EngineRefusal>(&made))
        return *refusal;
    std::variant<Duct, DuctFailure> duct = Duct::fromChamber(dimensions);
    if (const auto* failure = std::get_if<DuctFailure>(&duct))
        return *failure;
    return WaveSetup{std::get<Duct>(std::move(duct)), std::get<Engine>(std::move(made)),
                     temperatureForSoundSpeed(window.waveSpeed)};
}

std::vector<double> sweepRpms(double typedRpm)
{
    const double from = kSweepFromShare * typedRpm;
    const double to = kSweepToShare * typedRpm;
    std::vector<double> rpms;
    for (int step = 0;; ++step) {
        const double rpm = from + kSweepStepRpm * step;
        if (rpm >= to - kSameRpm)
            break;
        rpms.push_back(rpm);
    }
    rpms.push_back(to);
    rpms.push_back(typedRpm);
    std::sort(rpms.begin(), rpms.end());
    rpms.erase(std::unique(rpms.begin(), rpms.end(), sameRpm),
               rpms.end());
    return rpms;
}

std::optional<Band> findBand(std::span<const BandPoint> points)
{
    if (points.empty())
        return std::nullopt;
    const auto peak = std::max_element(points.begin(), points.end(),
                                       [](const BandPoint& a, const BandPoint& b) { return a.plug < b.plug; });
    if (!(peak->plug > kAtmosphere))
        return std::nullopt;
    Band band;
    band.accordRpm = peak->rpm;
    band.peakPlug = peak->plug;
    band.threshold = kAtmosphere + 0.5 * (peak->plug - kAtmosphere);
    auto low = peak;
    while (low != points.begin() && std::prev(low)->plug > band.threshold)
        --low;
    auto high = peak;
    while (std::next(high) != points.end() && std::next(high)->plug > band.threshold)
        ++high;
    band.lowRpm = low->rpm;
    band.highRpm = high->rpm;
    band.lowIsSweepEnd = low == points.begin();
    band.highIsSweepEnd = std::next(high) == points.end();
    if (peak != points.begin() && std::next(peak) != points.end())
        band.parabolaRpm = vertexOfParabola(*std::prev(peak), *peak, *std::next(peak));
    return band;
}

WaveAnalysis::WaveAnalysis(WaveSetup setup, double typedRpm, Report report, unsigned threads)
    : WaveAnalysis(std::move(setup), sweepRpms(typedRpm), typedRpm, std::move(report), threads)
{
}

WaveAnalysis::WaveAnalysis(WaveSetup setup, std::vector<double> rpms, Report report, unsigned threads)
    : WaveAnalysis(std::move(setup), std::move(rpms), std::nullopt, std::move(report), threads)
{
}

WaveAnalysis::WaveAnalysis(WaveSetup setup, std::vector<double> rpms, std::optional<double> typedRpm, Report report,
                           unsigned threads)
    : m_setup(std::move(setup))
    , m_rpms(std::move(rpms))
    , m_typedFirst(typedRpm.has_value())
    , m_report(std::move(report))
{
    if (typedRpm) {
        m_typedIndex = static_cast<std::size_t>(
            std::find_if(m_rpms.begin(), m_rpms.end(), [&](double rpm) { return sameRpm(rpm, *typedRpm); })
            - m_rpms.begin());
    }
    const unsigned count = std::max(1u, threads != 0 ? threads : std::thread::hardware_concurrency());
    for (unsigned i = 0; i < count; ++i)
        m_workers.emplace_back([this] { work(); });
}

WaveAnalysis::~WaveAnalysis()
{
    m_stop = true;
    m_workers.clear();
}

// The typed speed first, as the dialog shows it first; then the others in ascending order.
std::size_t WaveAnalysis::indexOfTurn(std::size_t turn) const
{
    if (!m_typedFirst)
        return turn;
    if (turn == 0)
        return m_typedIndex;
    return turn <= m_typedIndex ? turn - 1 : turn;
}

void WaveAnalysis::work()
{
    clearUpperVectorState();
    for (std::size_t turn = m_nextTurn++; turn < m_rpms.size() && !m_stop; turn = m_nextTurn++) {
        const std::size_t index = indexOfTurn(turn);
        const bool withDiagram = m_typedFirst && index == m_typedIndex;
        const std::optional<RpmOutcome> outcome = runAtRpm(m_setup, m_rpms[index], withDiagram, &m_stop);
        if (outcome)
            m_report(index, *outcome);
    }
}

}  // namespace scaricometro::waves
