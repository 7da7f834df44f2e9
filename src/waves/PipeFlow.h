// The gas in the duct: the quasi-one-dimensional Euler equations with area change, solved by a
// conservative finite-volume scheme of second order, MUSCL-Hancock (primitive variables, minmod
// slopes) with the HLLC flux; the cells of equal length. The area's force on the gas, p·dA/dx,
// is taken as the cell's pressure on the walls between its faces, so gas at rest stays at rest to
// the last bit. What happens at each end is left to an end object.
#pragma once

#include "waves/Duct.h"
#include "waves/Gas.h"
#include "waves/PipeKernel.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace scaricometro::waves {

// Per unit of volume: mass, momentum and total energy.
struct Conserved {
    double mass = 0;
    double momentum = 0;
    double energy = 0;
};

[[nodiscard]] Conserved toConserved(const Primitive& state);
[[nodiscard]] Primitive toPrimitive(const Conserved& state);
// The flux per unit of area of gas in `state`.
[[nodiscard]] Flux physicalFlux(const Primitive& state);
// The HLLC approximate Riemann solver's flux per unit of area between two states.
[[nodiscard]] Flux hllcFlux(const Primitive& left, const Primitive& right);

enum class Side { Inlet, Outlet };

// What an end is told of the gas beside it, to give its face's flux for one step.
struct EndFace {
    Side side = Side::Inlet;
    Primitive face;      // the gas at the face half a step on, as the scheme reconstructs it
    Primitive cell;      // the end cell at the start of the step
    // The end cell's content at the end of the step, had this face carried nothing; with its volume
    // and the step, for an end that solves with the cell's state at the step's end.
    Conserved cellWithoutFace;
    double cellVolume = 0;  // m³
    double area = 0;        // m², of the face
    double dt = 0;          // s
};

class DuctEnd {
public:
    DuctEnd() = default;
    DuctEnd(const DuctEnd&) = default;
    DuctEnd& operator=(const DuctEnd&) = default;
    virtual ~DuctEnd() = default;
    // What flows through the face along the duct (from the inlet towards the outlet) during the
    // step, times the face's area. Null where the end's own state broke down.
    [[nodiscard]] virtual std::optional<Flux> flux(const EndFace& end) = 0;
};

// A closed end: the gas's pressure on it, and nothing through it.
class WallEnd : public DuctEnd {
public:
    [[nodiscard]] std::optional<Flux> flux(const EndFace& end) override;
};

// An end open to still air at `pressure`: gas leaving does so at that pressure, or choked at the
// speed of sound above it; gas drawn in comes from rest at that pressure and `temperature`.
class OpenEnd : public DuctEnd {
public:
    OpenEnd(double pressure, double temperature);
    [[nodiscard]] std::optional<Flux> flux(const EndFace& end) override;

private:
    double m_pressure;
    double m_soundSpeed;
};

class PipeFlow {
public:
    // `cells` cells of equal length along `duct`, all holding `initial`; the loops over them on
    // packs of `width`, which the processor must run.
    PipeFlow(const Duct& duct, std::size_t cells, const Primitive& initial,
             VectorWidth width = defaultVectorWidth());

    [[nodiscard]] std::size_t cellCount() const { return m_volume.size(); }
    [[nodiscard]] double cellLengthMm() const { return m_cellLengthMm; }
    [[nodiscard]] double cellCentreMm(std::size_t cell) const { return (static_cast<double>(cell) + 0.5) * m_cellLengthMm; }
    [[nodiscard]] double cellVolume(std::size_t cell) const { return m_volume[cell]; }
    [[nodiscard]] double faceArea(std::size_t face) const { return m_faceArea[face]; }

    [[nodiscard]] Primitive cell(std::size_t index) const;
    [[nodiscard]] double pressure(std::size_t cell) const { return m_p[cell]; }
    void setCell(std::size_t index, const Primitive& state);
    // The gas in the whole duct (kg, J).
    [[nodiscard]] double totalMass() const;
    [[nodiscard]] double totalEnergy() const;
    // The gas's temperature, mass-weighted over the duct (K).
    [[nodiscard]] double meanTemperature() const { return m_survey.massTemperature / m_survey.mass; }

    // From now on the wall drags on the gas and exchanges heat with it at `temperature` (K).
    void setWallTemperature(double temperature);

    // The longest step the Courant number allows.
    [[nodiscard]] double stableStep(double courant) const;

    enum class Failure { Density, Pressure, End };
    struct StepFailure {
        Failure what;
        std::size_t cell;  // for Density and Pressure
    };
    // Advances the gas by `dt` seconds; on a failure the state is left as it was at the start.
    [[nodiscard]] std::optional<StepFailure> step(double dt, DuctEnd& inlet, DuctEnd& outlet);

private:
    [[nodiscard]] PipeArrays arrays();
    bool refreshPrimitives();
    [[nodiscard]] EndFace endFace(Side side, double dt) const;

    const PipeKernel* m_kernel;
    double m_cellLengthMm;
    double m_cellLength;  // m
    std::vector<double> m_volume;  // per cell
    std::vector<double> m_inverseVolume;
    std::vector<double> m_faceArea;   // cells + 1 faces
    std::vector<double> m_areaStep;   // per cell: its right face's area less its left's
    std::vector<double> m_areaShare;  // the same over the cell's volume: (1/A)·dA/dx
    std::vector<double> m_wallDiameter;  // m, at the cell's centre
    std::vector<double> m_inverseWallDiameter;
    std::vector<double> m_wallShare;     // the wall's area over the cell's volume
    double m_wallTemperature = 0;        // 0: no exchange with the wall
    double m_criticalReynolds = 0;
    double m_colburnFactor = 0;
    double m_rootTemperaturePerSoundSpeed = 0;
    // The state, per unit of volume, and the next step's.
    std::vector<double> m_mass, m_momentum, m_energy;
    std::vector<double> m_nextMass, m_nextMomentum, m_nextEnergy;
    // The state's primitives, with the inverse density and the sound speed, and its fastest
    // signal |u| + c.
    std::vector<double> m_rho, m_inverseRho, m_u, m_p, m_c;
    PrimitivesSurvey m_survey;  // of the state as it is
    // Scratch for a step: the primitives' limited differences, the half-step state, the fluxes
    // times the faces' areas.
    std::vector<double> m_dRho, m_dU, m_dP;
    std::vector<double> m_halfRho, m_halfU, m_halfP;
    std::vector<double> m_fluxMass, m_fluxMomentum, m_fluxEnergy;
};

}  // namespace scaricometro::waves
