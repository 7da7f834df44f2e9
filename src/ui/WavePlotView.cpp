#include "ui/WavePlotView.h"

#include <QPainter>

namespace scaricometro {
namespace {

constexpr QRgb kPaperColor = 0xFFFFFF;
constexpr QRgb kBorderColor = 0xA0A0A0;
constexpr QSize kPreferredSize(460, 270);
constexpr double kMillimetresPerInch = 25.4;

}  // namespace

WavePlotView::WavePlotView(Paint paint, const WavePlotData& plotData, const QString& name, QWidget* parent)
    : QWidget(parent)
    , m_paint(paint)
    , m_data(plotData)
{
    setAccessibleName(name);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMinimumSize(kPreferredSize / 2);
}

QSize WavePlotView::sizeHint() const
{
    return kPreferredSize;
}

void WavePlotView::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor::fromRgb(kPaperColor));
    painter.setPen(QColor::fromRgb(kBorderColor));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    m_paint(painter, QRectF(rect()), logicalDpiX() / kMillimetresPerInch, m_data);
}

}  // namespace scaricometro
