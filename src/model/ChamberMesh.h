// The chamber as a mesh of triangles, as it stands welded in the route's frame: every piece of
// every section a closed shell of its own, its sheet between the inner diameter and the inner
// diameter plus twice the thickness, measured radially, its two ends in the planes of its joints.
// The pieces are shells of their own because the half turn that makes a bend matches the pieces'
// mean surfaces, on which the patterns are drawn, but not quite their inner and outer walls,
// which on a cone step by a fraction of a millimetre at each joint. Millimetres.
#pragma once

#include "model/ChamberRoute.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace scaricometro {

// A piece's shell: its rims of `segments` points each, then its faces of 2 × `segments`
// triangles each, in the orders below; each rim's points counter-clockwise about the axis, each
// face's triangles in pairs, the two halves of a flat quad between two neighbouring points of
// two rims.
struct MeshShell {
    enum Rim : std::uint32_t { OuterAtEngineEnd, OuterAtOutletEnd, InnerAtEngineEnd, InnerAtOutletEnd, kRims };
    enum Face : std::uint32_t { OuterWall, InnerWall, EngineEnd, OutletEnd, kFaces };

    std::size_t section = 0;  // in kChamberSections
    int piece = 1;            // from the engine end
    int segments = 0;
    std::uint32_t firstVertex = 0;
    std::uint32_t firstTriangle = 0;
};

class ChamberMesh {
public:
    // Corners counter-clockwise seen from outside the sheet, so that the normals point out of it.
    using Triangle = std::array<std::uint32_t, 3>;

    // Faceted so finely that every edge along a wall or a cut lies within `chordTolerance` mm of
    // the exact surface: each section gets as many points round its rims as its most curved rim
    // needs. A chamber of no thickness has no sheet: no shells.
    [[nodiscard]] static ChamberMesh faceted(const ChamberRoute& route, double chordTolerance = kModelToleranceMm);
    // With `segments` points round every rim, for a drawing that needs no more.
    [[nodiscard]] static ChamberMesh withSegments(const ChamberRoute& route, int segments);

    [[nodiscard]] const std::vector<Vector3>& vertices() const { return m_vertices; }
    [[nodiscard]] const std::vector<Triangle>& triangles() const { return m_triangles; }
    [[nodiscard]] const std::vector<MeshShell>& shells() const { return m_shells; }
    // The unit normal of a triangle, out of the sheet.
    [[nodiscard]] Vector3 normal(const Triangle& triangle) const;

    // Finer than any rule or caliper reads on a chamber.
    static constexpr double kModelToleranceMm = 0.02;
    static constexpr int kFewestSegments = 8;
    static constexpr int kMostSegments = 4096;

private:
    template <typename SegmentsOf>
    [[nodiscard]] static ChamberMesh build(const ChamberRoute& route, SegmentsOf segmentsOf);
    void addShell(const RouteSection& section, std::size_t index, int piece, int segments, double half, bool offset);

    std::vector<Vector3> m_vertices;
    std::vector<Triangle> m_triangles;
    std::vector<MeshShell> m_shells;
};

}  // namespace scaricometro
