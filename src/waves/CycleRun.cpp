#include "waves/CycleRun.h"

#include "waves/ExhaustPort.h"
#include "waves/PipeFlow.h"

#include <algorithm>
#include <cmath>

namespace scaricometro::waves {
namespace {

constexpr double kCourant = 0.8;
constexpr double kDegreesPerRevolutionPerSecond = 360.0 / 60.0;  // degrees per second at 1 rpm

// One cycle's port pressures, what they mean for the charge, and (where asked) the whole duct's.
struct Cycle {
    CycleTrace trace;
    std::vector<double> field;
    double plug = 0;
    double suction = 0;
    double meanTemperature = 0;  // the pipe's gas's, mass-weighted, over the cycle's whole degrees
};

// The mean of the trace's whole degrees from `from` to `to`; where no whole degree lies between
// them, the trace in the middle, between its neighbouring degrees.
double meanBetween(const std::array<double, kTracePoints>& trace, double from, double to)
{
    const auto first = static_cast<std::size_t>(std::ceil(from));
    const auto last = static_cast<std::size_t>(std::floor(to));
    if (first > last) {
        const double middle = 0.5 * (from + to);
        const auto below = static_cast<std::size_t>(std::floor(middle));
        return trace[below] + (trace[below + 1] - trace[below]) * (middle - static_cast<double>(below));
    }
    double sum = 0;
    for (std::size_t degree = first; degree <= last; ++degree)
        sum += trace[degree];
    return sum / static_cast<double>(last - first + 1);
}

double interpolate(double before, double after, double share)
{
    if (std::isnan(before))
        return after;
    if (std::isnan(after))
        return before;
    return before + (after - before) * share;
}

class Run {
public:
    Run(const WaveSetup& setup, double rpm, bool withDiagram)
        : m_setup(setup)
        , m_rpm(rpm)
        , m_withDiagram(withDiagram)
        , m_flow(setup.duct, setup.duct.cellCount(),
                 {kAtmosphere / (kGasConstant * setup.pipeTemperature), 0, kAtmosphere}, setup.vectors)
        , m_port(setup.engine, setup.pipeTemperature)
        , m_outlet(kAtmosphere, setup.pipeTemperature)
        , m_before(m_flow.cellCount())
    {
        if (setup.walls)
            m_flow.setWallTemperature(wallTemperatureOf(setup));
    }

    std::optional<RpmOutcome> run(const std::atomic<bool>* stop)
    {
        std::vector<Cycle> cycles;
        Settling settling = Settling::Unsettled;
        SettlingWatch watch;
        for (int number = 1; number <= kMostCycles; ++number) {
            if (stop && stop->load(std::memory_order_relaxed))
                return std::nullopt;
            Cycle cycle;
            m_cyclesRun = number;
            if (std::optional<FlowFailure> failure = runCycle(number, cycle))
                return RpmOutcome{*failure};
            const std::optional<Settling> settled = watch.take(cycle.trace.port);
            cycles.push_back(std::move(cycle));
            if (settled) {
                settling = *settled;
                break;
            }
            // Only the last two cycles are ever reported.
            if (cycles.size() > 2)
                cycles.erase(cycles.begin());
        }
        return RpmOutcome{result(cycles, settling)};
    }

private:
    std::optional<FlowFailure> runCycle(int number, Cycle& cycle)
    {
        const double degreesPerSecond = kDegreesPerRevolutionPerSecond * m_rpm;
        const std::size_t cells = m_flow.cellCount();
        if (m_withDiagram)
            cycle.field.resize(kTracePoints * cells);
        double angle = 0;
        std::size_t nextDegree = 0;
        record(cycle, nextDegree++, m_flow.pressure(0), m_port.cylinderPressure(), m_flow.meanTemperature(), nullptr, 0);
        while (nextDegree < kTracePoints) {
            // The cycle's last step ends on top dead centre exactly.
            const double remaining = (kDegreesPerCycle - angle) / degreesPerSecond;
            const double stable = m_flow.stableStep(kCourant);
            const bool lastStep = remaining <= stable;
            const double dt = lastStep ? remaining : stable;
            const double endAngle = lastStep ? kDegreesPerCycle : angle + dt * degreesPerSecond;
            const double portBefore = m_flow.pressure(0);
            const double cylinderBefore = m_port.cylinderPressure();
            const bool reachesDegree = endAngle >= static_cast<double>(nextDegree);
            const double temperatureBefore = m_flow.meanTemperature();
            if (m_withDiagram && reachesDegree) {
                for (std::size_t i = 0; i < cells; ++i)
                    m_before[i] = m_flow.pressure(i);
            }
            m_port.setCrankAngles(angle, endAngle);
            if (const std::optional<PipeFlow::StepFailure> failure = m_flow.step(dt, m_port, m_outlet))
                return breakdown(*failure, number, endAngle);
            m_cellUpdates += static_cast<long long>(cells);
            const double temperatureAfter = m_flow.meanTemperature();
            while (nextDegree < kTracePoints && static_cast<double>(nextDegree) <= endAngle) {
                const double share = (static_cast<double>(nextDegree) - angle) / (endAngle - angle);
                record(cycle, nextDegree, interpolate(portBefore, m_flow.pressure(0), share),
                       interpolate(cylinderBefore, m_port.cylinderPressure(), share),
                       interpolate(temperatureBefore, temperatureAfter, share), m_before.data(), share);
                ++nextDegree;
            }
            angle = endAngle;
        }
        const PortTiming& timing = m_setup.engine.timing();
        cycle.plug = meanBetween(cycle.trace.port, timing.transfersClose, timing.exhaustCloses);
        cycle.suction = meanBetween(cycle.trace.port, timing.transfersOpen, timing.transfersClose);
        cycle.meanTemperature /= kDegreesPerCycle;
        return std::nullopt;
    }

