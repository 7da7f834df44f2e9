#include "model/PartOutline.h"

#include "model/Space.h"

#include <algorithm>
#include <cmath>

namespace scaricometro {
namespace {

constexpr double kCompassDegrees[] = {0, 90, 180, 270};

Point onCircle(Point centre, double radius, double degrees)
{
    return {centre.x + radius * std::cos(degrees * kDegree), centre.y + radius * std::sin(degrees * kDegree)};
}

// Every point and arc of the outline through `map`, which maps a point; `turn` tells how the
// map turns directions, `flip` whether it reverses them.
template <typename Map>
PartOutline mapped(const PartOutline& outline, Map map, double turnDegrees, bool flip)
{
    PartOutline result;
    result.edges.reserve(outline.edges.size());
    for (const OutlineEdge& edge : outline.edges) {
        OutlineEdge image{map(edge.from), map(edge.to), std::nullopt};
        if (edge.arc) {
            const CircleArc& arc = *edge.arc;
            const double start = flip ? -arc.startDegrees : arc.startDegrees;
            image.arc = CircleArc{map(arc.centre), arc.radius, start + turnDegrees,
                                  flip ? -arc.sweepDegrees : arc.sweepDegrees};
        }
        result.edges.push_back(image);
    }
    return result;
}

void include(Rect& box, Point point)
{
    box = box.united({point.x, point.y, 0, 0});
}

}  // namespace

double AnnularSector::outerChord() const
{
    return 2 * outerRadius * std::sin(angleDegrees / 2 * kDegree);
}

Point CircleArc::start() const
{
    return onCircle(centre, radius, startDegrees);
}

Point CircleArc::end() const
{
    return onCircle(centre, radius, startDegrees + sweepDegrees);
}

bool CircleArc::reaches(double degrees) const
{
    const double from = sweepDegrees < 0 ? startDegrees + sweepDegrees : startDegrees;
    const double past = std::fmod(std::fmod(degrees - from, 360) + 360, 360);
    return past <= std::abs(sweepDegrees) + 1e-9 || std::abs(sweepDegrees) >= 360;
}

double OutlineEdge::length() const
{
    if (arc)
        return arc->radius * std::abs(arc->sweepDegrees) * kDegree;
    return std::hypot(to.x - from.x, to.y - from.y);
}

PartOutline PartOutline::turned(double degrees) const
{
    const double cosine = std::cos(degrees * kDegree);
    const double sine = std::sin(degrees * kDegree);
    return mapped(
        *this, [&](Point p) { return Point{p.x * cosine - p.y * sine, p.x * sine + p.y * cosine}; }, degrees, false);
}

PartOutline PartOutline::moved(double dx, double dy) const
{
    return mapped(*this, [&](Point p) { return Point{p.x + dx, p.y + dy}; }, 0, false);
}

PartOutline PartOutline::mirrored() const
{
    return mapped(*this, [](Point p) { return Point{p.x, -p.y}; }, 0, true);
}

Rect PartOutline::bounds() const
{
    if (edges.empty())
        return {};
    Rect box{edges.front().from.x, edges.front().from.y, 0, 0};
    for (const OutlineEdge& edge : edges) {
        include(box, edge.from);
        include(box, edge.to);
        if (!edge.arc)
            continue;
        for (double compass : kCompassDegrees) {
            if (edge.arc->reaches(compass))
                include(box, onCircle(edge.arc->centre, edge.arc->radius, compass));
        }
    }
    return box;
}

double PartOutline::length() const
{
    double total = 0;
    for (const OutlineEdge& edge : edges)
        total += edge.length();
    return total;
}

// Green's theorem: half the integral of x dy − y dx round the outline. Along an arc about c of
// radius r that sweeps s radians from a to b, the integral is r² s + c.x (b.y − a.y) − c.y (b.x − a.x).
double PartOutline::area() const
{
    double twice = 0;
    for (const OutlineEdge& edge : edges) {
        if (edge.arc) {
            const CircleArc& arc = *edge.arc;
            twice += arc.radius * arc.radius * arc.sweepDegrees * kDegree + arc.centre.x * (edge.to.y - edge.from.y)
                - arc.centre.y * (edge.to.x - edge.from.x);
        } else {
            twice += edge.from.x * edge.to.y - edge.from.y * edge.to.x;
        }
    }
    return std::abs(twice) / 2;
}

Point PartOutline::pointAt(double fraction) const
{
    double along = std::clamp(fraction, 0.0, 1.0) * length();
    for (const OutlineEdge& edge : edges) {
        const double edgeLength = edge.length();
        if (along <= edgeLength && edgeLength > 0) {
            const double share = along / edgeLength;
            if (edge.arc)
                return onCircle(edge.arc->centre, edge.arc->radius, edge.arc->startDegrees + share * edge.arc->sweepDegrees);
            return {edge.from.x + share * (edge.to.x - edge.from.x), edge.from.y + share * (edge.to.y - edge.from.y)};
        }
        along -= edgeLength;
    }
    return edges.empty() ? Point{} : edges.back().to;
}

PartOutline sectorOutline(const AnnularSector& sector)
{
    const double first = -90 - sector.angleDegrees / 2;
    const double last = first + sector.angleDegrees;
    const Point origin;
    const CircleArc outer{origin, sector.outerRadius, first, sector.angleDegrees};
    const CircleArc inner{origin, sector.innerRadius, last, -sector.angleDegrees};
    return {{
        {outer.start(), outer.end(), outer},
        {outer.end(), inner.start(), std::nullopt},
        {inner.start(), inner.end(), inner},
        {inner.end(), outer.start(), std::nullopt},
    }};
}

PartOutline rectangleOutline(double width, double height)
{
    const Point corners[] = {{0, 0}, {width, 0}, {width, height}, {0, height}};
    PartOutline outline;
    for (std::size_t i = 0; i < std::size(corners); ++i)
        outline.edges.push_back({corners[i], corners[(i + 1) % std::size(corners)], std::nullopt});
    return outline;
}

PartOutline onDrawingAxes(const PartOutline& pageOutline)
{
    const PartOutline drawing = pageOutline.mirrored();
    const Rect box = drawing.bounds();
    return drawing.moved(-box.left, -box.top);
}

}  // namespace scaricometro
