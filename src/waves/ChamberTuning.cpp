#include "waves/ChamberTuning.h"

#include "waves/Gas.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <map>
#include <mutex>

namespace scaricometro::waves {
namespace {

constexpr int kMostSteps = 16;
// Whole sweeps that may find the accord off where the speeds around the target put it.
constexpr int kMostChecks = 3;
// A step runs the target and this many speeds either side of it, a sweep step apart.
constexpr int kSpeedsEitherSide = 2;
// How often a wait for the speeds looks whether the search is to stop.
constexpr std::chrono::milliseconds kStopPoll{50};
// A secant's slope of log(accord) over log(factor) outside these is taken for a jump between two
// peaks, and the step made as if the accord went as 1/k.
constexpr double kSteepestSlope = -5;
constexpr double kFlattestSlope = -0.2;

// The plug at each speed run, by speed.
using Plugs = std::map<double, double>;

// Runs `rpms` for `setup` on the workers; every outcome, in the order of `rpms`, or none once `stop`
// is set. `each` is told how many are done after each.
std::optional<std::vector<RpmOutcome>> runSpeeds(const WaveSetup& setup, const std::vector<double>& rpms,
                                                 unsigned threads, const std::atomic<bool>& stop,
                                                 const std::function<void(std::size_t)>& each = {})
{
    std::mutex mutex;
    std::condition_variable ready;
    std::vector<std::optional<RpmOutcome>> outcomes(rpms.size());
    std::size_t done = 0;
    {
        const WaveAnalysis analysis(setup, rpms, [&](std::size_t index, const RpmOutcome& outcome) {
            const std::lock_guard lock(mutex);
            outcomes[index] = outcome;
            ++done;
            ready.notify_one();
        }, threads);
        std::unique_lock lock(mutex);
        std::size_t told = 0;
        while (done < rpms.size()) {
            if (stop)
                return std::nullopt;
            ready.wait_for(lock, kStopPoll);
            if (each && done != told) {
                told = done;
                lock.unlock();
                each(told);
                lock.lock();
            }
        }
    }
    std::vector<RpmOutcome> all;
    for (std::optional<RpmOutcome>& outcome : outcomes)
        all.push_back(std::move(*outcome));
    return all;
}

// The plugs of the speeds of `rpms` not run yet; false once `stop` is set.
bool addPlugs(const WaveSetup& setup, std::vector<double> rpms, unsigned threads, const std::atomic<bool>& stop,
              Plugs& plugs, std::vector<double>& tried)
{
    std::erase_if(rpms, [&](double rpm) {
        return std::ranges::any_of(tried, [rpm](double done) { return sameRpm(done, rpm); });
    });
    if (rpms.empty())
        return true;
    std::ranges::sort(rpms);
    const std::optional<std::vector<RpmOutcome>> outcomes = runSpeeds(setup, rpms, threads, stop);
    if (!outcomes)
        return false;
    for (std::size_t i = 0; i < rpms.size(); ++i) {
        tried.push_back(rpms[i]);
        if (const auto* result = std::get_if<RpmResult>(&(*outcomes)[i]))
            plugs[rpms[i]] = result->plug;
    }
    return true;
}

std::optional<double> plugNear(const Plugs& plugs, double rpm)
{
    const auto found = plugs.lower_bound(rpm - kSameRpm);
    if (found == plugs.end() || !sameRpm(found->first, rpm))
        return std::nullopt;
    return found->second;
}

std::optional<double> vertexAround(const Plugs& plugs, double rpm)
{
    const std::optional<double> below = plugNear(plugs, rpm - kSweepStepRpm);
    const std::optional<double> above = plugNear(plugs, rpm + kSweepStepRpm);
    if (!below || !above)
        return std::nullopt;
    return vertexOfParabola({rpm - kSweepStepRpm, *below, 0}, {rpm, plugs.at(rpm), 0},
                            {rpm + kSweepStepRpm, *above, 0});
}

// Where the accord of `setup`'s chamber lies near the target, from the speeds around it: out from the
// target a sweep step at a time while the plug still rises towards an end, as far as the sweep
// goes. None where every speed broke down; nothing at all once `stop` is set.
struct NearAccord {
    double rpm = 0;
    bool beyondSweep = false;
};

std::optional<std::optional<NearAccord>> accordNear(const WaveSetup& setup, double target, unsigned threads,
                                                    const std::atomic<bool>& stop)
{
    const double low = kSweepFromShare * target;
    const double high = kSweepToShare * target;
    const auto within = [&](std::vector<double> rpms) {
        std::erase_if(rpms, [&](double rpm) { return rpm < low - kSameRpm || rpm > high + kSameRpm; });
        return rpms;
    };
    Plugs plugs;
    std::vector<double> tried;
    std::vector<double> first;
    for (int i = -kSpeedsEitherSide; i <= kSpeedsEitherSide; ++i)
        first.push_back(target + i * kSweepStepRpm);
    if (!addPlugs(setup, within(first), threads, stop, plugs, tried))
        return std::nullopt;
    for (;;) {
        if (plugs.empty())
            return std::optional<NearAccord>{};
        const auto best = std::ranges::max_element(plugs, {}, &Plugs::value_type::second);
        std::vector<double> further;
        if (best == plugs.begin()) {
            for (int i = 1; i <= kSpeedsEitherSide; ++i)
                further.push_back(best->first - i * kSweepStepRpm);
        } else if (std::next(best) == plugs.end()) {
            for (int i = 1; i <= kSpeedsEitherSide; ++i)
                further.push_back(best->first + i * kSweepStepRpm);
        }
        further = within(further);
        const std::size_t before = tried.size();
        if (!addPlugs(setup, further, threads, stop, plugs, tried))
            return std::nullopt;
        if (tried.size() > before)
            continue;
        const std::optional<double> vertex = vertexAround(plugs, best->first);
        const bool atEnd = best == plugs.begin() || std::next(best) == plugs.end();
        return std::optional<NearAccord>{NearAccord{vertex.value_or(best->first), atEnd && !vertex}};
    }
}

// The refined accord of `setup`'s chamber: the whole sweep around the target.
std::optional<std::optional<RefinedAccord>> refinedAccord(const WaveSetup& setup, double target, unsigned threads,
                                                          const std::atomic<bool>& stop,
                                                          const std::function<void(std::size_t, std::size_t)>& each)
{
    const std::vector<double> rpms = sweepRpms(target);
    const std::optional<std::vector<RpmOutcome>> outcomes
        = runSpeeds(setup, rpms, threads, stop, [&](std::size_t done) { each(done, rpms.size()); });
    if (!outcomes)
        return std::nullopt;
    RefinedAccord refined;
    Plugs plugs;
    std::vector<double> tried = rpms;
    for (const RpmOutcome& outcome : *outcomes) {
        if (const auto* result = std::get_if<RpmResult>(&outcome)) {
            refined.band.push_back({result->rpm, result->plug, result->suction});
            plugs[result->rpm] = result->plug;
        }
    }
    const std::optional<Band> band = findBand(refined.band);
    if (!band)
        return std::optional<RefinedAccord>{};
    refined.bestRpm = band->accordRpm;
    refined.peakPlug = band->peakPlug;
    const bool atEnd = sameRpm(refined.bestRpm, rpms.front()) || sameRpm(refined.bestRpm, rpms.back());
    if (!atEnd) {
        // The speeds a sweep step either side, where the sweep has them not (beside the target itself).
        if (!addPlugs(setup, {refined.bestRpm - kSweepStepRpm, refined.bestRpm + kSweepStepRpm}, threads, stop, plugs,
                      tried))
            return std::nullopt;
        refined.parabolaRpm = vertexAround(plugs, refined.bestRpm);
    }
    return refined;
}

std::optional<WaveSetup> setupFor(const TuningRequest& request, double factor)
{
    std::variant<Duct, DuctFailure> duct = Duct::fromChamber(withTunedLengths(request.chamber, factor));
    if (!std::holds_alternative<Duct>(duct))
        return std::nullopt;
    WaveSetup setup = request.setup;
    setup.duct = std::get<Duct>(std::move(duct));
    return setup;
}

class Search {
public:
    Search(const TuningRequest& request, const TuningReport& report, const std::atomic<bool>& stop)
        : m_request(request)
        , m_report(report)
        , m_stop(stop)
        , m_target(request.targetRpm)
    {
    }

