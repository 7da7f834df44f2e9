#include "model/ChamberFit.h"

#include "model/FitSearch.h"
#include "model/NumberText.h"
#include "model/Space.h"

#include <algorithm>
#include <cmath>

namespace scaricometro {
namespace {


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

// The direction is judged by the angle it is off: from the wanted axis where both angles are
// given, from the vertical half-plane of the wanted angle in plan where that alone is, so that an
// outlet pointing almost straight up is not held to an angle in plan it barely has.
bool outletReaches(const ChamberRoute& route, const FitTarget& target)
{
    const RouteFrame& outlet = route.outlet();
    if (!(norm(outlet.point - target.point) <= kFitToleranceMm))
        return false;
    const Vector3& along = outlet.along;
    if (target.planDegrees) {
        const double plan = *target.planDegrees * kDegree;
        const Vector3 side{-std::sin(plan), std::cos(plan), 0};
        const Vector3 ahead{std::cos(plan), std::sin(plan), 0};
        const double off = target.riseDegrees ? angleBetween(along, std::cos(*target.riseDegrees * kDegree) * ahead
                                                                        + Vector3{0, 0, std::sin(*target.riseDegrees * kDegree)})
                                              : std::asin(std::min(std::abs(dot(along, side)), 1.0));
        if (!(off <= kFitToleranceDegrees * kDegree) || (!target.riseDegrees && dot(along, ahead) < 0))
            return false;
    }
    return !target.riseDegrees || std::abs(headingOf(along).riseDegrees - *target.riseDegrees) <= kFitToleranceDegrees;
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
