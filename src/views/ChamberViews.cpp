#include "views/ChamberViews.h"

#include "views/ConvexHull.h"
#include "views/QtText.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

constexpr QRgb kWallColor = kTextColor;
constexpr QRgb kWallFill = 0xEEF2F8;
constexpr QRgb kRefusedFill = 0xF2A0A0;
constexpr double kRefusedLineMm = 0.35;
// The paper round the drawings: each view's name row, the gap between the views, the bar's row.
constexpr double kViewGapMm = 3;
constexpr double kBarRowMm = 7;
constexpr double kFramingMm = 2 * kViewNameRowMm + kViewGapMm + kBarRowMm;
constexpr double kLabelWidthMm = 16;
constexpr double kLabelPoints = 6;
constexpr double kLabelMarginMm = 0.5;
constexpr QRgb kLabelVeil = qRgba(255, 255, 255, 200);
// The axes beside a view's name: two arrows, and a circle for the axis square to the page.
constexpr double kNameToAxesMm = 6;
constexpr double kAxisArrowMm = 4.5;
constexpr double kDepthCircleMm = 0.8;
constexpr double kDepthCrossMm = 0.55;
constexpr double kDepthDotMm = 0.15;
// The longest a scale bar is on paper.
constexpr double kLongestBarMm = 40;

struct ViewName {
    QStringView name;
    QStringView across;  // the axis to the right
    QStringView up;      // the axis up the page
    QStringView depth;   // the axis square to the page
    bool depthAway;      // into the page (⊗), or out of it (⊙)
};

constexpr std::array kViewNames{
    ViewName{u"Vista laterale", u"X", u"Z", u"Y", true},
    ViewName{u"Pianta", u"X", u"Y", u"Z", false},
};

QString bendLabel(const ChamberSection& section, const SectionBend& bend)
{
    const QString label = fromView(section.length);
    if (bend.isStraight())
        return label;
    return label + u' ' + decimals(bend.degrees, 5) + u'°';
}

}  // namespace

double standardScale(SheetArea extent, SheetArea room)
{
    for (double decade = 1; std::isfinite(decade); decade *= 10) {
        for (double step : {1.0, 2.0, 5.0}) {
            const double scale = step * decade;
            if (extent.width / scale <= room.width && extent.height / scale <= room.height)
                return scale;
        }
    }
    return 0;
}

QPointF ChamberViews::projected(Projection projection, Vector3 point)
{
    return projection == Projection::Side ? QPointF(point.x, point.z) : QPointF(point.x, point.y);
}

// The side view's viewer stands at −Y, the top view's at +Z.
double ChamberViews::depthOf(Projection projection, Vector3 point)
{
    return projection == Projection::Side ? point.y : -point.z;
}

ChamberViews::ChamberViews(const ChamberRoute& route, const ChamberBends& bends, int rimSamples)
{
    m_views[0].projection = Projection::Side;
    m_views[1].projection = Projection::Top;
    const double outer = route.thickness() / 2;
    for (std::size_t i = 0; i < kChamberSections.size(); ++i) {
        const RouteSection& section = route.sections()[i];
        m_refused[i] = section.refusal.has_value();
        if (!section.cuts)
            continue;
        std::vector<Vector3> rims(2 * static_cast<std::size_t>(rimSamples));
        for (int piece = 1; piece <= section.pieces(); ++piece) {
            for (std::size_t sample = 0; sample < rims.size(); ++sample) {
                const int joint = sample < rims.size() / 2 ? piece - 1 : piece;
                const double azimuth = 2 * std::numbers::pi * static_cast<double>(sample % (rims.size() / 2)) / rimSamples;
                rims[sample] = section.wallPoint(piece, joint, azimuth, outer);
            }
            for (View& view : m_views) {
                std::vector<QPointF> outline;
                double depth = 0;
                for (const Vector3& point : rims) {
                    outline.push_back(projected(view.projection, point));
                    depth += depthOf(view.projection, point);
                }
                view.pieces.push_back({i, convexHull(std::move(outline)), depth / static_cast<double>(rims.size())});
                view.axis.emplace_back(projected(view.projection, section.axisPoint(piece, piece - 1)),
                                       projected(view.projection, section.axisPoint(piece, piece)));
            }
        }
        // Each section named beside the middle of its middle piece's axis.
        const int middle = (section.pieces() + 1) / 2;
        for (View& view : m_views) {
            const QLineF& axis = view.axis[view.axis.size() - static_cast<std::size_t>(section.pieces() - middle) - 1];
            const QLineF whole(projected(view.projection, section.start.point), projected(view.projection, section.end.point));
            view.labels.push_back({bendLabel(kChamberSections[i], bends[i]), axis.center(), whole.length(), section.isBent()});
        }
    }
    for (View& view : m_views) {
        std::stable_sort(view.pieces.begin(), view.pieces.end(),
                         [](const PieceOutline& a, const PieceOutline& b) { return a.depth > b.depth; });
        for (const PieceOutline& piece : view.pieces)
            view.extent = view.extent.isNull() ? piece.outline.boundingRect() : view.extent.united(piece.outline.boundingRect());
    }
}

