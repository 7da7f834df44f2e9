#include "waves/PipeFlow.h"

#include "waves/HllcFlux.h"
#include "waves/WallExchange.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace scaricometro::waves {
namespace {

constexpr double kMetresPerMm = 1e-3;

Primitive mirrored(const Primitive& state)
{
    return {state.density, -state.velocity, state.pressure};
}

Flux scaled(const Flux& flux, double factor)
{
    return {flux.mass * factor, flux.momentum * factor, flux.energy * factor};
}

}  // namespace

Conserved toConserved(const Primitive& state)
{
    const double momentum = state.density * state.velocity;
    return {state.density, momentum, state.pressure * kEnergyPerPressure + 0.5 * momentum * state.velocity};
}

Primitive toPrimitive(const Conserved& state)
{
    const double velocity = state.momentum / state.mass;
    return {state.mass, velocity, (kGamma - 1) * (state.energy - 0.5 * state.momentum * velocity)};
}

Flux physicalFlux(const Primitive& state)
{
    const double massFlux = state.density * state.velocity;
    const double energy = state.pressure * kEnergyPerPressure + 0.5 * massFlux * state.velocity;
    return {massFlux, massFlux * state.velocity + state.pressure, (energy + state.pressure) * state.velocity};
}

Flux hllcFlux(const Primitive& left, const Primitive& right)
{
    const FaceFlux<double> flux = hllc(left.density, left.velocity, left.pressure, left.soundSpeed(), right.density,
                                       right.velocity, right.pressure, right.soundSpeed());
    return {flux.mass, flux.momentum, flux.energy};
}

std::optional<Flux> WallEnd::flux(const EndFace& end)
{
    const Primitive outside = mirrored(end.face);
    const Flux riemann = end.side == Side::Inlet ? hllcFlux(outside, end.face) : hllcFlux(end.face, outside);
    // Nothing crosses a wall: mass and energy are kept to the last bit.
    return Flux{0, riemann.momentum * end.area, 0};
}

OpenEnd::OpenEnd(double pressure, double temperature)
    : m_pressure(pressure)
    , m_soundSpeed(std::sqrt(kGamma * kGasConstant * temperature))
{
}

// From the outgoing characteristic's invariant J = u + 2c/(γ−1), u along the outward normal:
// leaving, the gas keeps its entropy and comes to the outside pressure, or where it would then be
// faster than sound, leaves choked at the sonic state, u = c = J/(1 + 2/(γ−1)), above that pressure;
// entering, it comes from rest outside, so its stagnation sound speed is the outside's.
std::optional<Flux> OpenEnd::flux(const EndFace& end)
{
    const double outward = end.side == Side::Outlet ? 1 : -1;
    const Primitive& inside = end.face;
    const double c = inside.soundSpeed();
    constexpr double k = (kGamma - 1) / 2;
    const double leaving = outward * inside.velocity;
    const double invariant = leaving + c / k;
    const double cLeaving = c * std::pow(m_pressure / inside.pressure, k / kGamma);
    const double uLeaving = invariant - cLeaving / k;
    Primitive boundary;
    if (leaving >= c) {
        boundary = {inside.density, leaving, inside.pressure};  // nothing outside reaches in
    } else if (uLeaving >= cLeaving) {
        const double sonic = invariant * k / (1 + k);
        const double ratio = sonic / c;  // along the inside's isentrope: ρ ∝ c^(2/(γ−1)), p ∝ c^(2γ/(γ−1))
        boundary = {inside.density * std::pow(ratio, 1 / k), sonic, inside.pressure * std::pow(ratio, kGamma / k)};
    } else if (uLeaving >= 0) {
        boundary = {kGamma * m_pressure / (cLeaving * cLeaving), uLeaving, m_pressure};
    } else {
        // c = k(J − u) and c² + k·u² = c0², solved for the inflow u ≤ 0; no faster than sound.
        const double a = k * k + k;
        const double b = -2 * k * k * invariant;
        const double cc = k * k * invariant * invariant - m_soundSpeed * m_soundSpeed;
        const double discriminant = std::max(0.0, b * b - 4 * a * cc);
        const double sonic = m_soundSpeed / std::sqrt(1 + k);
        const double u = std::clamp((-b - std::sqrt(discriminant)) / (2 * a), -sonic, 0.0);
        const double cEntering = std::sqrt(m_soundSpeed * m_soundSpeed - k * u * u);
        const double pressure = m_pressure * std::pow(cEntering / m_soundSpeed, kGamma / k);
        boundary = {kGamma * pressure / (cEntering * cEntering), u, pressure};
    }
    boundary.velocity *= outward;
    return scaled(physicalFlux(boundary), end.area);
}

