// Painting addressed in millimetres of the paper, or of the screen, on any paint device. Shapes are
// mapped to the device and drawn with pens of the device's own units, so a line keeps its width
// whatever the transformation; text is set in points, which the device's resolution scales.
#pragma once

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QPolygonF>
#include <QRgb>
#include <QSizeF>
#include <QString>
#include <QTransform>

namespace scaricometro {

// The inks that the printed sheets and the views share.
inline constexpr QRgb kTextColor = 0x404040;
inline constexpr QRgb kGuideColor = 0x0050B4;  // centre lines, marks, arrows
inline constexpr QRgb kRefusedColor = 0xD00000;
inline constexpr QRgb kWantedColor = 0x008C00;  // where the outlet is wanted
inline constexpr double kWantedMarkMm = 1.6;
// The chamber's mm round the wanted point that a view takes in with it.
inline constexpr double kWantedRoomMm = 1;
inline constexpr double kThinLineMm = 0.15;
// Over every view, its name and its axes in a row of this height; a view is at least as wide as
// they are.
inline constexpr double kViewNameRowMm = 6.5;
inline constexpr double kViewLeastWidthMm = 36;
inline constexpr double kAxisArrowHeadMm = 1.2;

[[nodiscard]] QFont documentFont(double points, bool bold = false);

class Canvas {
public:
    Canvas(QPainter& painter, double dotsPerMm)
        : m_painter(painter)
        , m_dotsPerMm(dotsPerMm)
    {
    }

    [[nodiscard]] QPainter& painter() const { return m_painter; }
    [[nodiscard]] QTransform fromMm() const { return QTransform::fromScale(m_dotsPerMm, m_dotsPerMm); }
    [[nodiscard]] QPointF at(QPointF mm) const { return mm * m_dotsPerMm; }

    void setPen(QRgb color, double widthMm, Qt::PenStyle style = Qt::SolidLine) const;
    void line(QPointF from, QPointF to) const { m_painter.drawLine(at(from), at(to)); }
    void path(const QPainterPath& mm) const { m_painter.drawPath(fromMm().map(mm)); }
    // Filled with `fill` and outlined with the pen.
    void polygon(const QPolygonF& mm, QRgb fill) const;
    void circle(QPointF centre, double radius) const;
    // Where the outlet is wanted: a circle with a cross, in its own colour.
    void wantedMark(QPointF centre) const;
    // An arrow `lengthMm` long to `tip`, pointing the unit direction `toward`, its head `headMm`.
    void arrow(QPointF tip, QPointF toward, double lengthMm, double headMm) const;

    // Draws `text` wrapped at spaces in a box `width` wide from `topLeft`; the height it took, mm.
    double text(QPointF topLeft, double width, const QString& text, const QFont& font,
                Qt::Alignment alignment = Qt::AlignLeft, QRgb color = kTextColor) const;
    // The size of `text` on one line, mm.
    [[nodiscard]] QSizeF textSize(const QString& text, const QFont& font) const;

private:
    QPainter& m_painter;
    double m_dotsPerMm;
};

}  // namespace scaricometro
