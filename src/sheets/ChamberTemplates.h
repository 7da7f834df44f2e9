// The templates as a printed document: a data sheet with every figure, where the chamber goes and
// its views to scale, then each cone's pattern at full size, and each bent section's with the cuts
// between its pieces, tiled over as many sheets as it needs. Painted on any paged device, so that
// a PDF file and a printer get the same pages.
#pragma once

#include "model/ConeDevelopment.h"
#include "sheets/DataSheet.h"
#include "sheets/SheetTexts.h"
#include "sheets/TemplatePlan.h"

#include <QString>

#include <optional>
#include <variant>
#include <vector>

class QPagedPaintDevice;

namespace scaricometro {

// A section whose pattern would need more sheets than a printed template should.
struct TooManySheets {
    std::size_t section;  // in kChamberSections
};

class ChamberTemplates {
public:
    using Outcome = std::variant<ChamberTemplates, DevelopmentFailure, BendFailure, TooManySheets>;

    [[nodiscard]] static Outcome plan(ChamberFigures figures, const TemplateOptions& options);

    [[nodiscard]] const TemplateOptions& options() const { return m_options; }
    [[nodiscard]] const ChamberDevelopment& development() const { return m_development; }
    [[nodiscard]] const std::vector<PatternSheets>& patterns() const { return m_patterns; }
    [[nodiscard]] const DataSheet& dataSheet() const { return *m_dataSheet; }
    [[nodiscard]] int pageCount() const;

    // The pages in order, each in its own orientation, with nothing of the device's margins.
    void paint(QPagedPaintDevice& device) const;
    // Writes the PDF file whole or not at all: on a failure, why, in Italian; no file is left.
    [[nodiscard]] std::optional<QString> saveAsPdf(const QString& path) const;

private:
    ChamberTemplates() = default;

    ChamberFigures m_figures;
    TemplateOptions m_options;
    ChamberDevelopment m_development;
    std::vector<PatternSheets> m_patterns;
    std::optional<DataSheet> m_dataSheet;
};

}  // namespace scaricometro
