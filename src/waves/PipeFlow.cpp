#include "waves/PipeFlow.h"

#include <algorithm>
#include <cmath>

namespace scaricometro::waves {
namespace {

constexpr double kEnergyPerPressure = 1 / (kGamma - 1);
constexpr double kMetresPerMm = 1e-3;

// Selections rather than branches, so that the cells' loop vectorises.
double minmod(double a, double b)
{
    const double smaller = std::abs(a) < std::abs(b) ? a : b;
    return a * b > 0 ? smaller : 0.0;
}

Primitive mirrored(const Primitive& state)
{
    return {state.density, -state.velocity, state.pressure};
}

Flux scaled(const Flux& flux, double factor)
{
    return {flux.mass * factor, flux.momentum * factor, flux.energy * factor};
}

// Toro's HLLC in the form that writes the star states' flux through the star pressure,
// F* = (S*·(S·U − F) + S·p*·(0, 1, S*)) / (S − S*), with Davis's wave speeds from the sound speeds
// given. The outer speeds are held to 0 at the most, so that where all the waves run one way the
// star flux on that side is the upwind flux itself, without a branch.
Flux hllcWithSoundSpeeds(const Primitive& left, double cLeft, const Primitive& right, double cRight)
{
    const double sLeft = std::min(std::min(left.velocity - cLeft, right.velocity - cRight), 0.0);
    const double sRight = std::max(std::max(left.velocity + cLeft, right.velocity + cRight), 0.0);
    const double mLeft = left.density * (sLeft - left.velocity);
    const double mRight = right.density * (sRight - right.velocity);
    const double sStar = (right.pressure - left.pressure + mLeft * left.velocity - mRight * right.velocity)
        / (mLeft - mRight);
    const bool fromLeft = sStar >= 0;
    const double density = fromLeft ? left.density : right.density;
    const double velocity = fromLeft ? left.velocity : right.velocity;
    const double pressure = fromLeft ? left.pressure : right.pressure;
    const double s = fromLeft ? sLeft : sRight;
    const double starPressure = pressure + (fromLeft ? mLeft : mRight) * (sStar - velocity);
    const double momentum = density * velocity;
    const double energy = pressure * kEnergyPerPressure + 0.5 * momentum * velocity;
    const double share = 1 / (s - sStar);
    return {sStar * (s - velocity) * density * share,
            (sStar * ((s - velocity) * momentum - pressure) + s * starPressure) * share,
            (sStar * ((s - velocity) * energy - pressure * velocity) + s * starPressure * sStar) * share};
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
    return hllcWithSoundSpeeds(left, left.soundSpeed(), right, right.soundSpeed());
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
// leaving, the gas keeps its entropy and comes to the outside pressure; entering, it comes from
// rest outside, so its stagnation sound speed is the outside's.
std::optional<Flux> OpenEnd::flux(const EndFace& end)
{
    const double outward = end.side == Side::Outlet ? 1 : -1;
    const Primitive& inside = end.face;
    const double c = inside.soundSpeed();
    constexpr double k = (kGamma - 1) / 2;
    const double invariant = outward * inside.velocity + c / k;
    Primitive boundary;
    const double cLeaving = c * std::pow(m_pressure / inside.pressure, k / kGamma);
    const double uLeaving = invariant - cLeaving / k;
    if (uLeaving >= cLeaving) {
        boundary = inside;  // leaving faster than sound: nothing outside reaches in
        boundary.velocity *= outward;
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

PipeFlow::PipeFlow(const Duct& duct, std::size_t cells, const Primitive& initial)
    : m_cellLengthMm(duct.lengthMm() / static_cast<double>(cells))
    , m_cellLength(m_cellLengthMm * kMetresPerMm)
    , m_volume(cells)
    , m_inverseVolume(cells)
    , m_faceArea(cells + 1)
    , m_areaStep(cells)
    , m_areaShare(cells)
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

double PipeFlow::totalEnergy() const
{
    double total = 0;
    for (std::size_t i = 0; i < cellCount(); ++i)
        total += m_energy[i] * m_volume[i];
    return total;
}

// The primitives, and the fastest flow and the largest sound speed squared, from the state; kept
// from one step's end to the next step, so that each is worked out once.
bool PipeFlow::refreshPrimitives()
{
    double fastestSignal = 0;
    bool positive = true;
    for (std::size_t i = 0; i < cellCount(); ++i) {
        const double inverseDensity = 1 / m_mass[i];
        m_rho[i] = m_mass[i];
        m_inverseRho[i] = inverseDensity;
        m_u[i] = m_momentum[i] * inverseDensity;
        m_p[i] = (kGamma - 1) * (m_energy[i] - 0.5 * m_momentum[i] * m_u[i]);
        positive = positive && m_rho[i] > 0 && m_p[i] > 0;
        m_c[i] = std::sqrt(kGamma * m_p[i] * inverseDensity);
        fastestSignal = std::max(fastestSignal, std::abs(m_u[i]) + m_c[i]);
    }
    m_fastestSignal = fastestSignal;
    return positive;
}

double PipeFlow::stableStep(double courant) const
{
    return courant * m_cellLength / m_fastestSignal;
}

// Hancock's predictor: limited differences of the primitives across each cell, and the state half
// a step on from the quasi-linear equations with their area terms. A cell whose faces would come
// out without density or pressure falls back to its own state, first order.
void PipeFlow::reconstruct(double dt)
{
    const std::size_t n = cellCount();
    const double half = dt / (2 * m_cellLength);
    const auto predict = [&](std::size_t i, double dRho, double dU, double dP) {
        const double rho = m_rho[i];
        const double u = m_u[i];
        const double p = m_p[i];
        // (1/A)·dA/dx over the cell, times half the step: the area's share in the predictor.
        const double area = 0.5 * dt * m_areaShare[i];
        const double halfRho = rho - half * (u * dRho + rho * dU) - area * rho * u;
        const double halfU = u - half * (u * dU + dP * m_inverseRho[i]);
        const double halfP = p - half * (kGamma * p * dU + u * dP) - area * kGamma * p * u;
        const bool keeps = (halfRho - 0.5 * std::abs(dRho) > 0) & (halfP - 0.5 * std::abs(dP) > 0);
        m_halfRho[i] = keeps ? halfRho : rho;
        m_halfU[i] = keeps ? halfU : u;
        m_halfP[i] = keeps ? halfP : p;
        m_dRho[i] = keeps ? dRho : 0;
        m_dU[i] = keeps ? dU : 0;
        m_dP[i] = keeps ? dP : 0;
    };
    // The end cells keep their own state across them: first order at the ends.
    predict(0, 0, 0, 0);
    for (std::size_t i = 1; i + 1 < n; ++i) {
        predict(i, minmod(m_rho[i] - m_rho[i - 1], m_rho[i + 1] - m_rho[i]), minmod(m_u[i] - m_u[i - 1], m_u[i + 1] - m_u[i]),
                minmod(m_p[i] - m_p[i - 1], m_p[i + 1] - m_p[i]));
    }
    predict(n - 1, 0, 0, 0);
}

EndFace PipeFlow::endFace(Side side, double dt) const
{
    const std::size_t i = side == Side::Inlet ? 0 : cellCount() - 1;
    const double toFace = side == Side::Inlet ? -0.5 : 0.5;
    EndFace end;
    end.side = side;
    end.face = {m_halfRho[i] + toFace * m_dRho[i], m_halfU[i] + toFace * m_dU[i], m_halfP[i] + toFace * m_dP[i]};
    end.cell = cell(i);
    end.cellVolume = m_volume[i];
    end.area = m_faceArea[side == Side::Inlet ? 0 : cellCount()];
    end.dt = dt;
    // The cell's content had this face carried nothing: its other face's flux and the walls' push.
    const std::size_t otherFace = side == Side::Inlet ? 1 : cellCount() - 1;
    const double inflowSign = side == Side::Inlet ? -1 : 1;
    const double rate = dt * m_inverseVolume[i];
    end.cellWithoutFace = {m_mass[i] + inflowSign * rate * m_fluxMass[otherFace],
                           m_momentum[i] + rate * (inflowSign * m_fluxMomentum[otherFace] + m_halfP[i] * m_areaStep[i]),
                           m_energy[i] + inflowSign * rate * m_fluxEnergy[otherFace]};
    return end;
}

std::optional<PipeFlow::StepFailure> PipeFlow::step(double dt, DuctEnd& inlet, DuctEnd& outlet)
{
    const std::size_t n = cellCount();
    reconstruct(dt);
    // The wave speeds from the sound speeds of the cells either side, worked out once a cell
    // rather than twice a face from the faces' own states.
    for (std::size_t face = 1; face < n; ++face) {
        const std::size_t left = face - 1;
        const std::size_t right = face;
        const Flux flux = hllcWithSoundSpeeds(
            {m_halfRho[left] + 0.5 * m_dRho[left], m_halfU[left] + 0.5 * m_dU[left], m_halfP[left] + 0.5 * m_dP[left]},
            m_c[left],
            {m_halfRho[right] - 0.5 * m_dRho[right], m_halfU[right] - 0.5 * m_dU[right],
             m_halfP[right] - 0.5 * m_dP[right]},
            m_c[right]);
        m_fluxMass[face] = flux.mass * m_faceArea[face];
        m_fluxMomentum[face] = flux.momentum * m_faceArea[face];
        m_fluxEnergy[face] = flux.energy * m_faceArea[face];
    }
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

    for (std::size_t i = 0; i < n; ++i) {
        const double rate = dt * m_inverseVolume[i];
        m_nextMass[i] = m_mass[i] + rate * (m_fluxMass[i] - m_fluxMass[i + 1]);
        m_nextMomentum[i] = m_momentum[i] + rate * (m_fluxMomentum[i] - m_fluxMomentum[i + 1] + m_halfP[i] * m_areaStep[i]);
        m_nextEnergy[i] = m_energy[i] + rate * (m_fluxEnergy[i] - m_fluxEnergy[i + 1]);
    }
    m_mass.swap(m_nextMass);
    m_momentum.swap(m_nextMomentum);
    m_energy.swap(m_nextEnergy);
    if (refreshPrimitives())
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
