#include "sheets/SheetPage.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPdfWriter>
#include <QSaveFile>

#include <cmath>
#include <vector>

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

constexpr double kRulerMm = 100;
constexpr QRgb kRulerColor = 0x000000;
constexpr double kMmPerInch = 25.4;

// The heading's rows from the top margin down: the title, the figures and the page's lines, each
// with the space under it.
struct HeadingRow {
    QString text;
    QFont font;
    double spaceAfter = 0;
};

std::vector<HeadingRow> headingRows(QStringView title, const QString& figures, const QStringList& lines)
{
    std::vector<HeadingRow> rows{{title.toString(), documentFont(12, true), 1}, {figures, documentFont(7.5), 1.5}};
    for (const QString& line : lines)
        rows.push_back({line, documentFont(8.5), 0});
    return rows;
}

QFontMetricsF metricsAtLayout(const QFont& font)
{
    static const QImage measure = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dotsPerMetre = static_cast<int>(std::lround(kLayoutDotsPerInch / kMmPerInch * 1000));
        image.setDotsPerMeterX(dotsPerMetre);
        image.setDotsPerMeterY(dotsPerMetre);
        return image;
    }();
    return QFontMetricsF(font, &measure);
}

}  // namespace

double wrappedTextHeight(const QString& text, const QFont& font, double width)
{
    const double dotsPerMm = kLayoutDotsPerInch / kMmPerInch;
    return metricsAtLayout(font)
               .boundingRect(QRectF(0, 0, width * dotsPerMm, 1e9), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text)
               .height()
        / dotsPerMm;
}

double lineHeight(const QFont& font)
{
    return metricsAtLayout(font).height() * kMmPerInch / kLayoutDotsPerInch;
}

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
    page.text(at, page.contentWidth(), u"pagina %1 di %2"_s.arg(number).arg(count), documentFont(9), Qt::AlignRight);
    for (const HeadingRow& row : headingRows(title, figures, lines))
        at.ry() += page.text(at, page.contentWidth(), row.text, row.font) + row.spaceAfter;
}

double headingBottom(const QString& figures, const QStringList& lines, double contentWidth, QStringView title)
{
    double bottom = kMarginMm;
    for (const HeadingRow& row : headingRows(title, figures, lines))
        bottom += wrappedTextHeight(row.text, row.font, contentWidth) + row.spaceAfter;
    return bottom;
}

std::optional<QString> savePdf(const QString& path, QStringView title,
                               const std::function<void(QPagedPaintDevice&)>& paint)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return u"il file non si può creare (%1)"_s.arg(file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setCreator(u"Scaricometro"_s);
        writer.setTitle(title.toString());
        paint(writer);
    }
    if (!file.commit())
        return u"il file non si può scrivere (%1)"_s.arg(file.errorString());
    return std::nullopt;
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
