#include "waves/WallExchange.h"

#include <cmath>

namespace scaricometro::waves {

double criticalReynolds()
{
    return std::pow(kLaminarFriction / kBlasiusCoefficient, 4.0 / 3.0);
}

double colburnFactor()
{
    return kHeatAtConstantPressure * std::pow(kPrandtl, -2.0 / 3.0);
}

}  // namespace scaricometro::waves
