// The frame of every printed page: its size and margins, the heading with the title, the page
// number and the figures, and the 100 mm ruler at its foot that checks the print's scale.
#pragma once

#include "model/PartOutline.h"
#include "views/Canvas.h"

#include <QPageLayout>
#include <QPageSize>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

class QPagedPaintDevice;

namespace scaricometro {

inline constexpr double kMarginMm = 10;
// The room every pattern page keeps for its heading, the tallest a pattern's can be.
inline constexpr double kHeadingMm = 34;
// Between a heading and what follows it, where the page lays out its content under its own heading.
inline constexpr double kUnderHeadingMm = 4;
// The resolution text is measured at: the PDF writer's own.
inline constexpr int kLayoutDotsPerInch = 1200;
inline constexpr double kFooterMm = 16;
inline constexpr QStringView kDocumentTitle = u"Scaricometro: costruzione della camera";

inline constexpr std::array kOrientations{QPageLayout::Portrait, QPageLayout::Landscape};

// A page being painted, addressed in millimetres from its top-left corner.
class Page : public Canvas {
public:
    Page(QPainter& painter, QSizeF sizeMm, double dotsPerMm)
        : Canvas(painter, dotsPerMm)
        , m_size(sizeMm)
    {
    }

    [[nodiscard]] QSizeF size() const { return m_size; }
    [[nodiscard]] double contentWidth() const { return m_size.width() - 2 * kMarginMm; }

private:
    QSizeF m_size;
};

[[nodiscard]] Rect pageRect(QPageSize::PageSizeId paper, QPageLayout::Orientation orientation);

// The part of a page, in mm from its top-left corner, where a pattern or the data sheet is drawn;
// the rest carries the heading and the check ruler.
[[nodiscard]] Rect patternArea(QPageSize::PageSizeId paper, QPageLayout::Orientation orientation);

[[nodiscard]] QRectF toQRect(const Rect& rect);

// The height (mm) of `text` in `font` wrapped at spaces in a box `width` mm wide, as the PDF sets it.
[[nodiscard]] double wrappedTextHeight(const QString& text, const QFont& font, double width);
// The height (mm) of one line of `font`, as the PDF sets it.
[[nodiscard]] double lineHeight(const QFont& font);

// Title, page number, the figures the document was made from, and what this page is.
void paintHeading(const Page& page, const QString& figures, int number, int count, const QStringList& lines,
                  QStringView title = kDocumentTitle);
// Where such a heading ends on a page `contentWidth` mm wide, in mm from the page's top: a page that
// lays out its content under its own heading starts it there.
[[nodiscard]] double headingBottom(const QString& figures, const QStringList& lines, double contentWidth,
                                   QStringView title = kDocumentTitle);
// Writes the pages `paint` makes into a PDF at `path`, titled `title`, whole or not at all; why
// not, where it could not.
[[nodiscard]] std::optional<QString> savePdf(const QString& path, QStringView title,
                                             const std::function<void(QPagedPaintDevice&)>& paint);
// A 100 mm rule with a tick each millimetre, to check the print with a real one, and how to print.
void paintCheckRuler(const Page& page);

}  // namespace scaricometro
