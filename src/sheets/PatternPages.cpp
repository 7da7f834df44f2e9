#include "sheets/PatternPages.h"

#include "sheets/SheetTexts.h"

#include <QLineF>
#include <QPainterPath>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

// Cutting lines are pure black and nothing else on a pattern is, so a cutter, and a test, tells
// them apart.
constexpr QRgb kCuttingColor = 0x000000;
constexpr double kCuttingLineMm = 0.2;
constexpr QRgb kFrameColor = 0xA0A0A0;
constexpr double kMarkRadiusMm = 2;

// Appends the arc as cubic curves of at most 15° whose ends lie exactly on the circle.
// QPainterPath::arcTo places its ends only approximately: on a sector of half a metre, a fifth of
// a millimetre off.
void appendArc(QPainterPath& path, const CircleArc& arc)
{
    const int parts = std::max(1, static_cast<int>(std::ceil(std::abs(arc.sweepDegrees) / 15)));
    const double step = arc.sweepDegrees / parts * std::numbers::pi / 180;
    const double radius = arc.radius;
    const double handle = 4.0 / 3.0 * std::tan(step / 4) * radius;
    const QPointF centre(arc.centre.x, arc.centre.y);
    double angle = arc.startDegrees * std::numbers::pi / 180;
    for (int part = 0; part < parts; ++part, angle += step) {
        const QPointF start = centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
        const QPointF end = centre + QPointF(radius * std::cos(angle + step), radius * std::sin(angle + step));
        path.cubicTo(start + handle * QPointF(-std::sin(angle), std::cos(angle)),
                     end - handle * QPointF(-std::sin(angle + step), std::cos(angle + step)), end);
    }
}

// The cutting line of a part, in its own place.
QPainterPath pathOf(const PartOutline& outline)
{
    QPainterPath path;
    if (outline.edges.empty())
        return path;
    path.moveTo(outline.edges.front().from.x, outline.edges.front().from.y);
    for (const OutlineEdge& edge : outline.edges) {
        if (edge.arc)
            appendArc(path, *edge.arc);
        else
            path.lineTo(edge.to.x, edge.to.y);
    }
    path.closeSubpath();
    return path;
}

void paintMark(const Page& page, QPointF centre)
{
    page.circle(centre, kMarkRadiusMm);
    const double arm = kMarkRadiusMm * 1.6;
    page.line(centre - QPointF(arm, 0), centre + QPointF(arm, 0));
    page.line(centre - QPointF(0, arm), centre + QPointF(0, arm));
}

// The cone's axis: a cross where it lies on the sheet, or else an arrow that points at it.
void paintCentre(const Page& page, const QRectF& area, QPointF centre)
{
    page.setPen(kGuideColor, kThinLineMm);
    if (area.contains(centre)) {
        paintMark(page, centre);
        page.text(centre + QPointF(3, 1), 40, u"centro"_s, documentFont(8), Qt::AlignLeft, kGuideColor);
        return;
    }
    const QPointF middle = area.center();
    const QPointF offset = centre - middle;
    const QPointF toward = offset / std::hypot(offset.x(), offset.y());
    constexpr double inset = 8;
    const double reach = std::min(toward.x() != 0 ? (area.width() / 2 - inset) / std::abs(toward.x()) : 1e9,
                                  toward.y() != 0 ? (area.height() / 2 - inset) / std::abs(toward.y()) : 1e9);
    const QPointF tip = middle + toward * reach;
    constexpr double arrowMm = 18;
    const QPointF tail = tip - toward * arrowMm;
    page.arrow(tip, toward, arrowMm, 3);
    const QPointF beyondTip = centre - tip;
    page.text(tail - toward * 6 - QPointF(20, 2), 40,
              u"centro a %1"_s.arg(millimetres(std::hypot(beyondTip.x(), beyondTip.y()))), documentFont(8),
              Qt::AlignHCenter, kGuideColor);
}

struct Side {
    int rows;
    int columns;
    QStringView name;
};

constexpr std::array kSides{
    Side{0, -1, u"a sinistra"},
    Side{0, 1, u"a destra"},
    Side{-1, 0, u"sopra"},
    Side{1, 0, u"sotto"},
};

// The sheet's edge on `side`.
QLineF edgeOn(const QRectF& area, const Side& side)
{
    if (side.columns != 0) {
        const double x = side.columns < 0 ? area.left() : area.right();
        return {x, area.top(), x, area.bottom()};
    }
    const double y = side.rows < 0 ? area.top() : area.bottom();
    return {area.left(), y, area.right(), y};
}

// Where this sheet overlaps the neighbour on `side`: the neighbour's edge, dashed, and two marks
// that fall on the same spot of the pattern on both sheets.
void paintJoin(const Page& page, const QRectF& area, const Side& side)
{
    const QLineF edge = edgeOn(area, side);
    const QPointF intoSheet(-side.columns * kSheetOverlapMm, -side.rows * kSheetOverlapMm);
    page.setPen(kFrameColor, kThinLineMm, Qt::DashLine);
    page.line(edge.p1() + intoSheet, edge.p2() + intoSheet);
    page.setPen(kGuideColor, kThinLineMm);
    for (double share : {0.25, 0.75})
        paintMark(page, edge.pointAt(share) + intoSheet / 2);
}

