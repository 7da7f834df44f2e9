#include "model/SheetTiling.h"

#include "model/Space.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace scaricometro {
namespace {

// Turns tried, 0° first so that a tie keeps the pattern upright.
constexpr int kTurnStepDegrees = 5;
// Beyond this many places in a grid the count is not worth making: it cannot end under the limit.
constexpr double kMostGridPlaces = 100 * kMaxSheetsPerPattern;

double degreesOf(Point point)
{
    return std::atan2(point.y, point.x) / kDegree;
}

// Whether the circle arc meets the rectangle: an end lies inside it, or the arc crosses a side.
bool arcCrosses(Point from, Point to, const CircleArc& arc, const Rect& area)
{
    if (area.contains(from) || area.contains(to))
        return true;
    const Point centre = arc.centre;
    const auto crossesAt = [&](Point point) {
        return area.contains(point) && arc.reaches(degreesOf({point.x - centre.x, point.y - centre.y}));
    };
    for (double x : {area.left - centre.x, area.right() - centre.x}) {
        if (std::abs(x) > arc.radius)
            continue;
        const double y = std::sqrt(arc.radius * arc.radius - x * x);
        if (crossesAt({centre.x + x, centre.y + y}) || crossesAt({centre.x + x, centre.y - y}))
            return true;
    }
    for (double y : {area.top - centre.y, area.bottom() - centre.y}) {
        if (std::abs(y) > arc.radius)
            continue;
        const double x = std::sqrt(arc.radius * arc.radius - y * y);
        if (crossesAt({centre.x + x, centre.y + y}) || crossesAt({centre.x - x, centre.y + y}))
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

// How many sheets of `size`, overlapping by `overlap`, cover `length` side by side.
double sheetsAlong(double length, double size, double overlap)
{
    return length <= size ? 1 : std::ceil((length - overlap) / (size - overlap));
}

Rect boundsOf(std::span<const PartOutline> pattern)
{
    Rect box = pattern.front().bounds();
    for (const PartOutline& outline : pattern.subspan(1))
        box = box.united(outline.bounds());
    return box;
}

std::optional<TilePlan> planFor(std::span<const PartOutline> turned, double turnDegrees, std::size_t option,
                                const SheetArea& area, double overlap)
{
    const Rect bounds = boundsOf(turned);
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
            if (std::any_of(turned.begin(), turned.end(), [&](const PartOutline& outline) { return outlineCrosses(outline, place); }))
                plan.sheets.push_back({row, column, place});
        }
    }
    return plan;
}

}  // namespace

const Sheet* TilePlan::sheetAt(int row, int column) const
{
    const auto found = std::find_if(sheets.begin(), sheets.end(),
                                    [&](const Sheet& sheet) { return sheet.row == row && sheet.column == column; });
    return found == sheets.end() ? nullptr : &*found;
}

bool outlineCrosses(const PartOutline& outline, const Rect& area)
{
    return std::any_of(outline.edges.begin(), outline.edges.end(), [&](const OutlineEdge& edge) {
        return edge.arc ? arcCrosses(edge.from, edge.to, *edge.arc, area) : segmentCrosses(edge.from, edge.to, area);
    });
}

std::optional<TilePlan> planSheets(std::span<const PartOutline> pattern, std::span<const SheetArea> areas, double overlap)
{
    if (pattern.empty())
        return std::nullopt;
    std::optional<TilePlan> best;
    std::vector<PartOutline> turned(pattern.size());
    for (int turn = 0; turn < 360; turn += kTurnStepDegrees) {
        std::transform(pattern.begin(), pattern.end(), turned.begin(),
                       [&](const PartOutline& outline) { return outline.turned(turn); });
        for (std::size_t option = 0; option < areas.size(); ++option) {
            std::optional<TilePlan> plan = planFor(turned, turn, option, areas[option], overlap);
            if (plan && (!best || plan->sheets.size() < best->sheets.size()))
                best = std::move(plan);
        }
    }
    if (!best || best->sheets.size() > kMaxSheetsPerPattern)
        return std::nullopt;
    return best;
}

}  // namespace scaricometro
