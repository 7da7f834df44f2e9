#include "ui/ChamberPreview.h"

#include "views/QtText.h"

#include <QPainter>

#include <algorithm>

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

void ChamberPreview::showRoute(const ChamberRoute& route, const ChamberBends& bends, std::optional<Vector3> wanted)
{
    m_views.emplace(route, bends, ChamberViews::kPreviewRimSamples);
    m_pictorial.emplace(route, PictorialView::kPreviewSegments);
    if (wanted) {
        m_views->markWanted(*wanted);
        m_pictorial->markWanted(*wanted);
    }
    const Vector3 outlet = route.outlet().point;
    setAccessibleDescription(tr("Vista laterale, pianta e vista dimetrica della camera. L'uscita è a X %1, Y %2, "
                                "Z %3 mm dall'ingresso.")
                                 .arg(twoDecimals(outlet.x), twoDecimals(outlet.y), twoDecimals(outlet.z)));
    update();
}

void ChamberPreview::showNothing()
{
    m_views.reset();
    m_pictorial.reset();
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
    const QSizeF room = QSizeF(size()) / dotsPerMm - QSizeF(3 * kPaperMarginMm, 3 * kPaperMarginMm);
    // The room split between the two and the dimetric view, side by side or one over the other,
    // in proportion to what each takes: whichever draws them larger.
    const QSizeF views = m_views->sizeAt(1);
    const QSizeF pictorial = m_pictorial->sizeAt(1);
    const double widthShare = views.width() / (views.width() + pictorial.width());
    const double heightShare = views.height() / (views.height() + pictorial.height());
    const QSizeF besideViews(room.width() * widthShare, room.height());
    const QSizeF besidePictorial(room.width() - besideViews.width(), room.height());
    const QSizeF overViews(room.width(), room.height() * heightShare);
    const QSizeF underPictorial(room.width(), room.height() - overViews.height());
    const double beside = std::max(m_views->fittingScaleIn(besideViews), m_pictorial->fittingScaleIn(besidePictorial));
    const double over = std::max(m_views->fittingScaleIn(overViews), m_pictorial->fittingScaleIn(underPictorial));
    const double scale = std::min(beside, over);
    const QPointF topLeft(kPaperMarginMm, kPaperMarginMm);
    m_views->paint(canvas, topLeft, scale, ScaleCaption::BarOnly);
    const QPointF pictorialAt = beside <= over ? topLeft + QPointF(m_views->sizeAt(scale).width() + kPaperMarginMm, 0)
                                               : topLeft + QPointF(0, m_views->sizeAt(scale).height() + kPaperMarginMm);
    m_pictorial->paint(canvas, pictorialAt, scale);
}

}  // namespace scaricometro
