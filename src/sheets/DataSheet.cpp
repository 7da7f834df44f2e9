#include "sheets/DataSheet.h"

#include "sheets/SheetTexts.h"

#include <QFontMetricsF>
#include <QImage>

#include <algorithm>
#include <cmath>

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

constexpr double kTextPoints = 8.5;
constexpr double kHeadingPoints = 10;
constexpr double kHeadingSpaceMm = 2;
constexpr double kHeadingGapMm = 1;
constexpr double kViewsGapMm = 2;
// Drawn more than one standard scale smaller than a page of their own would draw them, the views
// get that page: 1:10 to 1:20 is one step, 1:10 to 1:50 two.
constexpr double kLargestScaleStep = 2.5;
// The least room, either way, that the dimetric view is drawn in beside or under the others.
constexpr double kLeastPictorialMm = 45;

struct Column {
    QStringView heading;
    double widthMm;
    Qt::Alignment alignment;
};

// The table of where each section ends: its name, X, Y, Z, and its direction's two angles.
constexpr std::array kRouteColumns{
    Column{u"Fine del tratto", 50, Qt::AlignLeft}, Column{u"X", 24, Qt::AlignRight},
    Column{u"Y", 24, Qt::AlignRight},                Column{u"Z", 24, Qt::AlignRight},
    Column{u"in pianta", 26, Qt::AlignRight},        Column{u"inclinazione", 28, Qt::AlignRight},
};
static_assert(kRouteColumns.size() == DataSheet::kRouteColumnCount);

QString degrees(double value)
{
    return twoDecimals(value) + u'°';
}

QString squareCentimetres(double squareMm)
{
    return twoDecimals(squareMm / 100) + u" cm²"_s;
}

QString cubicCentimetres(double cubicMm)
{
    return twoDecimals(cubicMm / 1000) + u" cm³"_s;
}

// "X da -15,50 a 862,84"
QString spanOf(QStringView axis, double low, double high)
{
    return u"%1 da %2 a %3"_s.arg(axis, twoDecimals(low), twoDecimals(high));
}

}  // namespace

DataSheet::DataSheet(const ChamberFigures& figures, const TemplateOptions& options, const ChamberDevelopment& development,
                     const ChamberQuantities& quantities, const std::vector<PatternSheets>& patterns)
    : m_route(ChamberRoute::trace(development, options.bends))
    , m_views(m_route, options.bends)
    , m_pictorial(m_route)
{
    // The sheet follows its own heading, which is shorter than a pattern's.
    Rect area = patternArea(options.paper, QPageLayout::Portrait);
    const double top = headingBottom(figuresLine(figures, options.thickness), headingLines(0), area.width) + kUnderHeadingMm;
    area.height += area.top - top;
    area.top = top;
    m_contentWidth = area.width;
    addFigures(figures, options, development, patterns);
    addRoute();
    addAssembly();
    addQuantities(figures, quantities, options.thickness);
    heading(u"Viste in scala: la pianta sotto la vista laterale (proiezione europea); la vista dimetrica "
            u"non è in scala"_s);
    layOut(area);
}

void DataSheet::heading(const QString& text)
{
    m_blocks.push_back({text, {}, documentFont(kHeadingPoints, true), kHeadingSpaceMm, kHeadingGapMm, true});
}

void DataSheet::title(const QString& text)
{
    m_blocks.push_back({text, {}, documentFont(kTextPoints, true), 0, 0, true});
}

void DataSheet::paragraph(const QString& text, double spaceBefore)
{
    m_blocks.push_back({text, {}, documentFont(kTextPoints), spaceBefore});
}

void DataSheet::row(const RouteRow& cells, bool bold)
{
    m_blocks.push_back({{}, QStringList(cells.begin(), cells.end()), documentFont(kTextPoints, bold), 0, 0, bold});
}

