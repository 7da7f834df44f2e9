#include "views/Canvas.h"

#include <QFontMetricsF>

#include <cmath>

namespace scaricometro {

using namespace Qt::StringLiterals;

QFont documentFont(double points, bool bold)
{
    QFont font(u"Arial"_s);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void Canvas::setPen(QRgb color, double widthMm, Qt::PenStyle style) const
{
    QPen pen(QColor::fromRgb(color), widthMm * m_dotsPerMm, style, Qt::RoundCap, Qt::RoundJoin);
    m_painter.setPen(pen);
    m_painter.setBrush(Qt::NoBrush);
}

void Canvas::polygon(const QPolygonF& mm, QRgb fill) const
{
    m_painter.setBrush(QColor::fromRgb(fill));
    m_painter.drawPolygon(fromMm().map(mm));
    m_painter.setBrush(Qt::NoBrush);
}

void Canvas::wantedMark(QPointF centre) const
{
    setPen(kWantedColor, 2 * kThinLineMm);
    circle(centre, kWantedMarkMm);
    const double arm = kWantedMarkMm * 1.6;
    line(centre - QPointF(arm, 0), centre + QPointF(arm, 0));
    line(centre - QPointF(0, arm), centre + QPointF(0, arm));
}

void Canvas::circle(QPointF centre, double radius) const
{
    m_painter.drawEllipse(at(centre), radius * m_dotsPerMm, radius * m_dotsPerMm);
}

void Canvas::arrow(QPointF tip, QPointF toward, double lengthMm, double headMm) const
{
    constexpr double kHeadDegrees = 25;
    line(tip - toward * lengthMm, tip);
    for (const double side : {-1.0, 1.0}) {
        const QTransform turn = QTransform().rotate(side * kHeadDegrees);
        line(tip, tip - turn.map(toward) * headMm);
    }
}

double Canvas::text(QPointF topLeft, double width, const QString& text, const QFont& font, Qt::Alignment alignment,
                    QRgb color) const
{
    m_painter.setFont(font);
    m_painter.setPen(QColor::fromRgb(color));
    QRectF used;
    m_painter.drawText(QRectF(at(topLeft), QSizeF(width, 1000) * m_dotsPerMm),
                       static_cast<int>(alignment | Qt::AlignTop | Qt::TextWordWrap), text, &used);
    return used.height() / m_dotsPerMm;
}

QSizeF Canvas::textSize(const QString& text, const QFont& font) const
{
    return QFontMetricsF(font, m_painter.device()).size(Qt::TextSingleLine, text) / m_dotsPerMm;
}

}  // namespace scaricometro
