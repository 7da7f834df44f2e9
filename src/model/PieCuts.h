// A bent section made of straight pieces ("spicchi"): the section, cone or cylinder, is cut by
// planes tilted in turn one way and the other, and every other piece is turned half a turn, so
// that all the tilts add up into one bend. Lengths in mm on the mean diameters; the section's own
// axes have z along its axis from the engine end and x towards the inside of the bend.
#pragma once

#include "model/PartOutline.h"
#include "model/Space.h"

#include <optional>
#include <vector>

namespace scaricometro {

inline constexpr int kFewestBendPieces = 2;
inline constexpr int kMostBendPieces = 12;

// A section as the sheet rolls into it: its axial length and its mean radii at either end.
struct Frustum {
    double length = 0;
    double engineRadius = 0;
    double outletRadius = 0;

    [[nodiscard]] bool isCylinder() const { return engineRadius == outletRadius; }
};

// How a section is bent: by `degrees` (0 straight) in `pieces` pieces, towards `plane`: degrees
// clockwise, seen from the engine end looking along the pipe, from the "up" that the bends before
// have carried along (0 the top of the side view at the start, 90 towards its viewer). A negative
// bend goes the other way in the same plane.
struct SectionBend {
    double degrees = 0;
    int pieces = 4;
    double plane = 0;

    [[nodiscard]] bool isStraight() const { return degrees == 0; }
};

// An angle taken modulo a whole turn: from 0 up to 360, with −0 and a turn less a rounding as 0.
[[nodiscard]] double withinTurn(double degrees);

class PieCuts {
public:
    enum class Refusal {
        NoLength,     // a section of no length has nothing to bend
        CutsCross,    // two cuts, or a cut and an end, meet somewhere round the pipe
    };

    // The section cut for the bend, or why it cannot be.
    [[nodiscard]] static std::optional<PieCuts> cut(const Frustum& section, const SectionBend& bend, Refusal* why = nullptr);
    // A straight section of some length: one piece, with square ends.
    [[nodiscard]] static PieCuts whole(const Frustum& section);

    [[nodiscard]] const Frustum& section() const { return m_section; }
    [[nodiscard]] int pieces() const { return m_pieces; }
    // α: each cut's tilt from square, in radians; the bend at each joint is twice it.
    [[nodiscard]] double tilt() const { return m_tilt; }
    // The tilt of joint k (0 and `pieces` are the section's square ends), +α for k odd.
    [[nodiscard]] double jointTilt(int joint) const;
    // Where joint k crosses the axis, from the engine end.
    [[nodiscard]] double jointCentre(int joint) const;
    // Where joint k meets the generator at azimuth φ (radians from the inside of the bend).
    [[nodiscard]] double jointAt(int joint, double azimuth) const;
    // The point of the section's surface at `axial` from the engine end and azimuth φ.
    [[nodiscard]] Vector3 surfacePoint(double axial, double azimuth) const;
    // Where joint k meets the surface `radialOffset` out from the section's (the mean of the
    // sheet, on which the patterns are drawn) at azimuth φ: −t/2 the inner wall, +t/2 the outer.
    [[nodiscard]] Vector3 wallPoint(int joint, double azimuth, double radialOffset) const;
    // The same point on the flat pattern, in a page's axes: a cone's about the sector's centre, the
    // sector opening upwards; a cylinder's on its blank, the outlet end at the top, from the origin.
    [[nodiscard]] Point flatPoint(double axial, double azimuth) const;

    // Piece p (1 to `pieces`, from the engine end): its closed outline on the pattern, its cuts
    // drawn as polylines within `kCurveToleranceMm` of the exact curve, its square ends as arcs
    // (a cone) or straight lines (a cylinder).
    [[nodiscard]] PartOutline pieceOutline(int piece) const;
    // Pieces 2, 4 … are turned half a turn before they are welded.
    [[nodiscard]] static bool isTurned(int piece) { return piece % 2 == 0; }
    // Where piece p is put, from its place in the straight section, to make the bend.
    [[nodiscard]] Placement placement(int piece) const;
    // The half turn about joint k's normal through the centre of its ellipse.
    [[nodiscard]] Placement halfTurn(int joint) const;
    // How far the centre line steps sideways at joint k.
    [[nodiscard]] double step(int joint) const;

    static constexpr double kCurveToleranceMm = 0.01;

private:
    PieCuts(const Frustum& section, int pieces, double tilt);
    [[nodiscard]] double slope() const;  // the change of radius along the axis
    [[nodiscard]] double sine() const;
    [[nodiscard]] std::vector<Point> cutCurve(int joint, bool fromLeft) const;
    [[nodiscard]] Vector3 ellipseCentre(int joint) const;

    Frustum m_section;
    int m_pieces = 0;
    double m_tilt = 0;
};

}  // namespace scaricometro
