// The formulas of the chamber model, with their constants written exactly as the tuners' tables
// give them.
#include "model/ChamberModel.h"

#include <cmath>

namespace scaricometro {
namespace {

constexpr int kTotalLengthDivisor = 11;
constexpr int kBellyAreaFactor = 14;
constexpr double kTailpipeDiameterRatio = 0.65;
constexpr double kFirstConeEndRatio = 1.6;
constexpr int kHeaderStrokeFactor = 2;
constexpr double kHeaderOffset = 23.6;
constexpr int kFirstConeLengthRatio = 7;
constexpr double kSecondConeSlope = 5.39551;      // cot 10.5°, to five places
constexpr double kConvergentConeSlope = 3.86671;  // cot 14.5°, to five places
constexpr int kConeHalfDifferenceDivisor = 2;
constexpr int kTailpipeLengthRatio = 13;

bool allFinite(const ChamberDimensions& d)
{
    for (double value : {d.L1, d.L2, d.L3, d.L4, d.L5, d.L6, d.D1, d.D2, d.D3, d.D4, d.totalLength}) {
        if (!std::isfinite(value))
            return false;
    }
    return true;
}

}  // namespace

ChamberOutcome computeChamber(const ChamberInputs& in)
{
    if (in.maxRpm == 0)
        return ChamberFailure::ZeroMaxRpm;

    // The order of the steps and of the factors inside each step is part of the result: it
    // decides the last bit, and so a rounding tie when the figure is shown.
    const double d = in.headerDiameter;
    ChamberDimensions out;
    out.totalLength = (in.exhaustDuration * in.waveSpeed) / (in.maxRpm * kTotalLengthDivisor);
    out.D3 = std::sqrt((d * d) * kBellyAreaFactor);
    out.D4 = d * kTailpipeDiameterRatio;
    out.D2 = d * kFirstConeEndRatio;
    out.L1 = (in.stroke * kHeaderStrokeFactor) - kHeaderOffset;
    out.L2 = d * kFirstConeLengthRatio;
    out.L3 = ((out.D3 - out.D2) * kSecondConeSlope) / kConeHalfDifferenceDivisor;
    out.L4 = out.L1 - (out.L2 - out.L3);
    out.L5 = ((out.D3 - out.D4) * kConvergentConeSlope) / kConeHalfDifferenceDivisor;
    out.L6 = out.D4 * kTailpipeLengthRatio;
    out.D1 = d;

    if (!allFinite(out))
        return ChamberFailure::ResultOutOfRange;
    return out;
}

}  // namespace scaricometro
