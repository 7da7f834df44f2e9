// The chamber fitted to the bike: the bend and the plane of each section allowed to bend that bring
// the outlet's centre onto a wanted point, and where asked its axis the wanted way, bending as
// little as possible: the least sum of the squares of the bends. Each section is cut into the
// pieces given, or, where those cannot take the bend, into the fewest that can. The outlet is where
// ChamberRoute::trace puts it; the search only asks the route.
#pragma once

#include "model/ChamberRoute.h"

#include <array>
#include <optional>
#include <variant>

namespace scaricometro {

// How near the outlet must come to the point, and to the direction, for the bends to be found.
inline constexpr double kFitToleranceMm = 0.05;
inline constexpr double kFitToleranceDegrees = 0.05;
// The bends and planes found are rounded to as many decimals, so that they can be typed back.
inline constexpr int kFitDecimals = 4;

using FreeSections = std::array<bool, kChamberSections.size()>;

// Where the outlet's centre is wanted, in the route's frame, and optionally which way its axis is to
// point, as headingOf words it: the angle in plan from X towards Y, and the rise above the XY plane.
struct FitTarget {
    Vector3 point;
    std::optional<double> planDegrees;
    std::optional<double> riseDegrees;
};

struct FitSolution {
    ChamberBends bends;            // the free sections' as found, the others' as given
    FreeSections piecesRaised{};   // where the pieces given could not take the bend found
};

struct FitFailure {
    enum class Reason {
        TooFar,     // further from the inlet than the chamber reaches
        TooNear,    // nearer than the free sections fold the chamber
        Direction,  // the point can be reached, but not with the outlet pointing the way wanted
    };
    Reason reason = Reason::TooFar;
    double distanceMm = 0;  // of the point from the inlet's centre
    double reachMm = 0;     // TooFar: the furthest the outlet was found to go
    double missMm = 0;      // how far from the point the nearest outlet found is
    ChamberBends nearest;   // the bends of that outlet
};

using FitOutcome = std::variant<FitSolution, FitFailure>;

// `bends` are kept for the sections not free; a free section of no length stays straight.
[[nodiscard]] FitOutcome fitChamber(const ChamberDevelopment& development, const ChamberBends& bends,
                                    const FreeSections& free, const FitTarget& target);

// Whether the route's outlet is within the tolerances of the target.
[[nodiscard]] bool outletReaches(const ChamberRoute& route, const FitTarget& target);

}  // namespace scaricometro
