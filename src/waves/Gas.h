// The pipe's gas: one ideal gas everywhere, the atmosphere the pipe opens into, and the flow of
// that gas through an orifice, as the port between cylinder and pipe passes it.
#pragma once

#include <cmath>

namespace scaricometro::waves {

inline constexpr double kGamma = 1.4;
inline constexpr double kGasConstant = 287.0;                     // J/(kg·K)
inline constexpr double kAtmosphere = 101325.0;                   // Pa
inline constexpr double kHeatAtConstantPressure = kGamma * kGasConstant / (kGamma - 1);  // J/(kg·K)
inline constexpr double kPascalsPerBar = 1e5;

// The temperature at which the gas carries sound at `speed` (m/s).
[[nodiscard]] constexpr double temperatureForSoundSpeed(double speed)
{
    return speed * speed / (kGamma * kGasConstant);
}

// Density, velocity and pressure: the state as the equations of motion are written.
struct Primitive {
    double density = 0;   // kg/m³
    double velocity = 0;  // m/s
    double pressure = 0;  // Pa

    [[nodiscard]] double soundSpeed() const { return std::sqrt(kGamma * pressure / density); }
    [[nodiscard]] double temperature() const { return pressure / (density * kGasConstant); }
};

// What flows through a face each second: mass (kg/s), momentum (N) and energy (W); or the same
// per unit of area.
struct Flux {
    double mass = 0;
    double momentum = 0;
    double energy = 0;
};

// Where gas at rest at `upstreamPressure` and `upstreamTemperature` expands through an orifice of
// effective area `area` (m²) into `downstreamPressure`: the isentropic nozzle's mass flow (kg/s),
// choked once the pressure ratio falls below the critical one. No flow where the downstream
// pressure is the higher.
[[nodiscard]] double nozzleMassFlow(double upstreamPressure, double upstreamTemperature, double downstreamPressure,
                                    double area);

// The ratio of downstream to upstream pressure below which a nozzle is choked (0.5283 for 1.4).
[[nodiscard]] double criticalPressureRatio();

}  // namespace scaricometro::waves
