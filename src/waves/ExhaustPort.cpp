#include "waves/ExhaustPort.h"

#include <algorithm>

namespace scaricometro::waves {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// The bracketing and the false position stop once the mass flow is known to this share of its size.
constexpr double kMassFlowTolerance = 1e-12;
constexpr int kMostIterations = 100;

double stagnationEnthalpy(const Primitive& state)
{
    return kGamma / (kGamma - 1) * state.pressure / state.density + 0.5 * state.velocity * state.velocity;
}

}  // namespace

// The cylinder's and the first cell's states at the step's end, had `massFlow` gone through the port.
struct ExhaustPort::Trial {
    double massFlow = 0;  // kg/s out of the cylinder
    bool valid = false;
    double cylinderMass = 0;
    double cylinderEnergy = 0;
    double cylinderPressure = 0;
    Conserved cell;
    Flux flux;
    double nozzleFlow = 0;  // what the nozzle passes between those states
};

ExhaustPort::ExhaustPort(const Engine& engine, double pipeTemperature)
    : m_engine(engine)
    , m_releaseTemperature(pipeTemperature
                           * std::pow(engine.releasePressure() / kAtmosphere, (kGamma - 1) / kGamma))
{
}

void ExhaustPort::setCrankAngles(double start, double end)
{
    m_startAngle = start;
    m_endAngle = end;
    m_endVolume = m_engine.cylinderVolume(end);
}

ExhaustPort::Trial ExhaustPort::trial(double massFlow, const EndFace& end, double effectiveArea) const
{
    Trial result;
    result.massFlow = massFlow;
    const double endVolume = m_endVolume;
    const double volumeChange = endVolume - m_volume;
    const double startPressure = (kGamma - 1) * m_energy / m_volume;
    // Out of the cylinder goes its own still gas's enthalpy; in comes the pipe's stagnation enthalpy.
    const double enthalpy = massFlow > 0 ? kGamma / (kGamma - 1) * startPressure * m_volume / m_mass
                                         : stagnationEnthalpy(end.cell);
    result.cylinderMass = m_mass - massFlow * end.dt;
    // The work on the piston at the mean of the step's start and end pressures.
    result.cylinderEnergy = (m_energy - 0.5 * startPressure * volumeChange - massFlow * enthalpy * end.dt)
        / (1 + 0.5 * (kGamma - 1) * volumeChange / endVolume);
    if (!(result.cylinderMass > 0 && result.cylinderEnergy > 0))
        return result;
    result.cylinderPressure = (kGamma - 1) * result.cylinderEnergy / endVolume;

    // The stream fills the pipe's section at the port, at the first cell's density.
    const double velocity = massFlow / (end.cell.density * end.area);
    result.flux = {massFlow, end.cell.pressure * end.area + massFlow * velocity, massFlow * enthalpy};
    const double rate = end.dt / end.cellVolume;
    result.cell = {end.cellWithoutFace.mass + rate * result.flux.mass,
                   end.cellWithoutFace.momentum + rate * result.flux.momentum,
                   end.cellWithoutFace.energy + rate * result.flux.energy};
    if (!(result.cell.mass > 0))
        return result;
    const Primitive cell = toPrimitive(result.cell);
    if (!(cell.pressure > 0))
        return result;
    result.valid = true;

    const double cylinderTemperature = result.cylinderPressure * endVolume / (result.cylinderMass * kGasConstant);
    if (result.cylinderPressure >= cell.pressure) {
        result.nozzleFlow = nozzleMassFlow(result.cylinderPressure, cylinderTemperature, cell.pressure, effectiveArea);
    } else {
        const double temperature = cell.temperature();
        const double stagnationTemperature = temperature + 0.5 * cell.velocity * cell.velocity / kHeatAtConstantPressure;
        const double stagnationPressure
            = cell.pressure * std::pow(stagnationTemperature / temperature, kGamma / (kGamma - 1));
        result.nozzleFlow = -nozzleMassFlow(stagnationPressure, stagnationTemperature, result.cylinderPressure,
                                            effectiveArea);
    }
    return result;
}

