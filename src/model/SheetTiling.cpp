#include "model/SheetTiling.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace scaricometro {
namespace {

constexpr double kDegree = std::numbers::pi / 180;
// Turns tried, 0° first so that a tie keeps the pattern upright.
constexpr int kTurnStepDegrees = 5;
// Beyond this many places in a grid the count is not worth making: it cannot end under the limit.
constexpr double kMostGridPlaces = 100 * kMaxSheetsPerPattern;

Point onCircle(double radius, double degrees)
{
    return {radius * std::cos(degrees * kDegree), radius * std::sin(degrees * kDegree)};
}

struct Arc {
    double radius;
    double startDegrees;
    double sweepDegrees;

    [[nodiscard]] bool reaches(double degrees) const
    {
        const double past = std::fmod(std::fmod(degrees - startDegrees, 360) + 360, 360);
        return past <= sweepDegrees + 1e-9 || sweepDegrees >= 360;
    }
    [[nodiscard]] Point start() const { return onCircle(radius, startDegrees); }
    [[nodiscard]] Point end() const { return onCircle(radius, startDegrees + sweepDegrees); }
};

struct Outline {
    Arc outer;
    Arc inner;
};

Outline outlineOf(const AnnularSector& sector, double turnDegrees)
{
    const double start = sector.firstEdgeDegrees(turnDegrees);
    return {{sector.outerRadius, start, sector.angleDegrees}, {sector.innerRadius, start, sector.angleDegrees}};
}

double degreesOf(Point point)
{
    return std::atan2(point.y, point.x) / kDegree;
}

// Whether the circle arc meets the rectangle: an end lies inside it, or the arc crosses a side.
bool arcCrosses(const Arc& arc, const Rect& area)
{
    if (area.contains(arc.start()) || area.contains(arc.end()))
        return true;
    const auto crossesAt = [&](Point point) { return area.contains(point) && arc.reaches(degreesOf(point)); };
    for (double x : {area.left, area.right()}) {
        if (std::abs(x) > arc.radius)
            continue;
        const double y = std::sqrt(arc.radius * arc.radius - x * x);
        if (crossesAt({x, y}) || crossesAt({x, -y}))
            return true;
    }
    for (double y : {area.top, area.bottom()}) {
        if (std::abs(y) > arc.radius)
            continue;
        const double x = std::sqrt(arc.radius * arc.radius - y * y);
        if (crossesAt({x, y}) || crossesAt({-x, y}))
            return true;
    }
    return false;
}

// Liang and Barsky's clipping: whether any part of the segment from a to b lies in the rectangle.
bool segmentCrosses(Point a, Point b, const Rect& area)
{
    double enter = 0;
    double leave = 1;
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double steps[4][2] = {
        {-dx, a.x - area.left}, {dx, area.right() - a.x}, {-dy, a.y - area.top}, {dy, area.bottom() - a.y}};
    for (const auto& [toward, room] : steps) {
        if (toward == 0) {
            if (room < 0)
                return false;
            continue;
        }
        const double at = room / toward;
        if (toward < 0)
            enter = std::max(enter, at);
        else
            leave = std::min(leave, at);
        if (enter > leave)
            return false;
    }
    return true;
}

void include(Rect& box, Point point)
{
    const double right = std::max(box.right(), point.x);
    const double bottom = std::max(box.bottom(), point.y);
    box.left = std::min(box.left, point.x);
    box.top = std::min(box.top, point.y);
    box.width = right - box.left;
    box.height = bottom - box.top;
}

// The outline's box: the arcs' ends, and wherever an arc passes a compass point.
Rect boundsOf(const Outline& outline)
{
    Rect box{outline.outer.start().x, outline.outer.start().y, 0, 0};
    for (const Arc& arc : {outline.outer, outline.inner}) {
        include(box, arc.start());
        include(box, arc.end());
        for (double compass : {0.0, 90.0, 180.0, 270.0}) {
            if (arc.reaches(compass))
                include(box, onCircle(arc.radius, compass));
        }
    }
    return box;
}

// How many sheets of `size`, overlapping by `overlap`, cover `length` side by side.
double sheetsAlong(double length, double size, double overlap)
{
    return length <= size ? 1 : std::ceil((length - overlap) / (size - overlap));
}

std::optional<TilePlan> planFor(const AnnularSector& sector, double turnDegrees, std::size_t option,
                                const SheetArea& area, double overlap)
{
    const Rect bounds = boundsOf(outlineOf(sector, turnDegrees));
    const double columns = sheetsAlong(bounds.width, area.width, overlap);
    const double rows = sheetsAlong(bounds.height, area.height, overlap);
    if (!(columns * rows <= kMostGridPlaces))
        return std::nullopt;

    TilePlan plan;
    plan.turnDegrees = turnDegrees;
    plan.areaOption = option;
    plan.columns = static_cast<int>(columns);
    plan.rows = static_cast<int>(rows);
    // The grid is centred on the pattern, so the spare paper is shared out on every side.
    const double stepX = area.width - overlap;
    const double stepY = area.height - overlap;
    const double left = bounds.left - (columns * stepX + overlap - bounds.width) / 2;
    const double top = bounds.top - (rows * stepY + overlap - bounds.height) / 2;
    for (int row = 0; row < plan.rows; ++row) {
        for (int column = 0; column < plan.columns; ++column) {
            const Rect place{left + column * stepX, top + row * stepY, area.width, area.height};
            if (outlineCrosses(sector, turnDegrees, place))
                plan.sheets.push_back({row, column, place});
        }
    }
    return plan;
}

}  // namespace