void DataSheet::addFigures(const ChamberFigures& figures, const TemplateOptions& options,
                           const ChamberDevelopment& development, const std::vector<PatternSheets>& patterns)
{
    heading(u"Risultati, come li scrive la finestra"_s);
    QStringList results;
    for (const LabelledValue& result : figures.results)
        results.append(result.label + u' ' + result.value);
    // Which chamber the sheet is of, with the window's figures it may differ from.
    const QStringList details = builtChamberDetails(figures.chamber);
    paragraph(results.join(u" · "_s) + u". "_s + builtChamberLine(figures.chamber)
              + (details.isEmpty() ? u"."_s : u": "_s + details.join(u" · "_s) + u'.'));

    heading(u"Coni, sviluppati sul diametro medio (diametro interno + spessore)"_s);
    for (std::size_t i = 0; i < kConeSections.size(); ++i) {
        const ChamberSection& section = kConeSections[i];
        const ConePattern& cone = development.cones[i];
        const double start = figures.chamber.dimensions().*section.startDiameterValue;
        const double end = figures.chamber.dimensions().*section.endDiameterValue;
        title(coneTitle(section));
        paragraph(u"diametri interni %1 → %2 · diametri medi %3 → %4 · lunghezza %5"_s.arg(
            millimetres(start), millimetres(end), millimetres(start + options.thickness),
            millimetres(end + options.thickness), millimetres(cone.length)));
        paragraph(sectorLine(cone.piece(1), cone));
        if (options.piecesPerCone > 1 && options.bends[chamberIndex(section)].isStraight()) {
            const AnnularSector piece = cone.piece(options.piecesPerCone);
            paragraph(u"in %1 pezzi uguali, ciascuno con angolo %2° e corda esterna %3"_s.arg(
                QString::number(options.piecesPerCone), twoDecimals(piece.angleDegrees), millimetres(piece.outerChord())));
        }
        m_blocks.back().spaceAfter = 1;
    }

    heading(u"Tratti cilindrici, arrotolati da un rettangolo"_s);
    for (std::size_t i = 0; i < kCylinderSections.size(); ++i) {
        const ChamberSection& section = kCylinderSections[i];
        const CylinderDevelopment& cylinder = development.cylinders[i];
        const QString which = u"%1 %2 (%3 %4)"_s.arg(fromView(section.length), fromView(section.name),
                                                   fromView(section.startDiameter), millimetres(cylinder.innerDiameter));
        if (cylinder.hasBlank()) {
            paragraph(u"%1: sviluppo %2 × lunghezza %3"_s.arg(which, millimetres(cylinder.developedWidth),
                                                              millimetres(cylinder.length)));
        } else {
            paragraph(u"%1: lunghezza %2 %3, nessun tratto da tagliare (sviluppo %4)"_s.arg(
                which, cylinder.length < 0 ? u"negativa,"_s : QString(), millimetres(cylinder.length),
                millimetres(cylinder.developedWidth)));
        }
    }

    if (std::none_of(patterns.begin(), patterns.end(), [](const PatternSheets& pattern) { return pattern.cuts.has_value(); }))
        return;
    heading(u"Curve, in pezzi tagliati obliqui"_s);
    for (const PatternSheets& pattern : patterns) {
        if (pattern.cuts)
            paragraph(bendParagraph(pattern.section, *pattern.cuts, options.bends[pattern.section]));
    }
    const bool bentCone = std::any_of(patterns.begin(), patterns.end(), [](const PatternSheets& pattern) {
        return pattern.cuts && kChamberSections[pattern.section].shape == SectionShape::Cone;
    });
    if (bentCone && options.piecesPerCone > 1)
        paragraph(u"Un cono curvato si fa in anelli interi: i pezzi per cono valgono per i coni diritti."_s);
}