void ChamberViews::markWanted(Vector3 point)
{
    m_wanted = point;
    for (View& view : m_views) {
        const QPointF at = projected(view.projection, point);
        view.extent = view.extent.united(QRectF(at - QPointF(kWantedRoomMm, kWantedRoomMm), QSizeF(2 * kWantedRoomMm, 2 * kWantedRoomMm)));
    }
}

// Both drawings, chamber mm.
double ChamberViews::drawingHeight() const
{
    return m_views[0].extent.height() + m_views[1].extent.height();
}

QSizeF ChamberViews::sizeAt(double scale, ViewsArrangement arrangement) const
{
    if (arrangement == ViewsArrangement::Stacked) {
        return {std::max(m_views[0].extent.width() / scale, kViewLeastWidthMm),
                kFramingMm + drawingHeight() / scale};
    }
    double width = 0;
    double height = 0;
    for (const View& view : m_views) {
        width += std::max(view.extent.width() / scale, kViewLeastWidthMm);
        height = std::max(height, view.extent.height() / scale);
    }
    return {width + kViewGapMm, kViewNameRowMm + height + kBarRowMm};
}

double ChamberViews::standardScaleIn(QSizeF room) const
{
    return standardScale({m_views[0].extent.width(), drawingHeight()},
                         {room.width(), room.height() - kFramingMm});
}

double ChamberViews::fittingScaleIn(QSizeF room) const
{
    return std::max(m_views[0].extent.width() / room.width(), drawingHeight() / std::max(room.height() - kFramingMm, 1.0));
}

double ChamberViews::labelOverhangMm(const Canvas& canvas) const
{
    const QFont font = documentFont(kLabelPoints);
    double widest = 0;
    for (const View& view : m_views) {
        for (const SectionLabel& label : view.labels)
            widest = std::max(widest, canvas.textSize(label.text, font).width() + 2 * kLabelMarginMm);
    }
    return widest / 2;
}

void ChamberViews::paint(const Canvas& canvas, QPointF topLeft, double scale, ScaleCaption caption,
                         ViewsArrangement arrangement) const
{
    QPainter& painter = canvas.painter();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPointF at = topLeft;
    double bottom = topLeft.y();
    for (const View& view : m_views) {
        paintName(canvas, view, at);
        paintView(canvas, view, at + QPointF(0, kViewNameRowMm), scale);
        const QSizeF drawn(std::max(view.extent.width() / scale, kViewLeastWidthMm), view.extent.height() / scale);
        bottom = std::max(bottom, at.y() + kViewNameRowMm + drawn.height());
        if (arrangement == ViewsArrangement::Stacked)
            at.ry() += kViewNameRowMm + drawn.height() + kViewGapMm;
        else
            at.rx() += drawn.width() + kViewGapMm;
    }
    paintBar(canvas, QPointF(topLeft.x(), bottom), scale, caption);
    painter.restore();
}

