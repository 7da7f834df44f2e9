// The cone templates as a printed document: a data sheet with every figure and a side view of
// the chamber to scale, then each cone's pattern at full size, tiled over as many sheets as it
// needs. Painted on any paged device, so that a PDF file and a printer get the same pages.
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
    int piecesPerCone = 1;
};

// One cone's pattern (the whole sector, or one of its equal pieces) and its sheets.
struct ConeSheets {
    AnnularSector piece;
    PartOutline outline;  // the piece's cutting line, in its own place
    TilePlan plan;
};

// A cone whose pattern would need more sheets than a printed template should.
struct TooManySheets {
    std::size_t cone;  // in kConeSections
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
    using Outcome = std::variant<ConeTemplates, DevelopmentFailure, TooManySheets>;

    [[nodiscard]] static Outcome plan(ChamberFigures figures, const TemplateOptions& options);

    [[nodiscard]] const TemplateOptions& options() const { return m_options; }
    [[nodiscard]] const ChamberDevelopment& development() const { return m_development; }
    [[nodiscard]] const std::array<ConeSheets, kConeSections.size()>& cones() const { return m_cones; }
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
    std::array<ConeSheets, kConeSections.size()> m_cones;
};

}  // namespace scaricometro
