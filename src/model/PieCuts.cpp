#include "model/PieCuts.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace scaricometro {
namespace {

constexpr double kPi = std::numbers::pi;
// The chords are measured against the curve at samples: they keep inside this share of the
// tolerance, for what may lie between two samples.
constexpr double kCurveMargin = 0.98;
// Points of the exact curve measured against each chord, and halvings in search of the longest,
// between twice the chord before and the last that fitted.
constexpr int kSamplesPerChord = 16;
constexpr int kChordSearchSteps = 14;

double distanceToSegment(Point p, Point a, Point b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double squared = dx * dx + dy * dy;
    const double along = squared > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / squared, 0.0, 1.0) : 0.0;
    return std::hypot(p.x - (a.x + along * dx), p.y - (a.y + along * dy));
}

}  // namespace

double withinTurn(double degrees)
{
    constexpr double kTurn = 360;
    const double turned = std::fmod(degrees, kTurn);
    const double positive = turned < 0 ? turned + kTurn : turned;
    return positive == 0 || positive == kTurn ? 0 : positive;
}

PieCuts::PieCuts(const Frustum& section, int pieces, double tilt)
    : m_section(section)
    , m_pieces(pieces)
    , m_tilt(tilt)
{
}

std::optional<PieCuts> PieCuts::cut(const Frustum& section, const SectionBend& bend, Refusal* why)
{
    const auto refuse = [&](Refusal reason) {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    if (!(section.length > 0))
        return refuse(Refusal::NoLength);
    const int pieces = std::clamp(bend.pieces, kFewestBendPieces, kMostBendPieces);
    const PieCuts cuts(section, pieces, std::abs(bend.degrees) * kPi / 180 / (2 * (pieces - 1)));
    // Each cut's place along a generator is a ratio of two linear functions of cos φ, and the
    // distance between two cuts one linear function of it over a positive one: where the cuts are
    // in order on the generators φ = 0 and φ = π, they are all the way round.
    for (double azimuth : {0.0, kPi}) {
        const double cosine = std::cos(azimuth);
        double previous = 0;
        for (int joint = 1; joint <= pieces; ++joint) {
            const double across = 1 + cuts.slope() * cosine * std::tan(cuts.jointTilt(joint));
            const double at = cuts.jointAt(joint, azimuth);
            if (!(across > 0 && at > previous && std::isfinite(at)))
                return refuse(Refusal::CutsCross);
            previous = at;
        }
    }
    return cuts;
}

PieCuts PieCuts::whole(const Frustum& section)
{
    return PieCuts(section, 1, 0);
}

double PieCuts::slope() const
{
    return (m_section.outletRadius - m_section.engineRadius) / m_section.length;
}

// sin β, β the cone's half-angle.
double PieCuts::sine() const
{
    return std::abs(slope()) / std::hypot(1.0, slope());
}

double PieCuts::jointTilt(int joint) const
{
    if (joint <= 0 || joint >= m_pieces)
        return 0;
    return joint % 2 == 1 ? m_tilt : -m_tilt;
}

double PieCuts::jointCentre(int joint) const
{
    return m_section.length * joint / m_pieces;
}

double PieCuts::jointAt(int joint, double azimuth) const
{
    return wallPoint(joint, azimuth, 0).z;
}

// The joint's plane is z + tan(tilt) · x = its centre; the generator's point at z has
// x = (engine radius + offset + slope · z) · cos φ.
Vector3 PieCuts::wallPoint(int joint, double azimuth, double radialOffset) const
{
    const double lean = std::cos(azimuth) * std::tan(jointTilt(joint));
    const double engineRadius = m_section.engineRadius + radialOffset;
    const double axial = (jointCentre(joint) - engineRadius * lean) / (1 + slope() * lean);
    const double radius = engineRadius + slope() * axial;
    return {radius * std::cos(azimuth), radius * std::sin(azimuth), axial};
}

Vector3 PieCuts::surfacePoint(double axial, double azimuth) const
{
    const double radius = m_section.engineRadius + slope() * axial;
    return {radius * std::cos(azimuth), radius * std::sin(azimuth), axial};
}

Point PieCuts::flatPoint(double axial, double azimuth) const
{
    if (m_section.isCylinder())
        return {m_section.engineRadius * (kPi + azimuth), m_section.length - axial};
    // A generator's slant distance from the apex is its radius over sin β; the sector's angle is
    // the turn round the axis times sin β.
    const double slant = (m_section.engineRadius + slope() * axial) / sine();
    const double turn = azimuth * sine();
    return {slant * std::sin(turn), -slant * std::cos(turn)};
}

// The flat cut of joint k from φ = −π to π (or back), through as few points as keep every chord
// within the tolerance of the curve: the longest chord that does, from φ = 0 towards π, then the
// same points mirrored, so that the cut is as symmetric as the piece.
std::vector<Point> PieCuts::cutCurve(int joint, bool fromLeft) const
{
    const auto curve = [&](double azimuth) { return flatPoint(jointAt(joint, azimuth), azimuth); };
    const double tolerance = kCurveToleranceMm * kCurveMargin;
    const auto fits = [&](double from, double to) {
        const Point a = curve(from);
        const Point b = curve(to);
        for (int sample = 1; sample < kSamplesPerChord; ++sample) {
            if (distanceToSegment(curve(from + (to - from) * sample / kSamplesPerChord), a, b) > tolerance)
                return false;
        }
        return true;
    };
    std::vector<double> azimuths{0};
    double chord = kPi;
    while (azimuths.back() < kPi) {
        const double from = azimuths.back();
        double near = from;
        double far = std::min(kPi, from + 2 * chord);
        bool farFits = false;
        while ((farFits = fits(from, far)) && far < kPi) {
            near = far;
            far = std::min(kPi, from + 2 * (far - from));
        }
        if (farFits)
            near = far;
        for (int step = 0; !farFits && step < kChordSearchSteps; ++step) {
            const double middle = (near + far) / 2;
            (fits(from, middle) ? near : far) = middle;
        }
        const double reached = near > from ? near : far;
        chord = reached - from;
        azimuths.push_back(reached);
    }
    std::vector<Point> points;
    points.reserve(2 * azimuths.size() - 1);
    for (auto it = azimuths.rbegin(); it != azimuths.rend(); ++it)
        points.push_back(curve(fromLeft ? -*it : *it));
    for (auto it = std::next(azimuths.begin()); it != azimuths.end(); ++it)
        points.push_back(curve(fromLeft ? *it : -*it));
    return points;
}

PartOutline PieCuts::pieceOutline(int piece) const
{
    // On the page the side with the larger slant (a cone) or the outlet end (a cylinder) is up.
    const bool outletUp = flatPoint(m_section.length, 0).y < flatPoint(0, 0).y;
    const int top = outletUp ? piece : piece - 1;
    const int bottom = outletUp ? piece - 1 : piece;
    const auto seam = [&](int joint, double side) { return flatPoint(jointAt(joint, side), side); };
    PartOutline outline;
    // Joint k from one seam to the other, left to right or back.
    const auto appendJoint = [&](int joint, bool fromLeft) {
        const double side = fromLeft ? -kPi : kPi;
        const Point from = seam(joint, side);
        const Point to = seam(joint, -side);
        if (joint > 0 && joint < m_pieces) {
            const std::vector<Point> points = cutCurve(joint, fromLeft);
            for (std::size_t i = 0; i + 1 < points.size(); ++i)
                outline.edges.push_back({points[i], points[i + 1], std::nullopt});
        } else if (m_section.isCylinder()) {
            outline.edges.push_back({from, to, std::nullopt});
        } else {
            // A square end: an arc about the sector's centre, the sector's whole angle.
            const double half = 180 * sine();
            outline.edges.push_back({from, to, CircleArc{Point{}, std::hypot(from.x, from.y),
                                                         fromLeft ? -90 - half : -90 + half,
                                                         fromLeft ? 2 * half : -2 * half}});
        }
    };
    appendJoint(top, true);
    outline.edges.push_back({seam(top, kPi), seam(bottom, kPi), std::nullopt});
    appendJoint(bottom, false);
    outline.edges.push_back({seam(bottom, -kPi), seam(top, -kPi), std::nullopt});
    return outline;
}

Vector3 PieCuts::ellipseCentre(int joint) const
{
    return 0.5 * (wallPoint(joint, 0, 0) + wallPoint(joint, kPi, 0));
}

Placement PieCuts::halfTurn(int joint) const
{
    const double lean = std::tan(jointTilt(joint));
    const double length = std::hypot(lean, 1.0);
    const Vector3 normal{lean / length, 0, 1 / length};
    // A half turn about the unit normal n through c: p ↦ c + (2 n nᵀ − I)(p − c).
    Placement turn;
    const double n[] = {normal.x, normal.y, normal.z};
    for (std::size_t row = 0; row < 3; ++row) {
        double entries[3];
        for (std::size_t column = 0; column < 3; ++column)
            entries[column] = 2 * n[row] * n[column] - (row == column ? 1 : 0);
        turn.rows[row] = {entries[0], entries[1], entries[2]};
    }
    const Vector3 centre = ellipseCentre(joint);
    turn.shift = centre - turn.turn(centre);
    return turn;
}

Placement PieCuts::placement(int piece) const
{
    Placement placed;
    for (int joint = 1; joint < piece; ++joint)
        placed = placed.after(halfTurn(joint));
    return placed;
}

// The axis meets the joint's plane at its centre, in the plane as the ellipse's centre is, so the
// half turn carries that point to the far side of the ellipse's centre.
double PieCuts::step(int joint) const
{
    const Vector3 centre = ellipseCentre(joint);
    return 2 * std::hypot(centre.x, centre.y, centre.z - jointCentre(joint));
}

}  // namespace scaricometro