void DataSheet::addRoute()
{
    heading(u"Dove va la camera"_s);
    paragraph(u"Coordinate in mm, dal centro della faccia d'ingresso del collettore: X lungo il suo asse, verso "
              u"l'uscita; Z verso l'alto della vista laterale; Y lontano da chi la guarda. La direzione alla fine di "
              u"ogni tratto è data da due angoli: in pianta, da X verso Y, e l'inclinazione sopra il piano XY."_s);
    RouteRow headings;
    std::ranges::transform(kRouteColumns, headings.begin(), [](const Column& column) { return column.heading.toString(); });
    row(headings, true);
    for (std::size_t i = 0; i < kChamberSections.size(); ++i) {
        const RouteFrame& end = m_route.sections()[i].end;
        const Heading towards = headingOf(end.along);
        row({sectionName(i), twoDecimals(end.point.x), twoDecimals(end.point.y), twoDecimals(end.point.z),
             degrees(towards.planDegrees), degrees(towards.riseDegrees)});
    }
    const Box box = m_route.bounds();
    const Vector3 size = box.high - box.low;
    paragraph(u"Ingombro, pareti comprese: %1 × %2 × %3 mm (%4 · %5 · %6). L'uscita è girata di %7 rispetto "
              u"all'ingresso."_s.arg(twoDecimals(size.x), twoDecimals(size.y), twoDecimals(size.z),
                                       spanOf(u"X", box.low.x, box.high.x), spanOf(u"Y", box.low.y, box.high.y),
                                       spanOf(u"Z", box.low.z, box.high.z), degrees(m_route.outletTurnDegrees())),
              1);
}

void DataSheet::addAssembly()
{
    heading(u"Montaggio nello spazio"_s);
    paragraph(u"Segnare lungo ogni tratto una linea sulla sua saldatura longitudinale. A ogni giunto, girare il tratto "
              u"che segue attorno all'asse comune, dalla saldatura del tratto prima alla sua, in senso orario guardando "
              u"dal lato motore, di quanto dice qui sotto. Un tratto diritto ha la saldatura in linea con quella del "
              u"tratto prima (il collettore diritto, in basso); uno curvato l'ha dove dice il paragrafo delle curve, "
              u"rispetto al proprio piano."_s);
    QStringList joints;
    const auto& sections = m_route.sections();
    for (std::size_t i = 0; i < sections.size(); ++i) {
        if (!sections[i].cuts)
            continue;
        for (std::size_t next = i + 1; next < sections.size(); ++next) {
            if (sections[next].cuts) {
                joints.append(u"%1 → %2: %3"_s.arg(fromView(kChamberSections[i].length), fromView(kChamberSections[next].length),
                                                   degrees(m_route.seamTurnDegrees(i))));
                break;
            }
        }
    }
    paragraph(u"Giunti: "_s + joints.join(u" · "_s));
}

void DataSheet::addQuantities(const ChamberFigures& figures, const ChamberQuantities& quantities, double thickness)
{
    heading(u"Volumi, lamiera e peso"_s);
    for (std::size_t i = 0; i < kChamberSections.size(); ++i) {
        const SectionQuantities& section = quantities.sections[i];
        if (section.parts == 0) {
            paragraph(u"%1: lunghezza %2, nessun tratto"_s.arg(sectionName(i),
                                                               millimetres(figures.chamber.dimensions().*kChamberSections[i].lengthValue)));
            continue;
        }
        QString parts;
        if (section.partAreas.size() > 1) {
            QStringList areas;
            for (const double area : section.partAreas)
                areas.append(twoDecimals(area / 100));
            parts = u"%1 pezzi: %2 cm²"_s.arg(section.parts).arg(areas.join(u" · "_s));
        } else if (section.parts > 1) {
            parts = u"%1 pezzi da %2"_s.arg(section.parts).arg(squareCentimetres(section.partAreas.front()));
        } else {
            parts = u"1 pezzo"_s;
        }
        paragraph(u"%1: volume interno %2 · lamiera %3 (%4)"_s.arg(sectionName(i), cubicCentimetres(section.innerVolume),
                                                                    squareCentimetres(section.sheetArea), parts));
    }
    paragraph(u"Camera: volume interno %1 · lamiera %2 · %3 kg di lamiera d'acciaio (7,85 g/cm³) allo spessore di %4 mm"_s.arg(
                  cubicCentimetres(quantities.innerVolume), squareCentimetres(quantities.sheetArea),
                  decimals(quantities.steelMass / 1000, 3), decimals(thickness, 5)),
              1);
}

