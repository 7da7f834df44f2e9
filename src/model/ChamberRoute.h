// The chamber's route in space: where each section and each of its pieces stands once welded,
// from the engine end to the outlet.
//
// The frame, the same on the data sheet, in the views and for the snapshot tool: the origin at the
// centre of the header's inlet face; X along the inlet's axis, towards the outlet; Z up in the
// side view; Y = Z × X, away from whoever looks at the side view. Millimetres.
//
// A frame is carried along the pipe without twist: its "up" starts as Z, each bend turns it with
// the pipe about the axis square to the bend's plane, and a straight section leaves it as it is.
// A section's plane is measured from that up, clockwise as seen from the engine end looking along
// the pipe. Between two sections the ends are square, so a plane changes at no cost.
#pragma once

#include "model/ConeDevelopment.h"
#include "model/Space.h"

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

namespace scaricometro {

// Where the route passes: a point of the centre line, the way the pipe points there, and the up
// carried that far.
struct RouteFrame {
    Vector3 point;
    Vector3 along{1, 0, 0};
    Vector3 up{0, 0, 1};

    // The direction `degrees` clockwise from up, seen looking along the pipe.
    [[nodiscard]] Vector3 towards(double degrees) const;
    // The angle of a direction square to the pipe, clockwise from up: 0 to 360.
    [[nodiscard]] double angleOf(Vector3 direction) const;
};

struct RouteSection {
    // In the section's own axes, those of PieCuts (z along the axis from the engine end, x towards
    // the inside of the bend): one uncut piece for a straight section, or a section whose bend is
    // refused; none for a section of no length, which the route passes by.
    std::optional<PieCuts> cuts;
    std::optional<PieCuts::Refusal> refusal;  // the bend asked for, which the section cannot take
    RouteFrame start;
    RouteFrame end;
    // Where the longitudinal seam is at each end, degrees clockwise from that end's up, seen
    // looking along the pipe. A straight section's goes in line with the seam before it.
    double startSeamDegrees = 0;
    double endSeamDegrees = 0;
    // Each piece's placement, worked out once: the views and the box ask for many points of each.
    std::vector<Placement> placements;

    [[nodiscard]] int pieces() const { return cuts ? cuts->pieces() : 0; }
    [[nodiscard]] bool isBent() const { return cuts && cuts->pieces() > 1; }
    // Piece p, from its place in the straight section into the frame, as welded.
    [[nodiscard]] const Placement& piecePlacement(int piece) const;
    // A point of piece p's wall on its joint k (p − 1 or p), at azimuth φ in the section's own
    // axes and `radialOffset` out from the sheet's mean surface, in the frame.
    [[nodiscard]] Vector3 wallPoint(int piece, int joint, double azimuth, double radialOffset) const;
    // Piece p's axis, from its joint p − 1 to its joint p, in the frame.
    [[nodiscard]] Vector3 axisPoint(int piece, int joint) const;
};

struct Box {
    Vector3 low;
    Vector3 high;
};

class ChamberRoute {
public:
    // Every section bent as asked where it can be; a section that cannot is taken straight and
    // its refusal kept.
    [[nodiscard]] static ChamberRoute trace(const ChamberDevelopment& development, const ChamberBends& bends);

    [[nodiscard]] const std::array<RouteSection, kChamberSections.size()>& sections() const { return m_sections; }
    [[nodiscard]] double thickness() const { return m_thickness; }
    [[nodiscard]] const RouteFrame& outlet() const { return m_sections.back().end; }
    // The angle between the inlet's axis and the outlet's, degrees.
    [[nodiscard]] double outletTurnDegrees() const;
    // The box the chamber fills, its walls included: the extremes of its pieces' outer rims, found
    // among `samples` points round each and then searched for between them.
    [[nodiscard]] Box bounds(int samples = kBoundsSamples) const;
    // The centre line through the ends of every piece's axis, from the inlet's centre to the
    // outlet's, each joint's sideways step a short segment of its own; a point shared by two
    // sections once.
    [[nodiscard]] std::vector<Vector3> centreLine() const;
    // How far to turn the section after `section` about their common axis, from the seam of the
    // one to the seam of the other, clockwise seen from the engine end: 0 to 360. The sections of
    // no length between them are passed by.
    [[nodiscard]] double seamTurnDegrees(std::size_t section) const;

    static constexpr int kBoundsSamples = 32;

private:
    std::array<RouteSection, kChamberSections.size()> m_sections;
    double m_thickness = 0;
};

// A direction as two angles, degrees: in plan, from X towards Y; and its rise above the XY plane.
struct Heading {
    double planDegrees = 0;
    double riseDegrees = 0;
};

[[nodiscard]] Heading headingOf(Vector3 direction);

}  // namespace scaricometro