    std::optional<TuningOutcome> run()
    {
        double factor = std::clamp(m_request.accordNow ? *m_request.accordNow / m_target : 1.0, kLeastTuningFactor,
                                   kMostTuningFactor);
        int checks = 0;
        for (int step = 1; step <= kMostSteps; ++step) {
            const std::optional<WaveSetup> setup = setupFor(m_request, factor);
            if (!setup)
                return failure(factor > 1 ? TuningFailure::Reason::BelowReach : TuningFailure::Reason::AboveReach);
            const std::optional<std::optional<NearAccord>> near = accordNear(*setup, m_target, m_request.threads, m_stop);
            if (!near)
                return std::nullopt;
            if (!*near)
                return failure(m_nearest ? TuningFailure::Reason::NoAccordAt : TuningFailure::Reason::BrokeDown);
            double accord = (*near)->rpm;
            bool beyond = (*near)->beyondSweep;
            m_report(TuningStep{step, factor, accord, beyond});
            if (!beyond && std::abs(accord - m_target) <= kTuningToleranceRpm) {
                const auto refined = refinedAccord(*setup, m_target, m_request.threads, m_stop,
                                                   [&](std::size_t done, std::size_t count) {
                                                       m_report(TuningCheck{factor, done, count});
                                                   });
                if (!refined)
                    return std::nullopt;
                if (*refined && (*refined)->parabolaRpm
                    && std::abs(*(*refined)->parabolaRpm - m_target) <= kTuningToleranceRpm) {
                    return TuningFound{factor, withTunedLengths(m_request.chamber, factor), **refined, step};
                }
                if (++checks >= kMostChecks)
                    break;
                if (*refined) {
                    accord = (*refined)->parabolaRpm.value_or((*refined)->bestRpm);
                    beyond = !(*refined)->parabolaRpm;
                }
            }
            remember(factor, accord, beyond);
            const double next = nextFactor(factor, accord, beyond);
            if (next == factor) {
                return failure(accord < m_target ? TuningFailure::Reason::AboveReach
                                                 : TuningFailure::Reason::BelowReach);
            }
            factor = next;
        }
        return failure(TuningFailure::Reason::NoAccordAt);
    }

private:
    void remember(double factor, double accord, bool beyond)
    {
        if (!m_nearestAccord || std::abs(accord - m_target) < std::abs(*m_nearestAccord - m_target)) {
            m_nearest = factor;
            m_nearestAccord = accord;
        }
        if (!beyond) {
            m_before = m_last;
            m_last = {std::log(factor), std::log(accord)};
        }
    }