    // The values at a whole degree, the duct's interpolated between the step's start (`before`,
    // none at the cycle's start) and its end. The pipe's mean temperature is summed over the
    // cycle's degrees, 0 to 359.
    void record(Cycle& cycle, std::size_t degree, double port, double cylinder, double temperature,
                const double* before, double share)
    {
        cycle.trace.port[degree] = port;
        cycle.trace.cylinder[degree] = cylinder;
        const std::size_t cells = m_flow.cellCount();
        if (m_withDiagram) {
            for (std::size_t i = 0; i < cells; ++i) {
                const double now = m_flow.pressure(i);
                cycle.field[degree * cells + i] = before ? before[i] + (now - before[i]) * share : now;
            }
        }
        if (degree < kTracePoints - 1)
            cycle.meanTemperature += temperature;
    }

    FlowFailure breakdown(const PipeFlow::StepFailure& failure, int cycle, double angle) const
    {
        FlowFailure result;
        result.rpm = m_rpm;
        result.cycle = cycle;
        result.crankAngle = angle;
        result.inCylinder = failure.what == PipeFlow::Failure::End;
        result.quantity = failure.what == PipeFlow::Failure::Density ? BrokenQuantity::Density : BrokenQuantity::Pressure;
        result.atMm = result.inCylinder ? 0 : m_flow.cellCentreMm(failure.cell);
        return result;
    }

    RpmResult result(const std::vector<Cycle>& cycles, Settling settling) const
    {
        RpmResult result;
        result.rpm = m_rpm;
        result.settling = settling;
        result.cycles = m_cyclesRun;
        const Cycle& last = cycles.back();
        const Cycle& shown = settling == Settling::Alternating && cycles[cycles.size() - 2].plug > last.plug
            ? cycles[cycles.size() - 2]
            : last;
        const Cycle& other = cycles.size() > 1 ? cycles[cycles.size() - 2] : last;
        result.plug = 0.5 * (last.plug + other.plug);
        result.suction = 0.5 * (last.suction + other.suction);
        result.meanTemperature = last.meanTemperature;
        result.meanSoundSpeed = std::sqrt(kGamma * kGasConstant * last.meanTemperature);
        result.wallTemperature = wallTemperatureOf(m_setup);
        result.trace = shown.trace;
        if (m_withDiagram) {
            WaveDiagram diagram;
            for (std::size_t i = 0; i < m_flow.cellCount(); ++i)
                diagram.cellCentresMm.push_back(m_flow.cellCentreMm(i));
            diagram.pressure = shown.field;
            result.diagram = std::move(diagram);
        }
        result.cells = m_flow.cellCount();
        result.cellUpdates = m_cellUpdates;
        return result;
    }

    const WaveSetup& m_setup;
    double m_rpm;
    bool m_withDiagram;
    PipeFlow m_flow;
    ExhaustPort m_port;
    OpenEnd m_outlet;
    std::vector<double> m_before;
    long long m_cellUpdates = 0;
    int m_cyclesRun = 0;
};

}  // namespace

std::optional<RpmOutcome> runAtRpm(const WaveSetup& setup, double rpm, bool withDiagram, const std::atomic<bool>* stop)
{
    return Run(setup, rpm, withDiagram).run(stop);
}

}  // namespace scaricometro::waves
