// The whole analysis of a chamber's waves: the setup checked, the engine speeds of the band, each
// run to its periodic state on worker threads with the typed speed first, and the speed at which
// the chamber is tuned and the band around it.
#pragma once

#include "waves/CycleRun.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <thread>
#include <variant>
#include <vector>

namespace scaricometro::waves {

inline constexpr double kSweepStepRpm = 250;
inline constexpr double kSweepFromShare = 0.5;  // of the typed speed
inline constexpr double kSweepToShare = 1.6;
// Speeds closer than this are one speed.
inline constexpr double kSameRpm = 1e-6;

[[nodiscard]] constexpr bool sameRpm(double a, double b)
{
    return a - b < kSameRpm && b - a < kSameRpm;
}

using SetupOutcome = std::variant<WaveSetup, EngineRefusal, DuctFailure>;

// The setup for the window's figures, its chamber and the engine; or the first thing that makes
// none: the engine's figures first, then the duct.
[[nodiscard]] SetupOutcome prepareWaves(const ChamberInputs& window, const ChamberDimensions& dimensions,
                                        const EngineFigures& engine);

// N/2, N/2 + 250 ... up to 1.6·N, 1.6·N itself, and N: ascending, each once.
[[nodiscard]] std::vector<double> sweepRpms(double typedRpm);

struct BandPoint {
    double rpm = 0;
    double plug = 0;  // Pa
    double suction = 0;
};

struct Band {
    double accordRpm = 0;   // where the plug is highest
    double peakPlug = 0;    // Pa
    double threshold = 0;   // Pa: atmosphere plus half the peak's height above it
    double lowRpm = 0;      // the run of speeds around the accord whose plug stays above the threshold
    double highRpm = 0;
    bool lowIsSweepEnd = false;   // the band may go on below the sweep
    bool highIsSweepEnd = false;  // ... or above it
    // The vertex of the parabola through the plugs at the accord and the speeds either side of it;
    // none where the accord is an end of the sweep, or the three make no peak.
    std::optional<double> parabolaRpm;
};

// The accord and the band of `points`, ascending in rpm; none where there are no points or the
// plug never rises above the atmosphere.
[[nodiscard]] std::optional<Band> findBand(std::span<const BandPoint> points);

// The vertex of the parabola through three points of a band, where it opens downwards.
[[nodiscard]] std::optional<double> vertexOfParabola(const BandPoint& left, const BandPoint& middle, const BandPoint& right);

// Runs every speed of sweepRpms() on `threads` worker threads, the typed one first and with its
// wave diagram, and hands each outcome to `report` on the worker that ran it, as it is ready.
// Destroying it stops the runs and waits for the workers, which takes at most a cycle's work.
class WaveAnalysis {
public:
    using Report = std::function<void(std::size_t index, const RpmOutcome& outcome)>;

    // `threads` 0: as many as the machine runs at once.
    WaveAnalysis(WaveSetup setup, double typedRpm, Report report, unsigned threads = 0);
    // The speeds `rpms`, ascending, in that order, none with a diagram.
    WaveAnalysis(WaveSetup setup, std::vector<double> rpms, Report report, unsigned threads = 0);
    ~WaveAnalysis();
    WaveAnalysis(const WaveAnalysis&) = delete;
    WaveAnalysis& operator=(const WaveAnalysis&) = delete;

    // Ascending; report's `index` is into this.
    [[nodiscard]] const std::vector<double>& rpms() const { return m_rpms; }
    [[nodiscard]] std::size_t typedIndex() const { return m_typedIndex; }

private:
    WaveAnalysis(WaveSetup setup, std::vector<double> rpms, std::optional<double> typedRpm, Report report,
                 unsigned threads);
    void work();
    [[nodiscard]] std::size_t indexOfTurn(std::size_t turn) const;

    WaveSetup m_setup;
    std::vector<double> m_rpms;
    bool m_typedFirst = false;  // with its diagram
    std::size_t m_typedIndex = 0;
    Report m_report;
    std::atomic<bool> m_stop{false};
    std::atomic<std::size_t> m_nextTurn{0};
    std::vector<std::jthread> m_workers;
};

}  // namespace scaricometro::waves
