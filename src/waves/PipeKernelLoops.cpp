// The solver's loops, compiled once for each instruction set; the build names the kernel that
// this compilation defines (SCARICOMETRO_PIPE_KERNEL) and sets the instruction set.
#include "waves/HllcFlux.h"
#include "waves/PipeKernel.h"
#include "waves/WallExchange.h"

#include <utility>

#ifndef SCARICOMETRO_PIPE_KERNEL
#error "the build names the kernel this compilation defines"
#endif

namespace scaricometro::waves {
namespace {

// ρ|u|D (kg/(m·s)) is held at this at the least in the wall's terms: far below any flow, far above
// the smallest normal number once multiplied by T + Tₛ.
constexpr double kLeastWallFlow = 1e-290;

template <typename T>
T minmod(T a, T b)
{
    const T smaller = lanes::select(lanes::abs(a) < lanes::abs(b), a, b);
    return lanes::select(a * b > T(0.0), smaller, T(0.0));
}

// What the primitives of every cell tell of the whole duct.
struct Survey {
    lanes::Survey signal;
    lanes::Sum mass;
    lanes::Sum pressureVolume;

    [[nodiscard]] PrimitivesSurvey total() const
    {
        return {signal.largest(), signal.all(), mass.total(), pressureVolume.total() / kGasConstant};
    }
};

// The primitives of the state at `i`, kept with the inverse density and the sound speed.
template <typename T>
[[gnu::always_inline]] inline void storePrimitives(const PipeArrays& a, std::size_t i, T mass, T momentum, T energy,
                                                   Survey& survey)
{
    const T inverseDensity = 1.0 / mass;
    const T u = momentum * inverseDensity;
    const T p = (kGamma - 1) * (energy - 0.5 * momentum * u);
    const T c = lanes::sqrt(kGamma * p * inverseDensity);
    lanes::store(a.rho, i, mass);
    lanes::store(a.inverseRho, i, inverseDensity);
    lanes::store(a.u, i, u);
    lanes::store(a.p, i, p);
    lanes::store(a.c, i, c);
    survey.signal.take(lanes::abs(u) + c, mass > T(0.0) && p > T(0.0));
    const T volume = lanes::load<T>(a.volume, i);
    survey.mass.add(mass * volume);
    survey.pressureVolume.add(p * volume);
}

PrimitivesSurvey primitives(const PipeArrays& a)
{
    Survey survey;
    lanes::forEach(0, a.cells, [&]<typename T>(std::size_t i, T) {
        storePrimitives(a, i, lanes::load<T>(a.mass, i), lanes::load<T>(a.momentum, i), lanes::load<T>(a.energy, i),
                        survey);
    });
    return survey.total();
}

// The state half a step on from the quasi-linear equations with their area terms. A cell whose
// faces would come out without density or pressure falls back to its own state, first order.
void predict(const PipeArrays& a, double dt)
{
    const std::size_t n = a.cells;
    const double half = dt / (2 * a.cellLength);
    const auto predictCell = [&]<typename T>(std::size_t i, T dRho, T dU, T dP) {
        const T rho = lanes::load<T>(a.rho, i);
        const T u = lanes::load<T>(a.u, i);
        const T p = lanes::load<T>(a.p, i);
        // (1/A)·dA/dx over the cell, times half the step: the area's share in the predictor.
        const T area = 0.5 * dt * lanes::load<T>(a.areaShare, i);
        const T halfRho = rho - half * (u * dRho + rho * dU) - area * rho * u;
        const T halfU = u - half * (u * dU + dP * lanes::load<T>(a.inverseRho, i));
        const T halfP = p - half * (kGamma * p * dU + u * dP) - area * kGamma * p * u;
        const auto keeps = lanes::min(halfRho - 0.5 * lanes::abs(dRho), halfP - 0.5 * lanes::abs(dP)) > T(0.0);
        lanes::store(a.halfRho, i, lanes::select(keeps, halfRho, rho));
        lanes::store(a.halfU, i, lanes::select(keeps, halfU, u));
        lanes::store(a.halfP, i, lanes::select(keeps, halfP, p));
        lanes::store(a.dRho, i, lanes::select(keeps, dRho, T(0.0)));
        lanes::store(a.dU, i, lanes::select(keeps, dU, T(0.0)));
        lanes::store(a.dP, i, lanes::select(keeps, dP, T(0.0)));
    };
    const auto slope = [](const double* values, std::size_t i, auto kind) {
        using T = decltype(kind);
        const T here = lanes::load<T>(values, i);
        return minmod(here - lanes::load<T>(values, i - 1), lanes::load<T>(values, i + 1) - here);
    };
    // The end cells keep their own state across them: first order at the ends.
    predictCell(0, 0.0, 0.0, 0.0);
    lanes::forEach(1, n - 1, [&]<typename T>(std::size_t i, T kind) {
        predictCell(i, slope(a.rho, i, kind), slope(a.u, i, kind), slope(a.p, i, kind));
    });
    predictCell(n - 1, 0.0, 0.0, 0.0);
}

// The wave speeds from the sound speeds of the cells either side, worked out once a cell rather
// than twice a face from the faces' own states.
void innerFluxes(const PipeArrays& a)
{
    lanes::forEach(1, a.cells, [&]<typename T>(std::size_t face, T) {
        const auto at = [face](const double* values, std::size_t back) { return lanes::load<T>(values, face - back); };
        // The left cell's state at its right face, the right cell's at its left face.
        const FaceFlux<T> flux
            = hllc(at(a.halfRho, 1) + 0.5 * at(a.dRho, 1), at(a.halfU, 1) + 0.5 * at(a.dU, 1),
                   at(a.halfP, 1) + 0.5 * at(a.dP, 1), at(a.c, 1), at(a.halfRho, 0) - 0.5 * at(a.dRho, 0),
                   at(a.halfU, 0) - 0.5 * at(a.dU, 0), at(a.halfP, 0) - 0.5 * at(a.dP, 0), at(a.c, 0));
        const T area = at(a.faceArea, 0);
        lanes::store(a.fluxMass, face, flux.mass * area);
        lanes::store(a.fluxMomentum, face, flux.momentum * area);
        lanes::store(a.fluxEnergy, face, flux.energy * area);
    });
}

// The wall's drag on a cell's gas (momentum per unit of volume and time, against the flow) and the
// heat it gives the gas (energy per unit of volume and time), from the cell's state.
template <typename T>
[[gnu::always_inline]] inline std::pair<T, T> wallRates(const PipeArrays& a, std::size_t i, T rho, T u, T c)
{
    // T = c²/(γR), so √T = c/√(γR): the sound speed the step started from spares a square root.
    const T rootTemperature = c * a.rootTemperaturePerSoundSpeed;
    const T temperature = rootTemperature * rootTemperature;
    const T diameter = lanes::load<T>(a.wallDiameter, i);
    const T speed = lanes::abs(u);
    // μ = S·T√T/(T + Tₛ) and 1/Re = μ/(ρ|u|D) from one division: 1/((T + Tₛ)·ρ|u|D), the flow rate
    // held above zero so that in still gas, where the laminar forms are taken, it stays finite,
    // and μ comes back whole as that times ρ|u|D.
    const T flow = lanes::max(rho * speed * diameter, T(kLeastWallFlow));
    const T shared = 1.0 / ((temperature + kSutherlandTemperature) * flow);
    const T sutherland = kSutherlandConstant * temperature * rootTemperature;
    const T inverseReynolds = sutherland * shared;
    const T laminarBeyond(1.0 / a.criticalReynolds);
    // Blasius's coefficient from 1/Re held at the critical one's at the most, so that the lanes
    // that take the laminar forms work out nothing that does not matter.
    const T blasius = kBlasiusCoefficient * lanes::sqrt(lanes::sqrt(lanes::min(inverseReynolds, laminarBeyond)));
    // τ = this × u, and h = this × c_p·Pr^(−2/3): C_f·ρ|u|/2 turbulent, 8μ/D laminar.
    const T perVelocity = lanes::select(inverseReynolds <= laminarBeyond, 0.5 * blasius * rho * speed,
                                        8.0 * sutherland * (shared * flow) * lanes::load<T>(a.inverseWallDiameter, i));
    const T share = lanes::load<T>(a.wallShare, i);
    return {-perVelocity * u * share,
            perVelocity * a.colburnFactor * (a.wallTemperature - temperature) * share};
}

template <bool Walls>
PrimitivesSurvey advanceWith(const PipeArrays& a, double dt)
{
    Survey survey;
    lanes::forEach(0, a.cells, [&]<typename T>(std::size_t i, T) {
        const auto at = [i](const double* values, std::size_t ahead = 0) { return lanes::load<T>(values, i + ahead); };
        const T rate = dt * at(a.inverseVolume);
        const T mass = at(a.mass) + rate * (at(a.fluxMass) - at(a.fluxMass, 1));
        T momentum = at(a.momentum) + rate * (at(a.fluxMomentum) - at(a.fluxMomentum, 1) + at(a.halfP) * at(a.areaStep));
        T energy = at(a.energy) + rate * (at(a.fluxEnergy) - at(a.fluxEnergy, 1));
        if constexpr (Walls) {
            const auto [drag, heat] = wallRates(a, i, at(a.rho), at(a.u), at(a.c));
            momentum = momentum + dt * drag;
            energy = energy + dt * heat;
        }
        lanes::store(a.nextMass, i, mass);
        lanes::store(a.nextMomentum, i, momentum);
        lanes::store(a.nextEnergy, i, energy);
        storePrimitives(a, i, mass, momentum, energy, survey);
    });
    return survey.total();
}

PrimitivesSurvey advance(const PipeArrays& a, double dt)
{
    return a.wallTemperature > 0 ? advanceWith<true>(a, dt) : advanceWith<false>(a, dt);
}

}  // namespace

extern const PipeKernel SCARICOMETRO_PIPE_KERNEL;
const PipeKernel SCARICOMETRO_PIPE_KERNEL{&primitives, &predict, &innerFluxes, &advance};

}  // namespace scaricometro::waves
