// Drawings as ASCII DXF of AutoCAD R12, in millimetres at 1:1, one polyline each: a part's outline
// for the programs of laser, plasma and waterjet shops, one closed polyline on the cutting layer
// with its arcs as true arcs (bulges), and nothing else, since a cutting service cuts every line
// it is given; and a line in space, such as the chamber's centre line for a CAD program.
#pragma once

#include "model/PartOutline.h"
#include "model/Space.h"

#include <span>
#include <string>
#include <string_view>

namespace scaricometro {

inline constexpr std::string_view kCuttingLayer = "TAGLIO";

// The whole file, for an outline on a drawing's axes (y up), as onDrawingAxes lays it.
[[nodiscard]] std::string dxfDrawing(const PartOutline& outline);
// The whole file, for a 3D polyline through `points` on `layer`.
[[nodiscard]] std::string dxfPolyline3d(std::span<const Vector3> points, std::string_view layer);

}  // namespace scaricometro