PipeFlow::PipeFlow(const Duct& duct, std::size_t cells, const Primitive& initial, VectorWidth width)
    : m_kernel(&pipeKernel(width))
    , m_cellLengthMm(duct.lengthMm() / static_cast<double>(cells))
    , m_cellLength(m_cellLengthMm * kMetresPerMm)
    , m_volume(cells)
    , m_inverseVolume(cells)
    , m_faceArea(cells + 1)
    , m_areaStep(cells)
    , m_areaShare(cells)
    , m_wallDiameter(cells)
    , m_inverseWallDiameter(cells)
    , m_wallShare(cells)
    , m_mass(cells), m_momentum(cells), m_energy(cells)
    , m_nextMass(cells), m_nextMomentum(cells), m_nextEnergy(cells)
    , m_rho(cells), m_inverseRho(cells), m_u(cells), m_p(cells), m_c(cells)
    , m_dRho(cells), m_dU(cells), m_dP(cells)
    , m_halfRho(cells), m_halfU(cells), m_halfP(cells)
    , m_fluxMass(cells + 1), m_fluxMomentum(cells + 1), m_fluxEnergy(cells + 1)
{
    for (std::size_t face = 0; face <= cells; ++face)
        m_faceArea[face] = duct.areaM2(static_cast<double>(face) * m_cellLengthMm);
    for (std::size_t i = 0; i < cells; ++i) {
        m_volume[i] = duct.volumeM3(static_cast<double>(i) * m_cellLengthMm, static_cast<double>(i + 1) * m_cellLengthMm);
        m_inverseVolume[i] = 1 / m_volume[i];
        m_areaStep[i] = m_faceArea[i + 1] - m_faceArea[i];
        m_areaShare[i] = m_areaStep[i] / m_volume[i];
        m_wallDiameter[i] = duct.diameterMm(cellCentreMm(i)) * kMetresPerMm;
        m_inverseWallDiameter[i] = 1 / m_wallDiameter[i];
        m_wallShare[i] = std::numbers::pi * m_wallDiameter[i] * m_cellLength / m_volume[i];
        setCell(i, initial);
    }
}

Primitive PipeFlow::cell(std::size_t index) const
{
    return {m_rho[index], m_u[index], m_p[index]};
}

void PipeFlow::setCell(std::size_t index, const Primitive& state)
{
    const Conserved conserved = toConserved(state);
    m_mass[index] = conserved.mass;
    m_momentum[index] = conserved.momentum;
    m_energy[index] = conserved.energy;
    refreshPrimitives();
}

double PipeFlow::totalMass() const
{
    double total = 0;
    for (std::size_t i = 0; i < cellCount(); ++i)
        total += m_mass[i] * m_volume[i];
    return total;
}

void PipeFlow::setWallTemperature(double temperature)
{
    m_wallTemperature = temperature;
    m_criticalReynolds = criticalReynolds();
    m_colburnFactor = colburnFactor();
    m_rootTemperaturePerSoundSpeed = 1 / std::sqrt(kGamma * kGasConstant);
}

double PipeFlow::totalEnergy() const
{
    double total = 0;
    for (std::size_t i = 0; i < cellCount(); ++i)
        total += m_energy[i] * m_volume[i];
    return total;
}

