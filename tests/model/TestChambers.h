// Chambers for the tests of the route, of the model and of its files: chosen ones and random
// ones, bent every way there is; and the volume that a mesh's triangles enclose.
#pragma once

#include "model/ChamberMesh.h"
#include "model/ChamberRoute.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cstdint>
#include <map>

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


inline const ChamberInputs kDefaultInputs{203, 510, 12000, 39.3, 29};

// The chamber of `inputs`, its sheet `thickness` thick, the sections named bent as given.
inline Chamber chamberOf(const ChamberInputs& inputs, double thickness, const std::map<std::size_t, SectionBend>& bends = {})
{
    const ChamberDimensions dimensions = std::get<ChamberDimensions>(computeChamber(inputs));
    Chamber chamber{std::get<ChamberDevelopment>(developChamber(dimensions, thickness))};
    for (const auto& [section, bend] : bends)
        chamber.bends[section] = bend;
    return chamber;
}

// Of the triangles from `firstTriangle` up to `endTriangle`, or of them all.
inline double signedVolume(const ChamberMesh& mesh, std::size_t firstTriangle = 0, std::size_t endTriangle = SIZE_MAX)
{
    double volume = 0;
    for (std::size_t i = firstTriangle; i < std::min(endTriangle, mesh.triangles().size()); ++i) {
        const auto& t = mesh.triangles()[i];
        volume += dot(mesh.vertices()[t[0]], cross(mesh.vertices()[t[1]], mesh.vertices()[t[2]])) / 6;
    }
    return volume;
}

}  // namespace scaricometro