QString joinsLine(const TilePlan& plan, const Sheet& sheet)
{
    QStringList joins;
    for (const Side& side : kSides) {
        if (const Sheet* next = plan.sheetAt(sheet.row + side.rows, sheet.column + side.columns)) {
            joins.append(u"%1 il foglio %2"_s.arg(side.name).arg(next - plan.sheets.data() + 1));
        }
    }
    if (joins.isEmpty())
        return u"La sagoma è tutta su questo foglio."_s;
    return u"Unire: %1. Rifilare il margine di un foglio e sovrapporlo all'altro fino alla linea "
           u"tratteggiata, con i segni di allineamento uno sull'altro."_s.arg(joins.join(u", "_s));
}

// A bent section's pieces numbered from the engine end, in the middle of each, and those to turn
// marked.
void paintPieceNumbers(const Page& page, const QRectF& area, const QTransform& toPage, const PieCuts& cuts)
{
    // Each number in the middle of its piece, or a quarter of the way round where the middle is
    // not wholly on this sheet, clear of the strip that the next sheet covers where one can be:
    // a number cut at a sheet's edge, or under its marks, is read on neither.
    constexpr std::array kLabelAzimuths{0.0, std::numbers::pi / 2, -std::numbers::pi / 2};
    constexpr double wrapSlackMm = 2;  // so that the measured line is not wrapped for a rounding
    const QFont font = documentFont(9, true);
    const QRectF clear = area.marginsRemoved(QMarginsF(kSheetOverlapMm, kSheetOverlapMm, kSheetOverlapMm, kSheetOverlapMm));
    for (int piece = 1; piece <= cuts.pieces(); ++piece) {
        const QString label = PieCuts::isTurned(piece) ? u"%1 · girare di mezzo giro"_s.arg(piece) : QString::number(piece);
        const QSizeF size = page.textSize(label, font);
        const double axial = (cuts.jointCentre(piece - 1) + cuts.jointCentre(piece)) / 2;
        const auto placedIn = [&](const QRectF& room) -> std::optional<QRectF> {
            for (const double azimuth : kLabelAzimuths) {
                const Point middle = cuts.flatPoint(axial, azimuth);
                const QRectF box(toPage.map(QPointF(middle.x, middle.y)) - QPointF(size.width(), size.height()) / 2, size);
                if (room.contains(box))
                    return box;
            }
            return std::nullopt;
        };
        std::optional<QRectF> chosen = placedIn(clear);
        if (!chosen)
            chosen = placedIn(area);
        if (chosen) {
            page.text(chosen->topLeft() - QPointF(wrapSlackMm / 2, 0), size.width() + wrapSlackMm, label, font,
                      Qt::AlignHCenter, kGuideColor);
        }
    }
}

}  // namespace

void paintPatternSheet(const Page& page, const PatternSheets& pattern, const Sheet& sheet, const Rect& area)
{
    QPainter& painter = page.painter();
    const QRectF areaMm = toQRect(area);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(page.fromMm().mapRect(areaMm));
    const QTransform toPage = QTransform().rotate(pattern.plan.turnDegrees)
        * QTransform::fromTranslate(area.left - sheet.area.left, area.top - sheet.area.top);

    page.setPen(kCuttingColor, kCuttingLineMm);
    for (const ChamberPart& part : pattern.parts)
        page.path(toPage.map(pathOf(part.outline)));
    if (kChamberSections[pattern.section].shape == SectionShape::Cone)
        paintCentre(page, areaMm, toPage.map(QPointF(0, 0)));
    if (pattern.cuts)
        paintPieceNumbers(page, areaMm, toPage, *pattern.cuts);
    if (pattern.plan.sheets.size() > 1) {
        page.setPen(kFrameColor, kThinLineMm);
        page.painter().drawRect(page.fromMm().mapRect(areaMm));
        for (const Side& side : kSides) {
            if (pattern.plan.sheetAt(sheet.row + side.rows, sheet.column + side.columns))
                paintJoin(page, areaMm, side);
        }
    }
    painter.restore();
}


QStringList patternHeadingLines(const PatternSheets& pattern, std::size_t sheet, const ChamberDevelopment& development,
                                const TemplateOptions& options)
{
    const ChamberSection& section = kChamberSections[pattern.section];
    const Sheet& placed = pattern.plan.sheets[sheet];
    QStringList lines{u"%1: foglio %2 di %3, riga %4, colonna %5"_s.arg(
        sectionTitle(section, development), QString::number(sheet + 1), QString::number(pattern.plan.sheets.size()),
        QString::number(placed.row + 1), QString::number(placed.column + 1))};
    if (pattern.cuts) {
        lines.append(piecesLine(*pattern.cuts, options.bends[pattern.section]));
        lines.append(section.shape == SectionShape::Cone
                         ? sectorLine(coneOf(development, pattern.section).piece(1), coneOf(development, pattern.section))
                         : blankLine(section, development));
    } else if (options.piecesPerCone > 1) {
        const ConePattern& cone = coneOf(development, pattern.section);
        lines.append(u"Un pezzo di %1 uguali: tagliarne %1. "_s.arg(options.piecesPerCone)
                     + sectorLine(cone.piece(options.piecesPerCone), cone));
    } else {
        const ConePattern& cone = coneOf(development, pattern.section);
        lines.append(sectorLine(cone.piece(1), cone));
    }
    lines.append(joinsLine(pattern.plan, placed));
    return lines;
}

}  // namespace scaricometro
