#include "waves/Gas.h"

#include <algorithm>

namespace scaricometro::waves {

double criticalPressureRatio()
{
    static const double ratio = std::pow(2 / (kGamma + 1), kGamma / (kGamma - 1));
    return ratio;
}

double nozzleMassFlow(double upstreamPressure, double upstreamTemperature, double downstreamPressure, double area)
{
    if (downstreamPressure >= upstreamPressure || area <= 0)
        return 0;
    const double ratio = std::max(downstreamPressure / upstreamPressure, criticalPressureRatio());
    // ṁ = A·p0·√(2γ/((γ−1)·R·T0)·(r^(2/γ) − r^((γ+1)/γ))), with r held at the critical ratio once choked.
    const double rootOfRatio = std::pow(ratio, 1 / kGamma);
    const double flowFunction = rootOfRatio * rootOfRatio - ratio * rootOfRatio;
    return area * upstreamPressure
        * std::sqrt(2 * kGamma / ((kGamma - 1) * kGasConstant * upstreamTemperature) * flowFunction);
}

}  // namespace scaricometro::waves
