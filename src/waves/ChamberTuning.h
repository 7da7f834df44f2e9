// The chamber tuned to an rpm: the one factor k, kLeastTuningFactor ≤ k ≤ kMostTuningFactor, by
// which L1 to L5 are multiplied (the tailpipe and the diameters as they are) so that the chamber's
// refined accord is the target within kTuningToleranceRpm. The accord goes nearly as 1/k: the
// search starts from the accord the chamber has, takes secant steps on the logarithms, and judges
// each step by the few speeds around the target; only the factor it settles on is checked over the
// whole sweep around the target.
#pragma once

#include "model/BuiltChamber.h"
#include "waves/WaveAnalysis.h"

#include <atomic>
#include <functional>
#include <optional>
#include <thread>
#include <variant>
#include <vector>

namespace scaricometro::waves {

inline constexpr double kLeastTuningFactor = 0.5;
inline constexpr double kMostTuningFactor = 2;
inline constexpr double kTuningToleranceRpm = 50;

// A chamber's accord around a target T: over the sweep of sweepRpms(T), the speed r whose plug is
// highest, and the vertex of the parabola through the plugs at r − 250, r and r + 250; none where r
// is an end of the sweep, so that the accord lies beyond it.
struct RefinedAccord {
    double bestRpm = 0;
    double peakPlug = 0;  // Pa
    std::optional<double> parabolaRpm;
    std::vector<BandPoint> band;  // the sweep's speeds that did not break down, ascending
};

// What the search has done, as it goes.
struct TuningStep {
    int number = 0;  // from 1
    double factor = 1;
    double accordRpm = 0;  // near the target, as the speeds around it put it
    bool beyondSweep = false;  // the plug still rises at the sweep's end: the accord is further
};
struct TuningCheck {
    double factor = 1;
    std::size_t done = 0;   // speeds of the whole sweep run so far
    std::size_t count = 0;
};
using TuningProgress = std::variant<TuningStep, TuningCheck>;

struct TuningFound {
    double factor = 1;
    ChamberDimensions dimensions;
    RefinedAccord accord;
    int steps = 0;
};

struct TuningFailure {
    enum class Reason {
        AboveReach,   // at the least factor the chamber is still tuned below the target
        BelowReach,   // at the most factor still above it
        NoAccordAt,   // the accord jumps across the target, or no peak falls near it
        BrokeDown,    // the flow broke down at every speed tried
    };
    Reason reason = Reason::NoAccordAt;
    // The factor whose accord came nearest the target, and that accord; none where nothing was found.
    std::optional<double> nearestFactor;
    std::optional<double> nearestAccordRpm;
};

using TuningOutcome = std::variant<TuningFound, TuningFailure>;

struct TuningRequest {
    WaveSetup setup;              // the engine and the gas; its duct is made anew for each factor
    ChamberDimensions chamber;    // the chamber as it is, which the factor multiplies
    double targetRpm = 0;
    std::optional<double> accordNow;  // the chamber's accord as it is, where known: the first step
    unsigned threads = 0;         // 0: as many as the machine runs at once
};

using TuningReport = std::function<void(const TuningProgress& progress)>;

// The search, on the calling thread (the speeds on worker threads): nothing where `stop` is set
// before it ends. The same request gives the same factor.
[[nodiscard]] std::optional<TuningOutcome> tuneChamber(const TuningRequest& request, const TuningReport& report,
                                                      const std::atomic<bool>& stop);

// The search on a thread of its own, handing its progress and then its outcome to the callbacks
// on that thread. Destroying it stops the search and waits for it.
class ChamberTuner {
public:
    using Finished = std::function<void(const TuningOutcome& outcome)>;

    ChamberTuner(TuningRequest request, TuningReport report, Finished finished);
    ~ChamberTuner();
    ChamberTuner(const ChamberTuner&) = delete;
    ChamberTuner& operator=(const ChamberTuner&) = delete;

private:
    std::atomic<bool> m_stop{false};
    std::jthread m_thread;  // last, so that it stops before the rest goes
};

}  // namespace scaricometro::waves
