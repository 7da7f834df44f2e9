#include "ui/ChamberPreview.h"

#include "views/QtText.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

// The paper the views are drawn on, and its border.
constexpr QRgb kPaperColor = 0xFFFFFF;
constexpr QRgb kBorderColor = 0xA0A0A0;
constexpr double kPaperMarginMm = 3;
constexpr QSize kPreferredSize(520, 430);
// The scales searched between, 1:n, and how finely.
constexpr double kLargestDrawing = 1e-3;
constexpr double kSmallestDrawing = 1e6;
constexpr int kScaleHalvings = 60;

// The two views stacked or across, and the dimetric view beside them or under them.
struct Layout {
    ViewsArrangement views;
    bool pictorialBeside;
};

constexpr std::array kLayouts{
    Layout{ViewsArrangement::Stacked, true},
    Layout{ViewsArrangement::Stacked, false},
    Layout{ViewsArrangement::Across, true},
    Layout{ViewsArrangement::Across, false},
};

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
    const QSizeF room = QSizeF(size()) / dotsPerMm - QSizeF(2 * kPaperMarginMm, 2 * kPaperMarginMm);
    // The sections' names may reach beyond the drawings: room for them either side.
    const double overhang = m_views->labelOverhangMm(canvas);
    const auto viewsSize = [&](double scale, const Layout& layout) {
        return m_views->sizeAt(scale, layout.views) + QSizeF(2 * overhang, 0);
    };
    const auto fits = [&](double scale, const Layout& layout) {
        const QSizeF views = viewsSize(scale, layout);
        const QSizeF pictorial = m_pictorial->sizeAt(scale);
        if (layout.pictorialBeside)
            return views.width() + kPaperMarginMm + pictorial.width() <= room.width()
                && std::max(views.height(), pictorial.height()) <= room.height();
        return std::max(views.width(), pictorial.width()) <= room.width()
            && views.height() + kPaperMarginMm + pictorial.height() <= room.height();
    };
    // Whichever layout draws them largest: the least 1:n at which it fits, halving its logarithm.
    double scale = kSmallestDrawing;
    Layout chosen = kLayouts.front();
    for (const Layout& layout : kLayouts) {
        double fitting = kSmallestDrawing;
        double tooLarge = kLargestDrawing;
        for (int i = 0; i < kScaleHalvings; ++i) {
            const double middle = std::sqrt(fitting * tooLarge);
            (fits(middle, layout) ? fitting : tooLarge) = middle;
        }
        if (fitting < scale) {
            scale = fitting;
            chosen = layout;
        }
    }
    const QPointF topLeft(kPaperMarginMm, kPaperMarginMm);
    m_views->paint(canvas, topLeft + QPointF(overhang, 0), scale, ScaleCaption::BarOnly, chosen.views);
    const QSizeF views = viewsSize(scale, chosen);
    m_pictorial->paint(canvas,
                       topLeft + (chosen.pictorialBeside ? QPointF(views.width() + kPaperMarginMm, 0)
                                                         : QPointF(0, views.height() + kPaperMarginMm)),
                       scale);
}

}  // namespace scaricometro
