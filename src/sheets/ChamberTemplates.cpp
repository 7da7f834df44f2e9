#include "sheets/ChamberTemplates.h"

#include "model/ChamberQuantities.h"
#include "sheets/PatternPages.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include <numeric>

namespace scaricometro {

using namespace Qt::StringLiterals;

ChamberTemplates::Outcome ChamberTemplates::plan(ChamberFigures figures, const TemplateOptions& options)
{
    DevelopmentOutcome developed = developChamber(figures.chamber.dimensions(), options.thickness);
    if (const auto* failure = std::get_if<DevelopmentFailure>(&developed))
        return *failure;

    ChamberTemplates templates;
    templates.m_figures = std::move(figures);
    templates.m_options = options;
    templates.m_development = std::get<ChamberDevelopment>(developed);
    std::array<SheetArea, kOrientations.size()> areas;
    for (std::size_t i = 0; i < kOrientations.size(); ++i) {
        const Rect area = patternArea(options.paper, kOrientations[i]);
        areas[i] = {area.width, area.height};
    }
    PartsOutcome outcome = chamberParts(templates.m_development, options.piecesPerCone, options.bends);
    if (const auto* failure = std::get_if<BendFailure>(&outcome))
        return *failure;
    auto& parts = std::get<std::vector<ChamberPart>>(outcome);
    const ChamberQuantities quantities = chamberQuantities(templates.m_figures.chamber.dimensions(), templates.m_development, parts);
    // A pattern for each cone and for each bent section, with all its pieces.
    for (ChamberPart& part : parts) {
        const auto section = chamberIndex(*part.section);
        if (part.section->shape != SectionShape::Cone && part.piece == 0)
            continue;
        if (templates.m_patterns.empty() || templates.m_patterns.back().section != section) {
            auto bent = bentSection(templates.m_development, section, options.bends[section]);
            const auto* cuts = std::get_if<PieCuts>(&bent);
            templates.m_patterns.push_back({section, {}, cuts ? std::optional(*cuts) : std::nullopt, {}});
        }
        templates.m_patterns.back().parts.push_back(std::move(part));
    }
    for (PatternSheets& pattern : templates.m_patterns) {
        std::vector<PartOutline> outlines;
        for (const ChamberPart& part : pattern.parts)
            outlines.push_back(part.outline);
        std::optional<TilePlan> plan = planSheets(outlines, areas);
        if (!plan)
            return TooManySheets{pattern.section};
        pattern.plan = std::move(*plan);
    }
    templates.m_dataSheet.emplace(templates.m_figures, options, templates.m_development, quantities, templates.m_patterns);
    return templates;
}

int ChamberTemplates::pageCount() const
{
    return std::accumulate(m_patterns.begin(), m_patterns.end(), m_dataSheet->pageCount(),
                           [](int pages, const PatternSheets& pattern) {
                               return pages + static_cast<int>(pattern.plan.sheets.size());
                           });
}

void ChamberTemplates::paint(QPagedPaintDevice& device) const
{
    const auto layout = [&](QPageLayout::Orientation orientation) {
        return QPageLayout(QPageSize(m_options.paper), orientation, QMarginsF());
    };
    device.setPageLayout(layout(QPageLayout::Portrait));
    QPainter painter(&device);
    const double dotsPerMm = device.logicalDpiX() / 25.4;
    const QString figures = figuresLine(m_figures, m_options.thickness);
    const int count = pageCount();
    int number = 0;
    const auto newPage = [&](QPageLayout::Orientation orientation) {
        if (number > 0) {
            device.setPageLayout(layout(orientation));
            device.newPage();
        }
        ++number;
        const Rect paper = pageRect(m_options.paper, orientation);
        return Page(painter, {paper.width, paper.height}, dotsPerMm);
    };

    for (int index = 0; index < m_dataSheet->pageCount(); ++index) {
        const Page page = newPage(QPageLayout::Portrait);
        paintHeading(page, figures, number, count, m_dataSheet->headingLines(index));
        paintCheckRuler(page);
        m_dataSheet->paintPage(page, index);
    }
    for (const PatternSheets& pattern : m_patterns) {
        const QPageLayout::Orientation orientation = kOrientations[pattern.plan.areaOption];
        const Rect area = patternArea(m_options.paper, orientation);
        for (std::size_t sheet = 0; sheet < pattern.plan.sheets.size(); ++sheet) {
            const Page page = newPage(orientation);
            paintHeading(page, figures, number, count, patternHeadingLines(pattern, sheet, m_development, m_options));
            paintCheckRuler(page);
            paintPatternSheet(page, pattern, pattern.plan.sheets[sheet], area);
        }
    }
}

std::optional<QString> ChamberTemplates::saveAsPdf(const QString& path) const
{
    return savePdf(path, kDocumentTitle, [this](QPagedPaintDevice& device) { paint(device); });
}

}  // namespace scaricometro