// The view's name, and beside it the axes: two arrows in the page, the third a circle with a cross
// where it points away from the viewer, with a dot where it points at him.
void ChamberViews::paintName(const Canvas& canvas, const View& view, QPointF topLeft) const
{
    const ViewName& name = kViewNames[static_cast<std::size_t>(view.projection)];
    const QFont font = documentFont(8, true);
    const QFont axisFont = documentFont(6);
    canvas.text(topLeft + QPointF(0, kViewNameRowMm / 4), kLabelWidthMm * 3, name.name.toString(), font);
    const QPointF origin =
        topLeft + QPointF(canvas.textSize(name.name.toString(), font).width() + kNameToAxesMm, kViewNameRowMm * 3 / 4);
    canvas.setPen(kTextColor, kThinLineMm);
    canvas.arrow(origin + QPointF(kAxisArrowMm, 0), {1, 0}, kAxisArrowMm, kAxisArrowHeadMm);
    canvas.arrow(origin - QPointF(0, kAxisArrowMm), {0, -1}, kAxisArrowMm, kAxisArrowHeadMm);
    canvas.circle(origin, kDepthCircleMm);
    if (name.depthAway) {
        canvas.line(origin - QPointF(kDepthCrossMm, kDepthCrossMm), origin + QPointF(kDepthCrossMm, kDepthCrossMm));
        canvas.line(origin + QPointF(-kDepthCrossMm, kDepthCrossMm), origin + QPointF(kDepthCrossMm, -kDepthCrossMm));
    } else {
        canvas.circle(origin, kDepthDotMm);
    }
    // Each axis's letter beside its arrow's head, the third's to the left of its circle.
    const double letter = canvas.textSize(name.across.toString(), axisFont).height();
    canvas.text(origin + QPointF(kAxisArrowMm + kDepthDotMm * 3, -letter / 2), letter, name.across.toString(), axisFont);
    canvas.text(origin + QPointF(kDepthCircleMm, -kAxisArrowMm - letter / 2), letter, name.up.toString(), axisFont);
    canvas.text(origin - QPointF(kDepthCircleMm + letter, letter / 8), letter, name.depth.toString(), axisFont);
}

void ChamberViews::paintView(const Canvas& canvas, const View& view, QPointF topLeft, double scale) const
{
    const QRectF& extent = view.extent;
    const auto onPaper = [&](QPointF mm) {
        return QPointF(topLeft.x() + (mm.x() - extent.left()) / scale, topLeft.y() + (extent.bottom() - mm.y()) / scale);
    };
    for (const PieceOutline& piece : view.pieces) {
        QPolygonF outline;
        for (const QPointF& point : piece.outline)
            outline.append(onPaper(point));
        const bool refused = m_refused[piece.section];
        canvas.setPen(refused ? kRefusedColor : kWallColor, refused ? kRefusedLineMm : kThinLineMm);
        canvas.polygon(outline, refused ? kRefusedFill : kWallFill);
    }
    canvas.setPen(kGuideColor, kThinLineMm, Qt::DashDotLine);
    for (const QLineF& axis : view.axis)
        canvas.line(onPaper(axis.p1()), onPaper(axis.p2()));
    if (m_wanted)
        canvas.wantedMark(onPaper(projected(view.projection, *m_wanted)));
    const QFont font = documentFont(kLabelPoints);
    // A straight section too short for its name goes unnamed; each name on a veil of paper, so that
    // the joints under it do not cross it out.
    for (const SectionLabel& label : view.labels) {
        const QSizeF size = canvas.textSize(label.text, font);
        if (!label.bent && label.axisLength / scale < size.width() + kLabelMarginMm)
            continue;
        const QRectF box(onPaper(label.at) - QPointF(size.width(), size.height()) / 2, size);
        canvas.painter().fillRect(canvas.fromMm().mapRect(box), QColor::fromRgba(kLabelVeil));
        canvas.text(box.topLeft() - QPointF(kLabelMarginMm, 0), size.width() + 2 * kLabelMarginMm, label.text, font,
                    Qt::AlignHCenter, kGuideColor);
    }
}

// The longest round length that is at most so long on paper, with the scale it is drawn at.
void ChamberViews::paintBar(const Canvas& canvas, QPointF topLeft, double scale, ScaleCaption caption) const
{
    double bar = 1;
    while (bar * 10 / scale <= kLongestBarMm)
        bar *= 10;
    for (const double step : {5.0, 2.0}) {
        if (bar * step / scale <= kLongestBarMm) {
            bar *= step;
            break;
        }
    }
    const QPointF top = topLeft + QPointF(0, 2);
    double barLeft = top.x();
    if (caption == ScaleCaption::Standard) {
        canvas.text(top, 30, u"Scala 1:%1"_s.arg(decimals(scale, 0)),
                    documentFont(8, true));
        barLeft += 30;
    }
    const QPointF barStart(barLeft, top.y() + 2);
    const QPointF barEnd = barStart + QPointF(bar / scale, 0);
    canvas.setPen(kTextColor, kThinLineMm);
    canvas.line(barStart, barEnd);
    canvas.line(barStart - QPointF(0, 1.5), barStart + QPointF(0, 1.5));
    canvas.line(barEnd - QPointF(0, 1.5), barEnd + QPointF(0, 1.5));
    canvas.text(barEnd + QPointF(2, -1.5), 40, u"%1 mm"_s.arg(decimals(bar, 0)),
                documentFont(8));
}

}  // namespace scaricometro
