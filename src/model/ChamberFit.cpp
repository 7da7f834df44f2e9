#include "model/ChamberFit.h"

#include "model/FitSearch.h"
#include "model/NumberText.h"

#include <algorithm>
#include <cmath>

namespace scaricometro {
namespace {

// An angle's difference taken the short way round, −180 to 180.
double turnBetween(double a, double b)
{
    const double turned = withinTurn(a - b);
    return turned > 180 ? turned - 360 : turned;
}

double centreLineLength(const ChamberRoute& route)
{
    const std::vector<Vector3> points = route.centreLine();
    double length = 0;
    for (std::size_t i = 1; i < points.size(); ++i)
        length += norm(points[i] - points[i - 1]);
    return length;
}

// Why the nearest outlet found is not at the point: beyond the chamber's length, or further from
// the inlet than the outlet went, or nearer.
FitFailure positionFailure(const ChamberDevelopment& development, const FitAttempt& nearest, const FitTarget& target)
{
    FitFailure failure;
    failure.nearest = nearest.bends;
    const ChamberRoute route = ChamberRoute::trace(development, failure.nearest);
    failure.distanceMm = norm(target.point);
    failure.missMm = norm(route.outlet().point - target.point);
    const double length = centreLineLength(route);
    const double reached = norm(route.outlet().point);
    failure.reason = failure.distanceMm > reached ? FitFailure::Reason::TooFar : FitFailure::Reason::TooNear;
    failure.reachMm = failure.distanceMm > length ? length : reached;
    return failure;
}

}  // namespace

bool outletReaches(const ChamberRoute& route, const FitTarget& target)
{
    const RouteFrame& outlet = route.outlet();
    if (!(norm(outlet.point - target.point) <= kFitToleranceMm))
        return false;
    const Heading heading = headingOf(outlet.along);
    const bool upright = std::hypot(outlet.along.x, outlet.along.y) == 0;
    if (target.planDegrees && !upright && !(std::abs(turnBetween(heading.planDegrees, *target.planDegrees)) <= kFitToleranceDegrees))
        return false;
    return !target.riseDegrees || std::abs(heading.riseDegrees - *target.riseDegrees) <= kFitToleranceDegrees;
}

FitOutcome fitChamber(const ChamberDevelopment& development, const ChamberBends& bends, const FreeSections& free,
                      const FitTarget& target)
{
    const bool direction = target.planDegrees || target.riseDegrees;
    const FitAttempt best = searchFit(development, bends, free, target, direction);
    if (best.reaches) {
        FitSolution solution{best.bends, {}};
        for (std::size_t i = 0; i < kChamberSections.size(); ++i) {
            if (!free[i])
                continue;
            SectionBend& found = solution.bends[i];
            found.degrees = roundHalfEven(found.degrees, DecimalPlaces(kFitDecimals));
            found.plane = withinTurn(roundHalfEven(found.plane, DecimalPlaces(kFitDecimals)));
            if (found.degrees == 0)
                found = {0, bends[i].pieces, bends[i].plane};
            solution.piecesRaised[i] = found.pieces > std::clamp(bends[i].pieces, kFewestBendPieces, kMostBendPieces);
        }
        return solution;
    }
    if (!direction)
        return positionFailure(development, best, target);
    const FitAttempt placed = searchFit(development, bends, free, target, false);
    if (!placed.reaches)
        return positionFailure(development, placed, target);
    FitFailure failure;
    failure.reason = FitFailure::Reason::Direction;
    failure.nearest = best.bends;
    failure.distanceMm = norm(target.point);
    failure.missMm = norm(ChamberRoute::trace(development, failure.nearest).outlet().point - target.point);
    return failure;
}

}  // namespace scaricometro
