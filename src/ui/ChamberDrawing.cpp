// Paints the chamber's segments and keeps their colours.
#include "ui/ChamberDrawing.h"

#include <QPainter>
#include <QPen>

namespace scaricometro {
namespace {

std::size_t indexOf(int line)
{
    return static_cast<std::size_t>(line - 1);
}

bool isLine(int line)
{
    return line >= 1 && line <= static_cast<int>(kSegments.size());
}

QRect pixelBounds(const Segment& segment)
{
    // Square caps reach half a pen width past each end; one whole width leaves a safe margin.
    return QRect(toPixels(segment.from), toPixels(segment.to))
        .normalized()
        .adjusted(-segment.width, -segment.width, segment.width, segment.width);
}

}  // namespace

std::optional<int> ChamberDrawing::lineNumber(QStringView name)
{
    for (std::size_t i = 0; i < kSegments.size(); ++i) {
        if (kSegments[i].name == name)
            return static_cast<int>(i) + 1;
    }
    return std::nullopt;
}

QRect ChamberDrawing::bounds()
{
    QRect box;
    for (const Segment& segment : kSegments)
        box |= pixelBounds(segment);
    return box;
}

std::array<QColor, kSegments.size()> ChamberDrawing::startColors()
{
    std::array<QColor, kSegments.size()> colors;
    for (std::size_t i = 0; i < kSegments.size(); ++i)
        colors[i] = QColor::fromRgb(kSegments[i].startColor);
    return colors;
}

QColor ChamberDrawing::color(int line) const
{
    return isLine(line) ? m_colors[indexOf(line)] : QColor();
}

QRect ChamberDrawing::setColor(int line, const QColor& color)
{
    if (!isLine(line) || m_colors[indexOf(line)] == color)
        return {};
    m_colors[indexOf(line)] = color;
    return pixelBounds(kSegments[indexOf(line)]);
}

void ChamberDrawing::paint(QPainter& painter, const QRect& area) const
{
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Last to first, so the outline lies over the extension lines where they meet its corners.
    for (std::size_t i = kSegments.size(); i-- > 0;) {
        const Segment& segment = kSegments[i];
        if (!pixelBounds(segment).intersects(area))
            continue;
        painter.setPen(QPen(m_colors[i], segment.width, Qt::SolidLine, Qt::SquareCap,
                            Qt::MiterJoin));
        painter.drawLine(toPixels(segment.from), toPixels(segment.to));
    }
}

}  // namespace scaricometro
