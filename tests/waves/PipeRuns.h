// What the tests of the duct's solver set up and run: ducts of given sections, still gas, and a
// run to a given time.
#pragma once

#include "waves/PipeFlow.h"

#include <QTest>

#include <algorithm>
#include <functional>
#include <variant>
#include <vector>

namespace scaricometro::waves {

inline Duct ductOf(std::vector<DuctSection> sections)
{
    return std::get<Duct>(Duct::fromSections(std::move(sections)));
}

inline Duct straightDuct(double lengthMm, double diameterMm)
{
    return ductOf({{0, 0, lengthMm, diameterMm, diameterMm}});
}

inline Primitive stillGas(double pressure, double temperature)
{
    return {pressure / (kGasConstant * temperature), 0, pressure};
}

// Runs until `time`, the last step cut to land on it; `before` is told each step's length before
// it is taken, `after` the time once it is.
inline void runUntil(PipeFlow& flow, double time, DuctEnd& inlet, DuctEnd& outlet,
                     const std::function<void(double dt)>& before = {},
                     const std::function<void(double now)>& after = {})
{
    double now = 0;
    while (now < time) {
        const double dt = std::min(flow.stableStep(0.8), time - now);
        if (before)
            before(dt);
        QVERIFY(!flow.step(dt, inlet, outlet));
        now += dt;
        if (after)
            after(now);
    }
}

}  // namespace scaricometro::waves
