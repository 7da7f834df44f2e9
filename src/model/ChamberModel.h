// The chamber dimension model: the empirical formulas that turn five engine figures into the
// lengths and diameters of a two-stroke exhaust expansion chamber.
#pragma once

#include <variant>

namespace scaricometro {

struct ChamberInputs {
    double exhaustDuration = 0;  // E: exhaust port timing, degrees of crank rotation
    double waveSpeed = 0;        // V: speed of the sonic wave in the pipe
    double maxRpm = 0;           // N: maximum revolutions per minute
    double stroke = 0;           // S: engine stroke, mm
    double headerDiameter = 0;   // d: inner diameter of the exhaust header, mm

    [[nodiscard]] bool operator==(const ChamberInputs&) const = default;
};

// Sections from the cylinder outwards: header pipe (L1), first and second divergent cone (L2, L3),
// belly (L4), convergent cone (L5), tailpipe (L6); D1 to D4 are the diameters at their junctions.
struct ChamberDimensions {
    double L1 = 0;
    double L2 = 0;
    double L3 = 0;
    double L4 = 0;
    double L5 = 0;
    double L6 = 0;
    double D1 = 0;
    double D2 = 0;
    double D3 = 0;
    double D4 = 0;
    // (E × V) ÷ (N × 11): a figure of its own, not the sum of L1 to L6, and not in millimetres.
    double totalLength = 0;

    [[nodiscard]] bool operator==(const ChamberDimensions&) const = default;
};

enum class ChamberFailure {
    ZeroMaxRpm,        // the total length would divide by zero
    ResultOutOfRange,  // some result is not a finite double
};

// Exactly one of the two: the dimensions, or why there are none.
using ChamberOutcome = std::variant<ChamberDimensions, ChamberFailure>;

// Pure and exact: every operation is evaluated in a fixed order, so results are bit-identical
// everywhere. Negative results (a short stroke, a long first cone) are returned unchanged.
[[nodiscard]] ChamberOutcome computeChamber(const ChamberInputs& inputs);

}  // namespace scaricometro
