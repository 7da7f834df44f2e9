// One engine speed run to its periodic state: the pipe starts still, and whole cycles (top dead
// centre to top dead centre) follow until the port's pressure has settled, as SettlingWatch
// judges it, or until kMostCycles.
#pragma once

#include "waves/CycleSettling.h"
#include "waves/Duct.h"
#include "waves/Engine.h"
#include "waves/PipeKernel.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <optional>
#include <variant>
#include <vector>

namespace scaricometro::waves {

inline constexpr int kMostCycles = 150;

// Everything a run needs: the duct, the engine, and the temperature of the still gas it starts from.
struct WaveSetup {
    Duct duct;
    Engine engine;
    double pipeTemperature = 0;  // K, and the wall's, whose gas carries sound at the wave speed typed
    // Whether the wall drags on the gas and exchanges heat with it.
    bool walls = true;
    VectorWidth vectors = defaultVectorWidth();
};

// Pressures (Pa) at every whole degree of one cycle, 0 to 360.
struct CycleTrace {
    PortTrace port{};
    // The cylinder's while the exhaust is open; NaN while it is closed, when the cylinder is not modelled.
    std::array<double, kTracePoints> cylinder{};
};

// The pressure all along the duct at every whole degree of the cycle: a wave diagram.
struct WaveDiagram {
    std::vector<double> cellCentresMm;
    std::vector<double> pressure;  // kTracePoints rows of cellCentresMm.size() values (Pa)

    [[nodiscard]] double at(std::size_t degree, std::size_t cell) const
    {
        return pressure[degree * cellCentresMm.size() + cell];
    }
};

struct RpmResult {
    double rpm = 0;
    Settling settling = Settling::Unsettled;
    int cycles = 0;
    // Mean port pressures (Pa) over the last two cycles: between transfer closing and exhaust
    // closing (the plug that holds the charge) and between transfer opening and closing (the
    // suction that scavenges).
    double plug = 0;
    double suction = 0;
    // The pipe's gas's temperature, mass-weighted over the duct and averaged over the last cycle's
    // whole degrees, and the speed of sound at that temperature.
    double meanTemperature = 0;  // K
    double meanSoundSpeed = 0;   // m/s
    double wallTemperature = 0;  // K; 0 where the wall takes no part
    // The last cycle; where two alternate, the one of the two with the higher plug.
    CycleTrace trace;
    std::optional<WaveDiagram> diagram;  // where asked for: the same cycle as the trace
    std::size_t cells = 0;
    long long cellUpdates = 0;  // cells times steps, for the benchmarks
};

// The wall's temperature (K) where it takes part in `setup`'s runs, else 0.
[[nodiscard]] inline double wallTemperatureOf(const WaveSetup& setup)
{
    return setup.walls ? setup.pipeTemperature : 0;
}

enum class BrokenQuantity { Density, Pressure };

// Where the flow broke down: a density or a pressure that would have gone to zero or below.
struct FlowFailure {
    double rpm = 0;
    BrokenQuantity quantity = BrokenQuantity::Pressure;
    bool inCylinder = false;
    double atMm = 0;  // from the port face, where not in the cylinder
    int cycle = 0;    // from 1
    double crankAngle = 0;
};

using RpmOutcome = std::variant<RpmResult, FlowFailure>;

// Runs `setup` at `rpm` to its periodic state. Stops early, with nothing, once `stop` is set
// (checked every cycle).
[[nodiscard]] std::optional<RpmOutcome> runAtRpm(const WaveSetup& setup, double rpm, bool withDiagram,
                                                 const std::atomic<bool>* stop = nullptr);

}  // namespace scaricometro::waves
