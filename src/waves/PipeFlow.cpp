#include "waves/PipeFlow.h"

#include "waves/Lanes.h"

#include <algorithm>
#include <cmath>

namespace scaricometro::waves {
namespace {

constexpr double kEnergyPerPressure = 1 / (kGamma - 1);
constexpr double kMetresPerMm = 1e-3;

template <typename T>
T minmod(T a, T b)
{
    using std::abs;
    const T smaller = lanes::select(abs(a) < abs(b), a, b);
    return lanes::select(a * b > T(0.0), smaller, T(0.0));
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
// star flux on that side is the upwind flux itself: one formula, no branch, for a pack of faces.
template <typename T>
struct FaceFlux {
    T mass;
    T momentum;
    T energy;
};

template <typename T>
FaceFlux<T> hllc(T rhoLeft, T uLeft, T pLeft, T cLeft, T rhoRight, T uRight, T pRight, T cRight)
{
    using std::max;
    using std::min;
    const T zero(0.0);
    const T sLeft = min(min(uLeft - cLeft, uRight - cRight), zero);
    const T sRight = max(max(uLeft + cLeft, uRight + cRight), zero);
    const T mLeft = rhoLeft * (sLeft - uLeft);
    const T mRight = rhoRight * (sRight - uRight);
    const T sStar = (pRight - pLeft + mLeft * uLeft - mRight * uRight) / (mLeft - mRight);
    const auto fromLeft = sStar >= zero;
    const T density = lanes::select(fromLeft, rhoLeft, rhoRight);
    const T velocity = lanes::select(fromLeft, uLeft, uRight);
    const T pressure = lanes::select(fromLeft, pLeft, pRight);
    const T s = lanes::select(fromLeft, sLeft, sRight);
    const T starPressure = pressure + lanes::select(fromLeft, mLeft, mRight) * (sStar - velocity);
    const T momentum = density * velocity;
    const T energy = pressure * kEnergyPerPressure + 0.5 * momentum * velocity;
    const T share = 1.0 / (s - sStar);
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
    // The fastest signal |u| + c, and whether every density and pressure is above zero.
    lanes::Survey survey;
    lanes::forEach(0, cellCount(), [&]<typename T>(std::size_t i, T) {
        using std::abs;
        using std::sqrt;
        const T mass = lanes::load<T>(m_mass.data(), i);
        const T momentum = lanes::load<T>(m_momentum.data(), i);
        const T inverseDensity = 1.0 / mass;
        const T u = momentum * inverseDensity;
        const T p = (kGamma - 1) * (lanes::load<T>(m_energy.data(), i) - 0.5 * momentum * u);
        const T c = sqrt(kGamma * p * inverseDensity);
        lanes::store(m_rho.data(), i, mass);
        lanes::store(m_inverseRho.data(), i, inverseDensity);
        lanes::store(m_u.data(), i, u);
        lanes::store(m_p.data(), i, p);
        lanes::store(m_c.data(), i, c);
        survey.take(abs(u) + c, mass > T(0.0) && p > T(0.0));
    });
    m_fastestSignal = survey.largest();
    return survey.all();
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
    const auto predict = [&]<typename T>(std::size_t i, T dRho, T dU, T dP) {
        using std::abs;
        using std::min;
        const T rho = lanes::load<T>(m_rho.data(), i);
        const T u = lanes::load<T>(m_u.data(), i);
        const T p = lanes::load<T>(m_p.data(), i);
        // (1/A)·dA/dx over the cell, times half the step: the area's share in the predictor.
        const T area = 0.5 * dt * lanes::load<T>(m_areaShare.data(), i);
        const T halfRho = rho - half * (u * dRho + rho * dU) - area * rho * u;
        const T halfU = u - half * (u * dU + dP * lanes::load<T>(m_inverseRho.data(), i));
        const T halfP = p - half * (kGamma * p * dU + u * dP) - area * kGamma * p * u;
        const auto keeps = min(halfRho - 0.5 * abs(dRho), halfP - 0.5 * abs(dP)) > T(0.0);
        lanes::store(m_halfRho.data(), i, lanes::select(keeps, halfRho, rho));
        lanes::store(m_halfU.data(), i, lanes::select(keeps, halfU, u));
        lanes::store(m_halfP.data(), i, lanes::select(keeps, halfP, p));
        lanes::store(m_dRho.data(), i, lanes::select(keeps, dRho, T(0.0)));
        lanes::store(m_dU.data(), i, lanes::select(keeps, dU, T(0.0)));
        lanes::store(m_dP.data(), i, lanes::select(keeps, dP, T(0.0)));
    };
    const auto slope = [](const std::vector<double>& values, std::size_t i, auto kind) {
        using T = decltype(kind);
        const T here = lanes::load<T>(values.data(), i);
        return minmod(here - lanes::load<T>(values.data(), i - 1), lanes::load<T>(values.data(), i + 1) - here);
    };
    // The end cells keep their own state across them: first order at the ends.
    predict(0, 0.0, 0.0, 0.0);
    lanes::forEach(1, n - 1, [&]<typename T>(std::size_t i, T kind) {
        predict(i, slope(m_rho, i, kind), slope(m_u, i, kind), slope(m_p, i, kind));
    });
    predict(n - 1, 0.0, 0.0, 0.0);
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
    lanes::forEach(1, n, [&]<typename T>(std::size_t face, T) {
        const auto at = [face](const std::vector<double>& values, std::size_t back) {
            return lanes::load<T>(values.data(), face - back);
        };
        // The left cell's state at its right face, the right cell's at its left face.
        const FaceFlux<T> flux
            = hllc(at(m_halfRho, 1) + 0.5 * at(m_dRho, 1), at(m_halfU, 1) + 0.5 * at(m_dU, 1),
                   at(m_halfP, 1) + 0.5 * at(m_dP, 1), at(m_c, 1), at(m_halfRho, 0) - 0.5 * at(m_dRho, 0),
                   at(m_halfU, 0) - 0.5 * at(m_dU, 0), at(m_halfP, 0) - 0.5 * at(m_dP, 0), at(m_c, 0));
        const T area = at(m_faceArea, 0);
        lanes::store(m_fluxMass.data(), face, flux.mass * area);
        lanes::store(m_fluxMomentum.data(), face, flux.momentum * area);
        lanes::store(m_fluxEnergy.data(), face, flux.energy * area);
    });
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

    lanes::forEach(0, n, [&]<typename T>(std::size_t i, T) {
        const auto at = [i](const std::vector<double>& values, std::size_t ahead = 0) {
            return lanes::load<T>(values.data(), i + ahead);
        };
        const T rate = dt * at(m_inverseVolume);
        lanes::store(m_nextMass.data(), i, at(m_mass) + rate * (at(m_fluxMass) - at(m_fluxMass, 1)));
        lanes::store(m_nextMomentum.data(), i,
                     at(m_momentum) + rate * (at(m_fluxMomentum) - at(m_fluxMomentum, 1) + at(m_halfP) * at(m_areaStep)));
        lanes::store(m_nextEnergy.data(), i, at(m_energy) + rate * (at(m_fluxEnergy) - at(m_fluxEnergy, 1)));
    });
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
