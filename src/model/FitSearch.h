// The search behind fitChamber: from several starts, the bends of the free sections that bring
// the outlet to the target with the least sum of their squares, or as near as it comes.
#pragma once

#include "model/ChamberFit.h"

namespace scaricometro {

struct FitAttempt {
    ChamberBends bends;    // unrounded; the free sections' pieces raised where the bend needs it
    double squaredBends = 0;
    bool reaches = false;  // by outletReaches, the route traced
};

// The best attempt: the least bending among those that reach the target, or else the nearest to
// it. Without `withDirection` the target's direction is left free.
[[nodiscard]] FitAttempt searchFit(const ChamberDevelopment& development, const ChamberBends& bends,
                                   const FreeSections& free, const FitTarget& target, bool withDirection);

}  // namespace scaricometro
