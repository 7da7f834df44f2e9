#include "model/ChamberRoute.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace scaricometro {
namespace {

// Two ends of axes closer than this are one point, apart only by rounding.
constexpr double kSamePointMm = 1e-9;

// Where `height` peaks between `low` and `high`, a single peak there: a golden-section search,
// each step one new value; after 24 steps the bracket is 1e-5 of what it was.
template <typename Height>
double peakOf(Height height, double low, double high)
{
    constexpr double kGolden = 0.6180339887498949;
    constexpr int kSteps = 24;
    double left = high - kGolden * (high - low);
    double right = low + kGolden * (high - low);
    double atLeft = height(left);
    double atRight = height(right);
    for (int step = 0; step < kSteps; ++step) {
        if (atLeft < atRight) {
            low = left;
            left = right;
            atLeft = atRight;
            right = low + kGolden * (high - low);
            atRight = height(right);
        } else {
            high = right;
            right = left;
            atRight = atLeft;
            left = high - kGolden * (high - low);
            atLeft = height(left);
        }
    }
    return (low + high) / 2;
}

}  // namespace

Vector3 RouteFrame::towards(double degrees) const
{
    const Vector3 right = cross(along, up);
    return std::cos(degrees * kDegree) * up + std::sin(degrees * kDegree) * right;
}

double RouteFrame::angleOf(Vector3 direction) const
{
    const Vector3 right = cross(along, up);
    return withinTurn(std::atan2(dot(direction, right), dot(direction, up)) / kDegree);
}

const Placement& RouteSection::piecePlacement(int piece) const
{
    return placements[static_cast<std::size_t>(piece - 1)];
}

Vector3 RouteSection::wallPoint(int piece, int joint, double azimuth, double radialOffset) const
{
    return piecePlacement(piece).apply(cuts->wallPoint(joint, azimuth, radialOffset));
}

Vector3 RouteSection::axisPoint(int piece, int joint) const
{
    return piecePlacement(piece).apply({0, 0, cuts->jointCentre(joint)});
}

ChamberRoute ChamberRoute::trace(const ChamberDevelopment& development, const ChamberBends& bends)
{
    ChamberRoute route;
    route.m_thickness = development.thickness;
    RouteFrame frame;
    // Where a straight header's seam goes: underneath, out of sight.
    double seam = 180;
    for (std::size_t i = 0; i < kChamberSections.size(); ++i) {
        RouteSection& section = route.m_sections[i];
        const Frustum& frustum = development.sections[i];
        const SectionBend& bend = bends[i];
        if (!bend.isStraight()) {
            PieCuts::Refusal why{};
            if (std::optional<PieCuts> cuts = PieCuts::cut(frustum, bend, &why))
                section.cuts = *cuts;
            else
                section.refusal = why;
        }
        if (!section.cuts && frustum.length > 0)
            section.cuts = PieCuts::whole(frustum);
        section.start = frame;
        section.startSeamDegrees = seam;
        section.end = frame;
        section.endSeamDegrees = seam;
        if (!section.cuts)
            continue;

        // The section's x: towards the inside of its bend; a straight section's, away from its seam,
        // which its own axes put at φ = π as a bent section's first piece has it.
        const double inside = section.isBent() ? (bend.degrees > 0 ? bend.plane : bend.plane + 180) : seam + 180;
        const Vector3 x = frame.towards(inside);
        const Placement axes = Placement::ofAxes(x, cross(frame.along, x), frame.along, frame.point);
        const int last = section.cuts->pieces();
        for (int piece = 1; piece <= last; ++piece)
            section.placements.push_back(axes.after(section.cuts->placement(piece)));
        section.end.point = section.axisPoint(last, last);
        if (section.isBent()) {
            const Placement turn = Placement::rotation(cross(frame.along, x), std::abs(bend.degrees) * kDegree);
            section.end.along = turn.turn(frame.along);
            section.end.up = turn.turn(frame.up);
            section.startSeamDegrees = withinTurn(inside + 180);
            // The last piece's seam: on the outside of the bend, or on the inside where it is turned.
            const Vector3 seamAtEnd = section.wallPoint(last, last, std::numbers::pi, 0) - section.end.point;
            section.endSeamDegrees = section.end.angleOf(seamAtEnd);
            seam = section.endSeamDegrees;
        }
        frame = section.end;
    }
    return route;
}

double ChamberRoute::outletTurnDegrees() const
{
    return angleBetween(m_sections.front().start.along, outlet().along) / kDegree;
}

// A rim's extremes along each axis: the best of the samples, then searched for between its
// neighbours, where a coordinate of a rim, an ellipse on the wall, has a single peak.
Box ChamberRoute::bounds(int samples) const
{
    const double step = 2 * std::numbers::pi / samples;
    Box box{outlet().point, outlet().point};
    const auto include = [&](Vector3 point) {
        box.low = {std::min(box.low.x, point.x), std::min(box.low.y, point.y), std::min(box.low.z, point.z)};
        box.high = {std::max(box.high.x, point.x), std::max(box.high.y, point.y), std::max(box.high.z, point.z)};
    };
    std::vector<Vector3> points(static_cast<std::size_t>(samples));
    for (const RouteSection& section : m_sections) {
        for (int piece = 1; piece <= section.pieces(); ++piece) {
            for (const int joint : {piece - 1, piece}) {
                const auto at = [&](double azimuth) { return section.wallPoint(piece, joint, azimuth, m_thickness / 2); };
                for (std::size_t sample = 0; sample < points.size(); ++sample)
                    points[sample] = at(step * static_cast<double>(sample));
                for (const auto axis : {&Vector3::x, &Vector3::y, &Vector3::z}) {
                    for (const double sign : {-1.0, 1.0}) {
                        const auto height = [&](Vector3 point) { return sign * (point.*axis); };
                        const auto best = std::ranges::max_element(points, {}, height);
                        const double around = step * static_cast<double>(best - points.begin());
                        include(*best);
                        include(at(peakOf([&](double azimuth) { return height(at(azimuth)); }, around - step, around + step)));
                    }
                }
            }
        }
    }
    return box;
}

std::vector<Vector3> ChamberRoute::centreLine() const
{
    std::vector<Vector3> points{m_sections.front().start.point};
    for (const RouteSection& section : m_sections) {
        for (int piece = 1; piece <= section.pieces(); ++piece) {
            for (const int joint : {piece - 1, piece}) {
                const Vector3 point = section.axisPoint(piece, joint);
                // Two sections, or two pieces of a cylinder, meet on the axis of both: one point.
                if (norm(point - points.back()) > kSamePointMm)
                    points.push_back(point);
            }
        }
    }
    return points;
}

double ChamberRoute::seamTurnDegrees(std::size_t section) const
{
    for (std::size_t next = section + 1; next < m_sections.size(); ++next) {
        if (m_sections[next].cuts)
            return withinTurn(m_sections[next].startSeamDegrees - m_sections[section].endSeamDegrees);
    }
    return 0;
}

Heading headingOf(Vector3 direction)
{
    return {std::atan2(direction.y, direction.x) / kDegree,
            std::atan2(direction.z, std::hypot(direction.x, direction.y)) / kDegree};
}

}  // namespace scaricometro
