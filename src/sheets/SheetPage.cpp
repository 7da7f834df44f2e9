#include "sheets/SheetPage.h"

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

constexpr double kRulerMm = 100;
constexpr QRgb kRulerColor = 0x000000;

}  // namespace

Rect pageRect(QPageSize::PageSizeId paper, QPageLayout::Orientation orientation)
{
    QSizeF size = QPageSize(paper).size(QPageSize::Millimeter);
    if (orientation == QPageLayout::Landscape)
        size.transpose();
    return {0, 0, size.width(), size.height()};
}

Rect patternArea(QPageSize::PageSizeId paper, QPageLayout::Orientation orientation)
{
    const Rect page = pageRect(paper, orientation);
    return {kMarginMm, kMarginMm + kHeadingMm, page.width - 2 * kMarginMm,
            page.height - 2 * kMarginMm - kHeadingMm - kFooterMm};
}

QRectF toQRect(const Rect& rect)
{
    return {rect.left, rect.top, rect.width, rect.height};
}

void paintHeading(const Page& page, const QString& figures, int number, int count, const QStringList& lines,
                  QStringView title)
{
    QPointF at(kMarginMm, kMarginMm);
    const double titleHeight = page.text(at, page.contentWidth(), title.toString(), documentFont(12, true));
    page.text(at, page.contentWidth(), u"pagina %1 di %2"_s.arg(number).arg(count), documentFont(9), Qt::AlignRight);
    at.ry() += titleHeight + 1;
    at.ry() += page.text(at, page.contentWidth(), figures, documentFont(7.5)) + 1.5;
    for (const QString& line : lines)
        at.ry() += page.text(at, page.contentWidth(), line, documentFont(8.5));
}

void paintCheckRuler(const Page& page)
{
    const double left = kMarginMm;
    const double base = page.size().height() - kMarginMm - 7;
    page.setPen(kRulerColor, kThinLineMm);
    page.line({left, base}, {left + kRulerMm, base});
    for (int mm = 0; mm <= kRulerMm; ++mm) {
        const double height = mm % 100 == 0 ? 6 : mm % 10 == 0 ? 4 : mm % 5 == 0 ? 3 : 2;
        page.line({left + mm, base}, {left + mm, base - height});
    }
    page.text({left + kRulerMm + 4, base - 3.5}, 80, u"righello di controllo: 100 mm"_s, documentFont(8));
    page.text({left, base + 2}, page.contentWidth(),
              u"Stampare al 100 % (dimensione effettiva), senza adattare alla pagina"_s, documentFont(8, true));
}

}  // namespace scaricometro
