// The engine behind the port: its crank train, its cylinder's volume, and when and how far its
// exhaust port and transfers are open, crank angle θ in degrees after top dead centre.
#pragma once

#include "model/ChamberModel.h"

#include <optional>
#include <variant>

namespace scaricometro::waves {

// What the tuner types about his engine besides the window's five figures.
struct EngineFigures {
    double boreMm = 40;
    double rodMm = 85;  // centre to centre
    double compressionRatio = 12;
    double portWidthMm = 28;
    double transferDuration = 130;  // degrees
    double releasePressureBar = 5;  // absolute, in the cylinder as the exhaust opens
};

// Why the figures make no engine, each naming the figure to mend.
enum class EngineRefusal {
    ExhaustDurationOutOfRange,    // "Gradi Scarico" not above 0 and below 360
    WaveSpeedOutOfRange,          // "Velocità onda sonica" outside kSlowestWave ... kFastestWave
    RpmOutOfRange,                // "Giri/min massimi" outside kLowestRpm ... kHighestRpm
    StrokeNotPositive,            // "Corsa motore"
    BoreNotPositive,              // Alesaggio
    RodNotLongerThanCrank,        // Biella no longer than half the stroke
    CompressionRatioNotAboveOne,  // Rapporto di compressione
    PortWidthNotPositive,         // Larghezza luce di scarico
    PortWiderThanBore,            // Larghezza luce di scarico wider than Alesaggio
    TransferDurationNotPositive,  // Gradi travasi
    TransferLongerThanExhaust,    // Gradi travasi above Gradi Scarico
    ReleaseNotAboveAtmosphere,    // Pressione allo scarico not above kAtmosphere
};

// The engine speeds the analysis is made for: below, a run of cycles takes minutes; above, no
// two-stroke turns.
inline constexpr double kLowestRpm = 1000;
inline constexpr double kHighestRpm = 40000;
// The speeds of sound the pipe's gas can have, from cold air to the hottest exhaust; a faster one
// would shorten every step until one run took hours.
inline constexpr double kSlowestWave = 200;   // m/s
inline constexpr double kFastestWave = 1500;  // m/s

// The crank angles at which the ports open and close, and bottom dead centre.
struct PortTiming {
    double exhaustOpens = 0;   // EO
    double transfersOpen = 0;  // TO
    double bottomDeadCentre = 180;
    double transfersClose = 0;  // TC
    double exhaustCloses = 0;   // EC
};

class Engine {
public:
    // The engine of these figures, or the first figure (in the order of EngineRefusal) that makes none.
    [[nodiscard]] static std::variant<Engine, EngineRefusal> make(const ChamberInputs& window,
                                                                  const EngineFigures& figures);

    [[nodiscard]] const PortTiming& timing() const { return m_timing; }
    [[nodiscard]] double rpm() const { return m_rpm; }
    [[nodiscard]] double strokeM() const { return m_stroke; }
    [[nodiscard]] double releasePressure() const { return m_release; }  // Pa

    // How far the piston is below top dead centre (m).
    [[nodiscard]] double pistonDrop(double crankAngle) const;
    // The cylinder's volume above the piston (m³).
    [[nodiscard]] double cylinderVolume(double crankAngle) const;
    // The exhaust port's open area (m²), before any discharge coefficient.
    [[nodiscard]] double portArea(double crankAngle) const;
    [[nodiscard]] bool exhaustOpen(double crankAngle) const;

private:
    Engine() = default;
    double m_rpm = 0;
    double m_stroke = 0;
    double m_rod = 0;
    double m_pistonArea = 0;
    double m_clearanceVolume = 0;
    double m_portWidth = 0;
    double m_release = 0;
    double m_dropAtOpening = 0;
    PortTiming m_timing;
};

}  // namespace scaricometro::waves
