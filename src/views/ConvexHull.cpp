#include "views/ConvexHull.h"

#include <algorithm>

namespace scaricometro {

// Andrew's monotone chain: the convex hull, counter-clockwise.
QPolygonF convexHull(std::vector<QPointF> points)
{
    std::sort(points.begin(), points.end(), [](QPointF a, QPointF b) { return a.x() < b.x() || (a.x() == b.x() && a.y() < b.y()); });
    if (points.size() < 3)
        return QPolygonF(QList<QPointF>(points.begin(), points.end()));
    const auto turnsLeft = [](QPointF o, QPointF a, QPointF b) {
        return (a.x() - o.x()) * (b.y() - o.y()) - (a.y() - o.y()) * (b.x() - o.x()) > 0;
    };
    std::vector<QPointF> hull(2 * points.size());
    std::size_t count = 0;
    for (const QPointF& point : points) {
        while (count >= 2 && !turnsLeft(hull[count - 2], hull[count - 1], point))
            --count;
        hull[count++] = point;
    }
    const std::size_t lower = count + 1;
    for (auto point = std::next(points.rbegin()); point != points.rend(); ++point) {
        while (count >= lower && !turnsLeft(hull[count - 2], hull[count - 1], *point))
            --count;
        hull[count++] = *point;
    }
    return QPolygonF(QList<QPointF>(hull.begin(), hull.begin() + static_cast<std::ptrdiff_t>(count - 1)));
}

}  // namespace scaricometro
