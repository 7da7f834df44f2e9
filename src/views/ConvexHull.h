// The outline of a piece in a view: the convex hull of its rims' points, as every view draws it.
#pragma once

#include <QPointF>
#include <QPolygonF>

#include <vector>

namespace scaricometro {

[[nodiscard]] QPolygonF convexHull(std::vector<QPointF> points);

}  // namespace scaricometro
