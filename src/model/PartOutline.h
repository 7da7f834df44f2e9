// The outline of a flat part to be cut from sheet steel: a closed chain of straight edges and
// exact circular arcs, in millimetres. The printed templates draw it and the cutting files write
// it, so that paper and machine get one geometry. Angles are in degrees, from the +x axis
// towards the +y axis, whichever way y points.
#pragma once

#include <algorithm>
#include <optional>
#include <vector>

namespace scaricometro {

struct Point {
    double x = 0;
    double y = 0;
};

struct Rect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;

    [[nodiscard]] double right() const { return left + width; }
    [[nodiscard]] double bottom() const { return top + height; }
    [[nodiscard]] bool contains(Point point) const
    {
        return point.x >= left && point.x <= right() && point.y >= top && point.y <= bottom();
    }
    // The smallest rectangle that holds this one and `other`.
    [[nodiscard]] Rect united(const Rect& other) const
    {
        const double l = std::min(left, other.left);
        const double t = std::min(top, other.top);
        return {l, t, std::max(right(), other.right()) - l, std::max(bottom(), other.bottom()) - t};
    }
};

// An annular sector, the flat pattern of a cone. Laid out by sectorOutline, it opens upwards on a
// page whose y points down: centred on the origin, symmetric about the upward vertical.
struct AnnularSector {
    double outerRadius = 0;
    double innerRadius = 0;
    double angleDegrees = 0;

    [[nodiscard]] double outerChord() const;
};

// The arc of a circle, turning `sweepDegrees` from `startDegrees` (a negative sweep turns back).
struct CircleArc {
    Point centre;
    double radius = 0;
    double startDegrees = 0;
    double sweepDegrees = 0;

    [[nodiscard]] Point start() const;
    [[nodiscard]] Point end() const;
    // Whether the arc passes the direction `degrees` seen from its centre.
    [[nodiscard]] bool reaches(double degrees) const;
};

// One edge, from `from` to `to`: along `arc` where it has one, else straight. Both ends are kept
// as points, so that an edge ends exactly where the next one begins.
struct OutlineEdge {
    Point from;
    Point to;
    std::optional<CircleArc> arc;

    [[nodiscard]] double length() const;
};

struct PartOutline {
    // Each edge ends where the next begins, the last where the first begins.
    std::vector<OutlineEdge> edges;

    // Turned by `degrees` about the origin.
    [[nodiscard]] PartOutline turned(double degrees) const;
    [[nodiscard]] PartOutline moved(double dx, double dy) const;
    // Reflected in the x axis: from a page's axes, y down, to a drawing's, y up, or back.
    [[nodiscard]] PartOutline mirrored() const;
    // The smallest rectangle that holds the outline, arcs' bulges included.
    [[nodiscard]] Rect bounds() const;
    [[nodiscard]] double length() const;
    // The area it encloses, arcs' bulges included.
    [[nodiscard]] double area() const;
    // The point at `fraction` (0 to 1) of the way round.
    [[nodiscard]] Point pointAt(double fraction) const;
};

// The sector centred on the origin in a page's axes, opening upwards: the outer arc from the
// left straight edge to the right, that edge, the inner arc back, and the left edge.
[[nodiscard]] PartOutline sectorOutline(const AnnularSector& sector);
// A rectangle `width` by `height` from the origin.
[[nodiscard]] PartOutline rectangleOutline(double width, double height);
// A part laid on a drawing's axes, y up, flat in the first quadrant with its lowest and leftmost
// points on the axes: what a cutting machine is given. A sector there opens upwards.
[[nodiscard]] PartOutline onDrawingAxes(const PartOutline& pageOutline);

}  // namespace scaricometro
