// The chamber seen obliquely, so that a bend in any plane reads at a glance: the dimetric view of
// ISO 5456-3, looking along −(1, −√7, 1) / 3 from in front of the side view, above it and towards
// the outlet, so that X runs to the right 7° below the horizontal, Y away at 41° above it and Z
// up, X and Z drawn at 0.94 of their length and Y at 0.47. Flat-shaded from the model's own
// triangles, the pieces far from the viewer first and in each piece its far faces first; a
// section whose bend is refused is red, as in the other views. Not to scale: no bar.
#pragma once

#include "model/ChamberRoute.h"
#include "views/Canvas.h"

#include <QPolygonF>
#include <QRectF>
#include <QRgb>
#include <QSizeF>

#include <optional>
#include <vector>

namespace scaricometro {

class PictorialView {
public:
    // `segments` points round each rim: enough for print, fewer for a screen.
    explicit PictorialView(const ChamberRoute& route, int segments = kPrintSegments);

    // Marks where the outlet is wanted; the view grows to take it in.
    void markWanted(Vector3 point);

    // The room the view takes at 1:scale, mm, with its name.
    [[nodiscard]] QSizeF sizeAt(double scale) const;
    // The scale at which it just fills `room`.
    [[nodiscard]] double fittingScaleIn(QSizeF room) const;
    void paint(const Canvas& canvas, QPointF topLeft, double scale) const;

    // Where a point of the frame falls in the view, mm with y up, and how near the viewer it is.
    [[nodiscard]] static QPointF projected(Vector3 point);
    [[nodiscard]] static double nearness(Vector3 point);

    static constexpr int kPrintSegments = 48;
    static constexpr int kPreviewSegments = 24;

private:
    struct Facet {
        QPolygonF corners;  // mm of the chamber, y up
        QRgb color = 0;
    };
    struct Piece {
        QPolygonF outline;  // under its facets, so that no paper shows between them
        QRgb underlay = 0;
        std::vector<Facet> facets;  // far ones first
        double nearness = 0;
        bool refused = false;
    };

    void paintName(const Canvas& canvas, QPointF topLeft) const;

    std::vector<Piece> m_pieces;  // far ones first
    QRectF m_extent;              // y up
    std::optional<Vector3> m_wanted;
};

}  // namespace scaricometro
