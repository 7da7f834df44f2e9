// Random chambers for the tests of the route and of the model: bent every way there is.
#pragma once

#include "model/ChamberRoute.h"

#include <QRandomGenerator>

namespace scaricometro {

struct Chamber {
    ChamberDevelopment development;
    ChamberBends bends{};
};

// A random chamber, most of its sections bent, by up to 120° either way in 2 to 12 pieces, in
// planes anywhere round, some of them the side view's own.
inline Chamber randomChamber(QRandomGenerator& random)
{
    const double stroke = 20 + random.bounded(70.0);
    const double header = 15 + random.bounded(100.0);
    const ChamberDimensions dimensions = std::get<ChamberDimensions>(computeChamber({203, 510, 12000, stroke, header}));
    Chamber chamber{std::get<ChamberDevelopment>(developChamber(dimensions, random.bounded(3.0)))};
    constexpr double kRoundPlanes[] = {0, 90, 180, 270};
    for (SectionBend& bend : chamber.bends) {
        if (random.bounded(5) == 0)
            continue;
        bend.degrees = (1 + random.bounded(119.0)) * (random.bounded(2) ? 1 : -1);
        bend.pieces = kFewestBendPieces + static_cast<int>(random.bounded(kMostBendPieces - kFewestBendPieces + 1));
        bend.plane = random.bounded(3) == 0 ? kRoundPlanes[random.bounded(4)] : random.bounded(360.0);
    }
    return chamber;
}

}  // namespace scaricometro
