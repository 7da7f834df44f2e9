#include "model/ChamberMesh.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <tuple>

namespace scaricometro {
namespace {

constexpr double kTurn = 2 * std::numbers::pi;
// How each rim's curvature is found: its second derivative along the azimuth, by central
// differences at so many points round it, with a margin for the peaks between them.
constexpr int kCurvatureSamples = 24;
constexpr double kCurvatureStep = 1e-3;
constexpr double kCurvatureMargin = 1.25;
// Points round a rim come in fours, so that they lie symmetric about the bend's plane and about
// the plane square to it, as the piece does.
constexpr int kSegmentMultiple = 4;

// How sharply the rims of the section's pieces turn with the azimuth: the largest |d²P/dφ²| found
// on any, or the largest radius where that is more.
double largestCurvature(const PieCuts& cuts, double half)
{
    double largest = 0;
    for (int joint = 0; joint <= cuts.pieces(); ++joint) {
        for (const double offset : {-half, half}) {
            for (int sample = 0; sample < kCurvatureSamples; ++sample) {
                const double azimuth = kTurn * sample / kCurvatureSamples;
                const Vector3 before = cuts.wallPoint(joint, azimuth - kCurvatureStep, offset);
                const Vector3 at = cuts.wallPoint(joint, azimuth, offset);
                const Vector3 after = cuts.wallPoint(joint, azimuth + kCurvatureStep, offset);
                const double second = norm(before - 2 * at + after) / (kCurvatureStep * kCurvatureStep);
                largest = std::max({largest, second, std::hypot(at.x, at.y)});
            }
        }
    }
    return largest;
}

// A chord over an azimuth step Δ strays from a curve by at most Δ² / 8 · |d²P/dφ²|; a triangle
// between two generators strays from the wall by no more than the chord of its rim.
int segmentsFor(const PieCuts& cuts, double half, double chordTolerance)
{
    const double step = std::sqrt(8 * chordTolerance / (kCurvatureMargin * largestCurvature(cuts, half)));
    const double needed = std::ceil(kTurn / step / kSegmentMultiple) * kSegmentMultiple;
    return static_cast<int>(std::clamp(needed, double{ChamberMesh::kFewestSegments}, double{ChamberMesh::kMostSegments}));
}

}  // namespace

ChamberMesh ChamberMesh::faceted(const ChamberRoute& route, double chordTolerance)
{
    const double half = route.thickness() / 2;
    return build(route, [&](const PieCuts& cuts) { return segmentsFor(cuts, half, chordTolerance); });
}

ChamberMesh ChamberMesh::withSegments(const ChamberRoute& route, int segments)
{
    return build(route, [&](const PieCuts& /*cuts*/) { return segments; });
}

template <typename SegmentsOf>
ChamberMesh ChamberMesh::build(const ChamberRoute& route, SegmentsOf segmentsOf)
{
    ChamberMesh mesh;
    if (!(route.thickness() > 0))
        return mesh;
    // Neighbouring pieces' rims are sampled half a step apart, so that no two shells share a
    // point where their faces touch: each stays a closed surface of its own to every mesh tool.
    bool offset = false;
    for (std::size_t i = 0; i < route.sections().size(); ++i) {
        const RouteSection& section = route.sections()[i];
        if (!section.cuts)
            continue;
        const int segments = segmentsOf(*section.cuts);
        for (int piece = 1; piece <= section.pieces(); ++piece) {
            mesh.addShell(section, i, piece, segments, route.thickness() / 2, offset);
            offset = !offset;
        }
    }
    return mesh;
}

void ChamberMesh::addShell(const RouteSection& section, std::size_t index, int piece, int segments, double half, bool offset)
{
    const auto first = static_cast<std::uint32_t>(m_vertices.size());
    m_shells.push_back({index, piece, segments, first, static_cast<std::uint32_t>(m_triangles.size())});
    const double shift = offset ? 0.5 : 0.0;
    const auto n = static_cast<std::uint32_t>(segments);
    m_vertices.resize(m_vertices.size() + MeshShell::kRims * n);
    const auto at = [&](MeshShell::Rim rim, std::uint32_t point) { return first + rim * n + point % n; };
    for (const auto& [rim, joint, radial] : {std::tuple{MeshShell::OuterAtEngineEnd, piece - 1, half},
                                             std::tuple{MeshShell::OuterAtOutletEnd, piece, half},
                                             std::tuple{MeshShell::InnerAtEngineEnd, piece - 1, -half},
                                             std::tuple{MeshShell::InnerAtOutletEnd, piece, -half}}) {
        for (std::uint32_t point = 0; point < n; ++point)
            m_vertices[at(rim, point)] = section.wallPoint(piece, joint, kTurn * (point + shift) / segments, radial);
    }
    // Each face a band of quads between two rims, turned so that it faces out of the sheet: with
    // the azimuth growing counter-clockwise about the axis, a band from rim a to rim b faces away
    // from the axis where b is further along it, and towards the outlet where b is nearer the axis.
    const auto band = [&](MeshShell::Rim a, MeshShell::Rim b, bool reversed) {
        for (std::uint32_t point = 0; point < n; ++point) {
            const std::uint32_t a0 = at(a, point), a1 = at(a, point + 1), b0 = at(b, point), b1 = at(b, point + 1);
            if (reversed) {
                m_triangles.push_back({a0, b1, a1});
                m_triangles.push_back({a0, b0, b1});
            } else {
                m_triangles.push_back({a0, a1, b1});
                m_triangles.push_back({a0, b1, b0});
            }
        }
    };
    // In the order of MeshShell::Face.
    band(MeshShell::OuterAtEngineEnd, MeshShell::OuterAtOutletEnd, false);
    band(MeshShell::InnerAtEngineEnd, MeshShell::InnerAtOutletEnd, true);
    band(MeshShell::OuterAtEngineEnd, MeshShell::InnerAtEngineEnd, true);
    band(MeshShell::OuterAtOutletEnd, MeshShell::InnerAtOutletEnd, false);
}

Vector3 ChamberMesh::normal(const Triangle& triangle) const
{
    const Vector3 a = m_vertices[triangle[0]];
    return unit(cross(m_vertices[triangle[1]] - a, m_vertices[triangle[2]] - a));
}

}  // namespace scaricometro
