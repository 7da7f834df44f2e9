// The data sheet at the head of the templates: every figure of the chamber and its parts, where
// the chamber goes in space and how its sections are turned to be welded, what it holds and
// weighs, its side and top views to scale and its dimetric view. Laid out once, measured at the
// resolution of the PDF, over as many pages as it needs; the views go after the text, on the same
// page where they are drawn there at most one standard scale smaller than on a page of their own,
// and the dimetric view beside them or under them.
#pragma once

#include "model/ChamberQuantities.h"
#include "model/ChamberRoute.h"
#include "sheets/SheetPage.h"
#include "sheets/TemplatePlan.h"
#include "views/ChamberViews.h"
#include "views/PictorialView.h"

#include <QFont>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace scaricometro {

class DataSheet {
public:
    DataSheet(const ChamberFigures& figures, const TemplateOptions& options, const ChamberDevelopment& development,
              const ChamberQuantities& quantities, const std::vector<PatternSheets>& patterns);

    [[nodiscard]] int pageCount() const { return m_pages; }
    [[nodiscard]] const ChamberRoute& route() const { return m_route; }
    [[nodiscard]] double viewsScale() const { return m_viewsScale; }
    // What page `index` (from 0) of the data sheet is, for its heading.
    [[nodiscard]] QStringList headingLines(int index) const;
    void paintPage(const Page& page, int index) const;

    static constexpr std::size_t kRouteColumnCount = 6;

private:
    using RouteRow = std::array<QString, kRouteColumnCount>;

    // A piece of the sheet's text: wrapped across the page, or a table row of cells in columns.
    struct Block {
        QString text;
        QStringList cells;
        QFont font;
        double spaceBefore = 0;
        double spaceAfter = 0;
        bool keepWithNext = false;
        double height = 0;
        double top = 0;
        int page = 0;
    };

    void heading(const QString& text);
    void title(const QString& text);
    void paragraph(const QString& text, double spaceBefore = 0);
    void row(const RouteRow& cells, bool bold = false);
    void addFigures(const ChamberFigures& figures, const TemplateOptions& options, const ChamberDevelopment& development,
                    const std::vector<PatternSheets>& patterns);
    void addRoute();
    void addAssembly();
    void addQuantities(const ChamberFigures& figures, const ChamberQuantities& quantities, double thickness);
    void layOut(const Rect& area);
    void placePictorial(const Rect& area);

    ChamberRoute m_route;
    ChamberViews m_views;
    PictorialView m_pictorial;
    std::vector<Block> m_blocks;
    double m_contentWidth = 0;
    int m_pages = 1;
    int m_viewsPage = 0;
    QPointF m_viewsAt;
    double m_viewsScale = 1;
    int m_pictorialPage = 0;
    QPointF m_pictorialAt;
    double m_pictorialScale = 1;
};

}  // namespace scaricometro