    // A secant step on the logarithms from the last two steps that found a peak; where there is
    // none yet, or the two make no plausible slope, as if the accord went as 1/k.
    [[nodiscard]] double nextFactor(double factor, double accord, bool beyond) const
    {
        double slope = -1;
        if (!beyond && m_before && m_last) {
            const double secant = (m_last->second - m_before->second) / (m_last->first - m_before->first);
            if (secant >= kSteepestSlope && secant <= kFlattestSlope)
                slope = secant;
        }
        const double next = std::exp(std::log(factor) + (std::log(m_target) - std::log(accord)) / slope);
        return std::clamp(next, kLeastTuningFactor, kMostTuningFactor);
    }

    [[nodiscard]] TuningOutcome failure(TuningFailure::Reason reason) const
    {
        return TuningFailure{reason, m_nearest, m_nearestAccord};
    }

    const TuningRequest& m_request;
    const TuningReport& m_report;
    const std::atomic<bool>& m_stop;
    double m_target;
    std::optional<double> m_nearest;
    std::optional<double> m_nearestAccord;
    // (log k, log accord) of the last two steps that found a peak.
    std::optional<std::pair<double, double>> m_last;
    std::optional<std::pair<double, double>> m_before;
};

}  // namespace

std::optional<TuningOutcome> tuneChamber(const TuningRequest& request, const TuningReport& report,
                                         const std::atomic<bool>& stop)
{
    return Search(request, report, stop).run();
}

ChamberTuner::ChamberTuner(TuningRequest request, TuningReport report, Finished finished)
    : m_thread([this, request = std::move(request), report = std::move(report), finished = std::move(finished)] {
        if (const std::optional<TuningOutcome> outcome = tuneChamber(request, report, m_stop))
            finished(*outcome);
    })
{
}

ChamberTuner::~ChamberTuner()
{
    m_stop = true;
}

}  // namespace scaricometro::waves
