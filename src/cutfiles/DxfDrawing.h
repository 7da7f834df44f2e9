// A part's outline as a drawing that the programs of laser, plasma and waterjet shops read: ASCII
// DXF of AutoCAD R12, in millimetres at 1:1, the part one closed polyline on the cutting layer
// with its arcs as true arcs (bulges), and nothing else, since a cutting service cuts every line
// it is given.
#pragma once

#include "model/PartOutline.h"

#include <string>
#include <string_view>

namespace scaricometro {

inline constexpr std::string_view kCuttingLayer = "TAGLIO";

// The whole file, for an outline on a drawing's axes (y up), as onDrawingAxes lays it.
[[nodiscard]] std::string dxfDrawing(const PartOutline& outline);

}  // namespace scaricometro
