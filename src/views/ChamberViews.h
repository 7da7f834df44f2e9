// The chamber seen from the side (looking along +Y, X to the right and Z up) and from above (the
// top view, "pianta": looking down along −Z, X to the right and Y up), as Italian drawings put
// them: the top view under the side view, aligned on X (first-angle projection). Each piece is
// drawn as the outline of its outer wall, the far ones first, so that the near ones hide them,
// with the centre line over them all. Painted with QPainter from the route on a Canvas: the data
// sheet and the dialog's preview draw the same views; they know no widgets and no pages.
#pragma once

#include "model/ChamberRoute.h"
#include "model/SheetTiling.h"
#include "views/Canvas.h"

#include <QLineF>
#include <QPolygonF>
#include <QSizeF>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace scaricometro {

// 1:n for the largest of the standard scales 1:1, 1:2, 1:5, 1:10, 1:20 ... at which `extent`
// fits in `room`; n returned.
[[nodiscard]] double standardScale(SheetArea extent, SheetArea room);

// What the bar under the views says: the standard scale it is drawn at, or the bar's length alone
// where the scale is only what fits the room.
enum class ScaleCaption { Standard, BarOnly };

// How the two views lie: the top view under the side view, as drawings put them, or beside it,
// where the room is wide rather than tall.
enum class ViewsArrangement { Stacked, Across };

class ChamberViews {
public:
    // `rimSamples` points round each end of each piece: enough for print, fewer for a screen.
    ChamberViews(const ChamberRoute& route, const ChamberBends& bends, int rimSamples = kPrintRimSamples);

    // Marks where the outlet is wanted in both views, which grow to take it in.
    void markWanted(Vector3 point);

    // The room both views take at 1:scale, mm, with their names and the bar.
    [[nodiscard]] QSizeF sizeAt(double scale, ViewsArrangement arrangement = ViewsArrangement::Stacked) const;
    // The largest standard scale at which they fit `room`, stacked.
    [[nodiscard]] double standardScaleIn(QSizeF room) const;
    // The scale at which they just fill `room` stacked, standard or not; a room as wide as their
    // names at least.
    [[nodiscard]] double fittingScaleIn(QSizeF room) const;
    // How far the sections' names may reach beyond the drawings, either side, on `canvas`: half the
    // widest of them, as each is centred on its section.
    [[nodiscard]] double labelOverhangMm(const Canvas& canvas) const;
    // Both views from `topLeft`: the side view, the top view under it or beside it, then the bar.
    void paint(const Canvas& canvas, QPointF topLeft, double scale, ScaleCaption caption,
               ViewsArrangement arrangement = ViewsArrangement::Stacked) const;

    static constexpr int kPrintRimSamples = 48;
    static constexpr int kPreviewRimSamples = 32;

private:
    enum class Projection { Side, Top };

    // One piece's outline in a view, mm of the chamber with y up, and how far it lies from the
    // viewer.
    struct PieceOutline {
        std::size_t section = 0;
        QPolygonF outline;
        double depth = 0;
    };
    struct SectionLabel {
        QString text;
        QPointF at;  // the middle of the section's axis
        double axisLength = 0;
        bool bent = false;
    };
    struct View {
        Projection projection = Projection::Side;
        std::vector<PieceOutline> pieces;  // far ones first
        std::vector<QLineF> axis;
        std::vector<SectionLabel> labels;
        QRectF extent;  // y up: top() is the lowest y
    };

    [[nodiscard]] static QPointF projected(Projection projection, Vector3 point);
    [[nodiscard]] static double depthOf(Projection projection, Vector3 point);
    [[nodiscard]] double drawingHeight() const;
    void paintView(const Canvas& canvas, const View& view, QPointF topLeft, double scale) const;
    void paintName(const Canvas& canvas, const View& view, QPointF topLeft) const;
    void paintBar(const Canvas& canvas, QPointF topLeft, double scale, ScaleCaption caption) const;

    std::array<View, 2> m_views;
    std::optional<Vector3> m_wanted;
    std::array<bool, kChamberSections.size()> m_refused{};
};

}  // namespace scaricometro