void DataSheet::layOut(const Rect& area)
{
    for (Block& block : m_blocks) {
        block.height = block.cells.isEmpty() ? wrappedTextHeight(block.text, block.font, m_contentWidth)
                                             : lineHeight(block.font);
    }
    double at = area.top;
    int page = 0;
    const auto fits = [&](std::size_t from) {
        double needed = 0;
        for (std::size_t i = from; i < m_blocks.size(); ++i) {
            needed += m_blocks[i].spaceBefore + m_blocks[i].height + m_blocks[i].spaceAfter;
            if (!m_blocks[i].keepWithNext)
                break;
        }
        return at + needed <= area.bottom() || at == area.top;
    };
    for (std::size_t i = 0; i < m_blocks.size(); ++i) {
        Block& block = m_blocks[i];
        if (!fits(i)) {
            ++page;
            at = area.top;
        }
        at += block.spaceBefore;
        block.top = at;
        block.page = page;
        at += block.height + block.spaceAfter;
    }

    const Block& viewsHeading = m_blocks.back();
    const QSizeF wholePage(area.width,
                           area.height - viewsHeading.spaceBefore - viewsHeading.height - viewsHeading.spaceAfter - kViewsGapMm);
    const double alone = m_views.standardScaleIn(wholePage);
    const QSizeF left(area.width, area.bottom() - at - kViewsGapMm);
    const double here = left.height() > 0 ? m_views.standardScaleIn(left) : 0;
    if (here > 0 && here <= kLargestScaleStep * alone) {
        m_viewsScale = here;
    } else {
        // The heading goes with the views.
        ++page;
        Block& views = m_blocks.back();
        views.page = page;
        views.top = area.top + views.spaceBefore;
        at = views.top + views.height + views.spaceAfter;
        m_viewsScale = alone;
    }
    m_viewsPage = page;
    m_viewsAt = QPointF(area.left, at + kViewsGapMm);
    placePictorial(area);
    m_pages = m_pictorialPage + 1;
}

// Beside the views or under them, wherever it comes out larger; on a page of its own where there
// is no room for it at all.
void DataSheet::placePictorial(const Rect& area)
{
    const QSizeF views = m_views.sizeAt(m_viewsScale);
    const QPointF beside(m_viewsAt.x() + views.width() + kViewsGapMm, m_viewsAt.y());
    const QPointF under(m_viewsAt.x(), m_viewsAt.y() + views.height() + kViewsGapMm);
    const QSizeF besideRoom(area.left + area.width - beside.x(), views.height());
    const QSizeF underRoom(area.width, area.bottom() - under.y());
    const bool fitsBeside = besideRoom.width() >= kLeastPictorialMm && besideRoom.height() >= kLeastPictorialMm;
    const bool fitsUnder = underRoom.height() >= kLeastPictorialMm;
    const double besideScale = fitsBeside ? m_pictorial.fittingScaleIn(besideRoom) : 0;
    const double underScale = fitsUnder ? m_pictorial.fittingScaleIn(underRoom) : 0;
    m_pictorialPage = m_viewsPage;
    if (fitsBeside && (!fitsUnder || besideScale <= underScale)) {
        m_pictorialAt = beside;
        m_pictorialScale = besideScale;
    } else if (fitsUnder) {
        m_pictorialAt = under;
        m_pictorialScale = underScale;
    } else {
        ++m_pictorialPage;
        m_pictorialAt = QPointF(area.left, area.top);
        m_pictorialScale = m_pictorial.fittingScaleIn({area.width, area.height});
    }
}

QStringList DataSheet::headingLines(int index) const
{
    return {index == 0 ? u"Scheda dati"_s : u"Scheda dati (segue)"_s};
}

void DataSheet::paintPage(const Page& page, int index) const
{
    for (const Block& block : m_blocks) {
        if (block.page != index)
            continue;
        const QPointF topLeft(kMarginMm, block.top);
        if (block.cells.isEmpty()) {
            page.text(topLeft, m_contentWidth, block.text, block.font);
            continue;
        }
        double x = topLeft.x();
        for (qsizetype cell = 0; cell < block.cells.size(); ++cell) {
            const Column& column = kRouteColumns[static_cast<std::size_t>(cell)];
            page.text({x, topLeft.y()}, column.widthMm, block.cells[cell], block.font, column.alignment);
            x += column.widthMm;
        }
    }
    if (index == m_viewsPage)
        m_views.paint(page, m_viewsAt, m_viewsScale, ScaleCaption::Standard);
    if (index == m_pictorialPage)
        m_pictorial.paint(page, m_pictorialAt, m_pictorialScale);
}

}  // namespace scaricometro
