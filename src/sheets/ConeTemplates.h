// The templates as a printed document: a data sheet with every figure and a side view of the
// chamber to scale, bent as it is to be made, then each cone's pattern at full size, and each
// bent section's with the cuts between its pieces, tiled over as many sheets as it needs.
// Painted on any paged device, so that a PDF file and a printer get the same pages.
#pragma once

#include "model/ConeDevelopment.h"
#include "model/SheetTiling.h"

#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>
#include <string_view>
#include <variant>
#include <vector>

class QPagedPaintDevice;

namespace scaricometro {

struct PaperChoice {
    QStringView name;
    QPageSize::PageSizeId size;
};

inline constexpr std::array kPapers{
    PaperChoice{u"A4", QPageSize::A4},
    PaperChoice{u"A3", QPageSize::A3},
    PaperChoice{u"Letter", QPageSize::Letter},
};

struct LabelledValue {
    QString label;
    QString value;
};

// The chamber as the window shows it: the five inputs as read and the eleven results as written,
// each with its caption, and the dimensions behind them.
struct ChamberFigures {
    QList<LabelledValue> inputs;
    QList<LabelledValue> results;
    ChamberDimensions dimensions;
};

struct TemplateOptions {
    double thickness = 1;  // mm
    QPageSize::PageSizeId paper = QPageSize::A4;
    int piecesPerCone = 1;  // of a straight cone
    ChamberBends bends{};
};

// One section's pattern and its sheets: a straight cone's sector, or one of its equal pieces; a
// bent section's pieces, each where it lies on the sector or the blank they are cut from.
struct PatternSheets {
    std::size_t section = 0;  // in kChamberSections
    std::vector<ChamberPart> parts;
    std::optional<PieCuts> cuts;  // a bent section's
    TilePlan plan;
};

// A section whose pattern would need more sheets than a printed template should.
struct TooManySheets {
    std::size_t section;  // in kChamberSections
};

// The model's names ("L2", "pancia") as Qt text.
[[nodiscard]] QString fromView(std::string_view text);

// The part of a page, in mm from its top-left corner, where a pattern is drawn; the rest carries
// the heading and the check ruler.
[[nodiscard]] Rect patternArea(QPageSize::PageSizeId paper, QPageLayout::Orientation orientation);

// 1:n for the largest of the standard scales 1:1, 1:2, 1:5, 1:10, 1:20 ... at which `extent`
// fits in `room`; n returned.
[[nodiscard]] double standardScale(SheetArea extent, SheetArea room);

class ConeTemplates {
public:
    using Outcome = std::variant<ConeTemplates, DevelopmentFailure, BendFailure, TooManySheets>;

    [[nodiscard]] static Outcome plan(ChamberFigures figures, const TemplateOptions& options);

    [[nodiscard]] const TemplateOptions& options() const { return m_options; }
    [[nodiscard]] const ChamberDevelopment& development() const { return m_development; }
    [[nodiscard]] const std::vector<PatternSheets>& patterns() const { return m_patterns; }
    [[nodiscard]] int pageCount() const;

    // The pages in order, each in its own orientation, with nothing of the device's margins.
    void paint(QPagedPaintDevice& device) const;
    // Writes the PDF file whole or not at all: on a failure, why, in Italian; no file is left.
    [[nodiscard]] std::optional<QString> saveAsPdf(const QString& path) const;

private:
    ConeTemplates() = default;

    ChamberFigures m_figures;
    TemplateOptions m_options;
    ChamberDevelopment m_development;
    std::vector<PatternSheets> m_patterns;
};

}  // namespace scaricometro