double AnnularSector::outerChord() const
{
    return 2 * outerRadius * std::sin(angleDegrees / 2 * kDegree);
}

double AnnularSector::firstEdgeDegrees(double turnDegrees) const
{
    return -90 - angleDegrees / 2 + turnDegrees;
}

double AnnularSector::lastEdgeDegrees(double turnDegrees) const
{
    return firstEdgeDegrees(turnDegrees) + angleDegrees;
}

double AnnularSector::outlineLength() const
{
    const double sweep = angleDegrees * kDegree;
    return (outerRadius + innerRadius) * sweep + 2 * (outerRadius - innerRadius);
}

Point AnnularSector::outlinePoint(double fraction, double turnDegrees) const
{
    const double sweep = angleDegrees * kDegree;
    const double edge = outerRadius - innerRadius;
    const double first = firstEdgeDegrees(turnDegrees);
    const double last = lastEdgeDegrees(turnDegrees);
    double along = std::clamp(fraction, 0.0, 1.0) * outlineLength();

    if (const double outerArc = outerRadius * sweep; along <= outerArc)
        return onCircle(outerRadius, first + angleDegrees * (outerArc > 0 ? along / outerArc : 0));
    along -= outerRadius * sweep;
    if (along <= edge)
        return onCircle(outerRadius - along, last);
    along -= edge;
    if (const double innerArc = innerRadius * sweep; along <= innerArc)
        return onCircle(innerRadius, last - angleDegrees * (innerArc > 0 ? along / innerArc : 0));
    along -= innerRadius * sweep;
    return onCircle(innerRadius + std::min(along, edge), first);
}

const Sheet* TilePlan::sheetAt(int row, int column) const
{
    const auto found = std::find_if(sheets.begin(), sheets.end(),
                                    [&](const Sheet& sheet) { return sheet.row == row && sheet.column == column; });
    return found == sheets.end() ? nullptr : &*found;
}

bool outlineCrosses(const AnnularSector& sector, double turnDegrees, const Rect& area)
{
    const Outline outline = outlineOf(sector, turnDegrees);
    return arcCrosses(outline.outer, area) || arcCrosses(outline.inner, area)
        || segmentCrosses(outline.inner.start(), outline.outer.start(), area)
        || segmentCrosses(outline.inner.end(), outline.outer.end(), area);
}

std::optional<TilePlan> planSheets(const AnnularSector& sector, std::span<const SheetArea> areas, double overlap)
{
    std::optional<TilePlan> best;
    for (int turn = 0; turn < 360; turn += kTurnStepDegrees) {
        for (std::size_t option = 0; option < areas.size(); ++option) {
            std::optional<TilePlan> plan = planFor(sector, turn, option, areas[option], overlap);
            if (plan && (!best || plan->sheets.size() < best->sheets.size()))
                best = std::move(plan);
        }
    }
    if (!best || best->sheets.size() > kMaxSheetsPerPattern)
        return std::nullopt;
    return best;
}

}  // namespace scaricometro