PipeArrays PipeFlow::arrays()
{
    return {cellCount(), m_cellLength, m_volume.data(), m_inverseVolume.data(), m_faceArea.data(), m_areaStep.data(),
            m_areaShare.data(), m_mass.data(), m_momentum.data(), m_energy.data(), m_nextMass.data(),
            m_nextMomentum.data(), m_nextEnergy.data(), m_rho.data(), m_inverseRho.data(), m_u.data(),
            m_p.data(), m_c.data(), m_dRho.data(), m_dU.data(), m_dP.data(), m_halfRho.data(), m_halfU.data(),
            m_halfP.data(), m_fluxMass.data(), m_fluxMomentum.data(), m_fluxEnergy.data(), m_wallDiameter.data(),
            m_inverseWallDiameter.data(), m_wallShare.data(), m_wallTemperature, m_criticalReynolds, m_colburnFactor,
            m_rootTemperaturePerSoundSpeed};
}

// The primitives and the fastest signal from the state; kept from one step's end to the next
// step, so that each is worked out once.
bool PipeFlow::refreshPrimitives()
{
    m_survey = m_kernel->primitives(arrays());
    return m_survey.positive;
}

double PipeFlow::stableStep(double courant) const
{
    return courant * m_cellLength / m_survey.fastestSignal;
}

EndFace PipeFlow::endFace(Side side, double dt) const
{
    const bool inlet = side == Side::Inlet;
    const std::size_t i = inlet ? 0 : cellCount() - 1;
    EndFace end;
    end.side = side;
    const double toFace = inlet ? -0.5 : 0.5;
    end.face = {m_halfRho[i] + toFace * m_dRho[i], m_halfU[i] + toFace * m_dU[i], m_halfP[i] + toFace * m_dP[i]};
    end.cell = cell(i);
    end.cellVolume = m_volume[i];
    end.area = m_faceArea[inlet ? 0 : cellCount()];
    end.dt = dt;
    // The cell's content had this face carried nothing: its other face's flux and the walls' push.
    const std::size_t otherFace = inlet ? 1 : cellCount() - 1;
    const double inflowSign = inlet ? -1 : 1;
    const double rate = dt * m_inverseVolume[i];
    end.cellWithoutFace = {m_mass[i] + inflowSign * rate * m_fluxMass[otherFace],
                           m_momentum[i] + rate * (inflowSign * m_fluxMomentum[otherFace] + m_halfP[i] * m_areaStep[i]),
                           m_energy[i] + inflowSign * rate * m_fluxEnergy[otherFace]};
    return end;
}

std::optional<PipeFlow::StepFailure> PipeFlow::step(double dt, DuctEnd& inlet, DuctEnd& outlet)
{
    const std::size_t n = cellCount();
    const PipeArrays state = arrays();
    m_kernel->predict(state, dt);
    m_kernel->innerFluxes(state);
    const std::optional<Flux> out = outlet.flux(endFace(Side::Outlet, dt));
    const std::optional<Flux> in = inlet.flux(endFace(Side::Inlet, dt));
    if (!out || !in)
        return StepFailure{Failure::End, 0};
    m_fluxMass[n] = out->mass;
    m_fluxMomentum[n] = out->momentum;
    m_fluxEnergy[n] = out->energy;
    m_fluxMass[0] = in->mass;
    m_fluxMomentum[0] = in->momentum;
    m_fluxEnergy[0] = in->energy;

    m_survey = m_kernel->advance(state, dt);
    m_mass.swap(m_nextMass);
    m_momentum.swap(m_nextMomentum);
    m_energy.swap(m_nextEnergy);
    if (m_survey.positive)
        return std::nullopt;
    // A failed step leaves the state as it was at its start.
    std::optional<StepFailure> failure;
    for (std::size_t i = 0; i < n && !failure; ++i) {
        if (!(m_rho[i] > 0))
            failure = StepFailure{Failure::Density, i};
        else if (!(m_p[i] > 0))
            failure = StepFailure{Failure::Pressure, i};
    }
    m_mass.swap(m_nextMass);
    m_momentum.swap(m_nextMomentum);
    m_energy.swap(m_nextEnergy);
    refreshPrimitives();
    return failure;
}

}  // namespace scaricometro::waves
