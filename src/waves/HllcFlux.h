// Toro's HLLC approximate Riemann solver, written once for a plain double and for a pack of them.
#pragma once

#include "waves/Gas.h"
#include "waves/Lanes.h"

namespace scaricometro::waves {
namespace {

inline constexpr double kEnergyPerPressure = 1 / (kGamma - 1);

template <typename T>
struct FaceFlux {
    T mass;
    T momentum;
    T energy;
};

// The form that writes the star states' flux through the star pressure,
// F* = (S*·(S·U − F) + S·p*·(0, 1, S*)) / (S − S*), with Davis's wave speeds from the sound speeds
// given. The outer speeds are held to 0 at the most, so that where all the waves run one way the
// star flux on that side is the upwind flux itself: one formula, no branch, for a pack of faces.
template <typename T>
FaceFlux<T> hllc(T rhoLeft, T uLeft, T pLeft, T cLeft, T rhoRight, T uRight, T pRight, T cRight)
{
    const T zero(0.0);
    const T sLeft = lanes::min(lanes::min(uLeft - cLeft, uRight - cRight), zero);
    const T sRight = lanes::max(lanes::max(uLeft + cLeft, uRight + cRight), zero);
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
}  // namespace scaricometro::waves
