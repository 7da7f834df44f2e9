// The exhaust port as the duct's inlet end, with the cylinder behind it. From opening to closing
// the cylinder is one uniform, adiabatic volume of still gas, which the port empties into the pipe
// or fills from it as a quasi-steady isentropic nozzle. The port is solved with the cylinder's
// and the first cell's states at the end of each step: coupled explicitly, it chatters.
#pragma once

#include "waves/Engine.h"
#include "waves/PipeFlow.h"

#include <cmath>
#include <limits>

namespace scaricometro::waves {

inline constexpr double kPortDischarge = 0.7;

class ExhaustPort : public DuctEnd {
public:
    // `pipeTemperature`: of the still gas the pipe starts with, which the cylinder's gas would
    // have once expanded to the atmosphere.
    ExhaustPort(const Engine& engine, double pipeTemperature);

    // The crank angles (degrees in the cycle) at the step's start and end.
    void setCrankAngles(double start, double end);
    [[nodiscard]] std::optional<Flux> flux(const EndFace& end) override;

    [[nodiscard]] bool open() const { return m_open; }
    // NaN while the port is closed.
    [[nodiscard]] double cylinderPressure() const
    {
        return m_open ? (kGamma - 1) * m_energy / m_volume : std::numeric_limits<double>::quiet_NaN();
    }
    [[nodiscard]] double massFlow() const { return m_massFlow; }  // kg/s out of the cylinder, last step

private:
    struct Trial;
    [[nodiscard]] Trial trial(double massFlow, const EndFace& end, double effectiveArea) const;
    [[nodiscard]] std::optional<Trial> solveMassFlow(const EndFace& end, double effectiveArea) const;

    const Engine& m_engine;
    double m_releaseTemperature;
    double m_startAngle = 0;
    double m_endAngle = 0;
    double m_endVolume = 0;  // the cylinder's at m_endAngle
    bool m_open = false;
    // The cylinder: its gas's mass (kg) and internal energy (J) in its volume (m³).
    double m_mass = 0;
    double m_energy = 0;
    double m_volume = 0;
    double m_massFlow = 0;
    double m_massFlowBefore = 0;  // the step before's
};

}  // namespace scaricometro::waves
