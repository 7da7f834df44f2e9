// What the pipe's wall does to the gas in it: it drags on the gas and exchanges heat with it, at
// one temperature for the whole duct. Air's viscosity by Sutherland's law; Fanning's friction
// coefficient by Blasius's law in turbulent flow and 16/Re in laminar flow, which meet at
// criticalReynolds(); the heat by Reynolds's analogy as Colburn wrote it. Below the critical
// Reynolds number the laminar forms are written out, τ = 8μu/D and h = 8μ·cp·Pr^(−2/3)/D, which
// hold at u = 0 too: 16/Re itself would be infinite in still gas.
#pragma once

#include "waves/Gas.h"

namespace scaricometro::waves {

inline constexpr double kSutherlandConstant = 1.458e-6;  // Pa·s/√K
inline constexpr double kSutherlandTemperature = 110.4;  // K
inline constexpr double kBlasiusCoefficient = 0.0791;    // C_f = 0,0791·Re^(−1/4)
inline constexpr double kLaminarFriction = 16;           // C_f = 16/Re
inline constexpr double kPrandtl = 0.7;

// The Reynolds number at which Blasius's coefficient meets the laminar one: (16/0,0791)^(4/3).
[[nodiscard]] double criticalReynolds();
// c_p·Pr^(−2/3) (J/(kg·K)): the heat the analogy carries for the friction, per unit of C_f·ρ|u|/2.
[[nodiscard]] double colburnFactor();

}  // namespace scaricometro::waves
