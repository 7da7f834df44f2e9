#include "ui/ChamberPreview.h"

#include "views/QtText.h"

#include <QPainter>

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

// The paper the views are drawn on, and its border.
constexpr QRgb kPaperColor = 0xFFFFFF;
constexpr QRgb kBorderColor = 0xA0A0A0;
constexpr double kPaperMarginMm = 3;
constexpr QSize kPreferredSize(520, 430);

}  // namespace

ChamberPreview::ChamberPreview(QWidget* parent)
    : QWidget(parent)
{
    setAccessibleName(tr("Anteprima della camera"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMinimumSize(kPreferredSize / 2);
}

QSize ChamberPreview::sizeHint() const
{
    return kPreferredSize;
}

void ChamberPreview::showRoute(const ChamberRoute& route, const ChamberBends& bends)
{
    m_views.emplace(route, bends, ChamberViews::kPreviewRimSamples);
    const Vector3 outlet = route.outlet().point;
    setAccessibleDescription(tr("Vista laterale e pianta della camera. L'uscita è a X %1, Y %2, Z %3 mm dall'ingresso.")
                                 .arg(twoDecimals(outlet.x), twoDecimals(outlet.y), twoDecimals(outlet.z)));
    update();
}

void ChamberPreview::showNothing()
{
    m_views.reset();
    setAccessibleDescription(tr("Nessuna camera da mostrare"));
    update();
}

void ChamberPreview::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgb(kPaperColor));
    painter.setPen(QColor::fromRgb(kBorderColor));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (!m_views)
        return;
    const double dotsPerMm = logicalDpiX() / 25.4;
    const Canvas canvas(painter, dotsPerMm);
    const QSizeF room = QSizeF(size()) / dotsPerMm - QSizeF(2 * kPaperMarginMm, 2 * kPaperMarginMm);
    m_views->paint(canvas, {kPaperMarginMm, kPaperMarginMm}, m_views->fittingScaleIn(room), ScaleCaption::BarOnly);
}

}  // namespace scaricometro