// The trial of the mass flow that the nozzle passes between the states it leaves at the step's
// end: the root of g(ṁ) = ṁ − nozzle(ṁ), which rises with ṁ (more out, less pressure behind, more
// ahead). Bracketed from the last step's flow outwards, then found by false position (Illinois).
std::optional<ExhaustPort::Trial> ExhaustPort::solveMassFlow(const EndFace& end, double effectiveArea) const
{
    Trial latest;  // the last tried, which is most often the one found
    const auto g = [&](double massFlow) {
        latest = trial(massFlow, end, effectiveArea);
        if (!latest.valid)
            return massFlow > 0 ? kInfinity : -kInfinity;
        return massFlow - latest.nozzleFlow;
    };
    const double scale = std::max(std::abs(m_massFlow),
                                  nozzleMassFlow(m_engine.releasePressure(), m_releaseTemperature, 0, effectiveArea));
    // From the last two steps' flows carried on, and as far again as they changed, to start with.
    double a = 2 * m_massFlow - m_massFlowBefore;
    double ga = g(a);
    if (std::abs(ga) <= kMassFlowTolerance * scale)
        return latest;
    double reach = std::max(std::abs(m_massFlow - m_massFlowBefore), kMassFlowTolerance * scale);
    double b = a;
    double gb = ga;
    for (int i = 0; i < kMostIterations && (gb > 0) == (ga > 0); ++i) {
        a = b;
        ga = gb;
        b = ga > 0 ? a - reach : a + reach;
        gb = g(b);
        reach *= 2;
    }
    if ((gb > 0) == (ga > 0))
        return std::nullopt;
    int sameSide = 0;
    for (int i = 0; i < kMostIterations && std::abs(b - a) > kMassFlowTolerance * scale; ++i) {
        // False position where both ends are finite, halving where one is not.
        const double c = std::isfinite(ga) && std::isfinite(gb) ? b - gb * (b - a) / (gb - ga) : 0.5 * (a + b);
        const double gc = g(c);
        if (std::abs(gc) <= kMassFlowTolerance * scale)
            return latest;
        if ((gc > 0) == (gb > 0)) {
            b = c;
            gb = gc;
            if (++sameSide >= 2)
                ga *= 0.5;  // Illinois: the end that keeps its place counts for half
        } else {
            a = b;
            ga = gb;
            b = c;
            gb = gc;
            sameSide = 0;
        }
    }
    const double found = std::abs(ga) < std::abs(gb) ? a : b;
    return found == latest.massFlow ? latest : trial(found, end, effectiveArea);
}

std::optional<Flux> ExhaustPort::flux(const EndFace& end)
{
    const double effectiveArea = kPortDischarge * m_engine.portArea(0.5 * (m_startAngle + m_endAngle));
    if (effectiveArea <= 0) {
        m_open = false;
        m_massFlow = m_massFlowBefore = 0;
        return WallEnd().flux(end);
    }
    if (!m_open) {
        // The exhaust opens on still gas at the release pressure, as hot as gas that expands to
        // the atmosphere with the pipe's wave speed.
        m_open = true;
        m_volume = m_engine.cylinderVolume(m_startAngle);
        m_mass = m_engine.releasePressure() * m_volume / (kGasConstant * m_releaseTemperature);
        m_energy = m_engine.releasePressure() * m_volume / (kGamma - 1);
        m_massFlow = m_massFlowBefore = 0;
    }
    const std::optional<Trial> found = solveMassFlow(end, effectiveArea);
    if (!found || !found->valid)
        return std::nullopt;
    m_massFlowBefore = m_massFlow;
    m_massFlow = found->massFlow;
    m_mass = found->cylinderMass;
    m_energy = found->cylinderEnergy;
    m_volume = m_endVolume;
    return found->flux;
}

}  // namespace scaricometro::waves
