#include "sheets/ConeTemplates.h"

#include "model/NumberText.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLineF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

constexpr double kMarginMm = 10;
constexpr double kHeadingMm = 34;
constexpr double kFooterMm = 16;
constexpr double kRulerMm = 100;
// Cutting lines are pure black and nothing else is, so a cutter, and a test, tells them apart.
constexpr QRgb kCuttingColor = 0x000000;
constexpr double kCuttingLineMm = 0.2;
constexpr QRgb kTextColor = 0x404040;
constexpr QRgb kGuideColor = 0x0050B4;  // centre, arrows, alignment marks, the side view
constexpr QRgb kFrameColor = 0xA0A0A0;
constexpr double kThinLineMm = 0.15;
constexpr double kMarkRadiusMm = 2;

constexpr std::array kOrientations{QPageLayout::Portrait, QPageLayout::Landscape};

QString decimals(double value, int places)
{
    return QString::fromStdString(formatRounded(value, DecimalPlaces(places)));
}

// Two decimals, always written out, as a tuner reads a drawing: "65,60".
QString twoDecimals(double value)
{
    QString text = decimals(value, 2);
    const qsizetype comma = text.indexOf(u',');
    if (comma < 0)
        return text + u",00"_s;
    return text.leftJustified(comma + 3, u'0');
}

QString millimetres(double value)
{
    return twoDecimals(value) + u" mm"_s;
}

QFont documentFont(double points, bool bold = false)
{
    QFont font(u"Arial"_s);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// A page being painted, addressed in millimetres from its top-left corner. Shapes are mapped to
// the device and drawn with pens of the device's own units, so a line keeps its width whatever
// the transformation.
class Page {
public:
    Page(QPainter& painter, QSizeF sizeMm, double dotsPerMm)
        : m_painter(painter)
        , m_size(sizeMm)
        , m_dotsPerMm(dotsPerMm)
    {
    }

    [[nodiscard]] QPainter& painter() const { return m_painter; }
    [[nodiscard]] QSizeF size() const { return m_size; }
    [[nodiscard]] double contentWidth() const { return m_size.width() - 2 * kMarginMm; }
    [[nodiscard]] QTransform fromMm() const { return QTransform::fromScale(m_dotsPerMm, m_dotsPerMm); }
    [[nodiscard]] QPointF at(QPointF mm) const { return mm * m_dotsPerMm; }

    void setPen(QRgb color, double widthMm, Qt::PenStyle style = Qt::SolidLine) const
    {
        QPen pen(QColor::fromRgb(color), widthMm * m_dotsPerMm, style, Qt::RoundCap, Qt::RoundJoin);
        m_painter.setPen(pen);
        m_painter.setBrush(Qt::NoBrush);
    }
    void line(QPointF from, QPointF to) const { m_painter.drawLine(at(from), at(to)); }
    void path(const QPainterPath& mm) const { m_painter.drawPath(fromMm().map(mm)); }
    void circle(QPointF centre, double radius) const
    {
        m_painter.drawEllipse(at(centre), radius * m_dotsPerMm, radius * m_dotsPerMm);
    }

    // Draws `text` wrapped at spaces in a box `width` wide from `topLeft`; the height it took, mm.
    double text(QPointF topLeft, double width, const QString& text, const QFont& font,
                Qt::Alignment alignment = Qt::AlignLeft, QRgb color = kTextColor) const
    {
        m_painter.setFont(font);
        m_painter.setPen(QColor::fromRgb(color));
        QRectF used;
        m_painter.drawText(QRectF(at(topLeft), QSizeF(width, 1000) * m_dotsPerMm),
                           static_cast<int>(alignment | Qt::AlignTop | Qt::TextWordWrap), text, &used);
        return used.height() / m_dotsPerMm;
    }
    // The size of `text` on one line, mm.
    [[nodiscard]] QSizeF textSize(const QString& text, const QFont& font) const
    {
        return QFontMetricsF(font, m_painter.device()).size(Qt::TextSingleLine, text) / m_dotsPerMm;
    }

private:
    QPainter& m_painter;
    QSizeF m_size;
    double m_dotsPerMm;
};

Rect pageRect(QPageSize::PageSizeId paper, QPageLayout::Orientation orientation)
{
    QSizeF size = QPageSize(paper).size(QPageSize::Millimeter);
    if (orientation == QPageLayout::Landscape)
        size.transpose();
    return {0, 0, size.width(), size.height()};
}

QRectF toQRect(const Rect& rect)
{
    return {rect.left, rect.top, rect.width, rect.height};
}

// Title, page number, the figures the templates were made from, and what this page is.
void paintHeading(const Page& page, const QString& figures, int number, int count, const QStringList& lines)
{
    QPointF at(kMarginMm, kMarginMm);
    const double titleHeight = page.text(at, page.contentWidth(), u"Scaricometro: sagome dei coni"_s, documentFont(12, true));
    page.text(at, page.contentWidth(), u"pagina %1 di %2"_s.arg(number).arg(count), documentFont(9), Qt::AlignRight);
    at.ry() += titleHeight + 1;
    at.ry() += page.text(at, page.contentWidth(), figures, documentFont(7.5)) + 1.5;
    for (const QString& line : lines)
        at.ry() += page.text(at, page.contentWidth(), line, documentFont(8.5));
}

// A 100 mm rule with a tick each millimetre, to check the print with a real one, and how to print.
void paintCheckRuler(const Page& page)
{
    const double left = kMarginMm;
    const double base = page.size().height() - kMarginMm - 7;
    page.setPen(kCuttingColor, kThinLineMm);
    page.line({left, base}, {left + kRulerMm, base});
    for (int mm = 0; mm <= kRulerMm; ++mm) {
        const double height = mm % 100 == 0 ? 6 : mm % 10 == 0 ? 4 : mm % 5 == 0 ? 3 : 2;
        page.line({left + mm, base}, {left + mm, base - height});
    }
    page.text({left + kRulerMm + 4, base - 3.5}, 80, u"righello di controllo: 100 mm"_s, documentFont(8));
    page.text({left, base + 2}, page.contentWidth(),
              u"Stampare al 100 % (dimensione effettiva), senza adattare alla pagina"_s, documentFont(8, true));
}

QString figuresLine(const ChamberFigures& figures, double thickness)
{
    QStringList parts;
    for (const LabelledValue& input : figures.inputs)
        parts.append(input.label + u' ' + input.value);
    parts.append(u"Spessore lamiera "_s + decimals(thickness, 5) + u" mm"_s);
    return parts.join(u" · "_s);
}

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
    const QPointF tail = tip - toward * 18;
    page.line(tail, tip);
    for (double side : {-1.0, 1.0}) {
        const QTransform turn = QTransform().rotate(side * 25);
        page.line(tip, tip - turn.map(toward) * 3);
    }
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

QString sectorLine(const AnnularSector& sector, const ConePattern& cone)
{
    return u"R %1 · r %2 · angolo %3° · apotema %4 · corda esterna %5"_s.arg(
        millimetres(sector.outerRadius), millimetres(sector.innerRadius), twoDecimals(sector.angleDegrees),
        millimetres(cone.slant), millimetres(sector.outerChord()));
}

QString coneTitle(const ChamberSection& section)
{
    return u"Cono %1 (%2, da %3 a %4)"_s.arg(fromView(section.length), fromView(section.name),
                                             fromView(section.startDiameter), fromView(section.endDiameter));
}

// The development of the section at `section` in kChamberSections, among the cones or the cylinders.
std::size_t shapeIndex(std::size_t section)
{
    const SectionShape shape = kChamberSections[section].shape;
    return static_cast<std::size_t>(std::count_if(kChamberSections.begin(), kChamberSections.begin() + static_cast<std::ptrdiff_t>(section),
                                                  [&](const ChamberSection& other) { return other.shape == shape; }));
}

const ConePattern& coneOf(const ChamberDevelopment& development, std::size_t section)
{
    return development.cones[shapeIndex(section)];
}

QString sectionTitle(const ChamberSection& section, const ChamberDevelopment& development)
{
    if (section.shape == SectionShape::Cone)
        return coneTitle(section);
    return u"Tratto %1 (%2, %3 %4)"_s.arg(fromView(section.length), fromView(section.name), fromView(section.startDiameter),
                                         millimetres(development.cylinders[shapeIndex(chamberIndex(section))].innerDiameter));
}

QString blankLine(const ChamberSection& section, const ChamberDevelopment& development)
{
    const CylinderDevelopment& cylinder = development.cylinders[shapeIndex(chamberIndex(section))];
    return u"sviluppo %1 × lunghezza %2"_s.arg(millimetres(cylinder.developedWidth), millimetres(cylinder.length));
}

// The turned pieces, or the others, after the article for one piece or for more: "i pezzi 2, 4",
// "il pezzo 2".
QString pieceList(const PieCuts& cuts, bool turned, const QString& one, const QString& more)
{
    QStringList pieces;
    for (int piece = 1; piece <= cuts.pieces(); ++piece) {
        if (PieCuts::isTurned(piece) == turned)
            pieces.append(QString::number(piece));
    }
    return pieces.size() == 1 ? u"%1 pezzo %2"_s.arg(one, pieces.front()) : u"%1 pezzi %2"_s.arg(more, pieces.join(u", "_s));
}

QString jointDegrees(const PieCuts& cuts)
{
    return twoDecimals(2 * cuts.tilt() * 180 / std::numbers::pi);
}

QString piecesLine(const PieCuts& cuts, const SectionBend& bend)
{
    return u"Curvato di %1° in %2 pezzi, %3° a ogni giunto: tagliare lungo ogni linea nera e girare di mezzo giro "
           u"%4 prima di saldarli."_s.arg(decimals(std::abs(bend.degrees), 5), QString::number(cuts.pieces()),
                                                   jointDegrees(cuts), pieceList(cuts, true, u"il"_s, u"i"_s));
}

// The bend as the welder needs it: each joint's angle and the centre line's steps, the length
// along the centre line, and where the seams fall.
QString bendParagraph(std::size_t section, const PieCuts& cuts, const SectionBend& bend)
{
    QStringList steps;
    double along = cuts.section().length;
    double largest = 0;
    for (int joint = 1; joint < cuts.pieces(); ++joint) {
        steps.append(twoDecimals(cuts.step(joint)));
        along += cuts.step(joint);
        largest = std::max(largest, cuts.step(joint));
    }
    // A cylinder's joints are square across its axis: its centre line does not step.
    const QString stepping = largest < 0.005 ? u"la linea d'asse non fa passi"_s
                                             : u"passo della linea d'asse ai giunti %1 mm"_s.arg(steps.join(u" · "_s));
    return u"%1 %2: %3° verso %4 della vista in %5 pezzi; %6° a ogni giunto, %7; "
           u"lunghezza lungo la linea d'asse %8. Saldatura longitudinale all'esterno della curva %9; "
           u"all'interno, dopo il mezzo giro, %10."_s.arg(
               fromView(kChamberSections[section].length), fromView(kChamberSections[section].name),
               decimals(std::abs(bend.degrees), 5), bend.degrees > 0 ? u"l'alto"_s : u"il basso"_s,
               QString::number(cuts.pieces()), jointDegrees(cuts), stepping, millimetres(along),
               pieceList(cuts, false, u"sul"_s, u"sui"_s), pieceList(cuts, true, u"sul"_s, u"sui"_s));
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

void paintSheet(const Page& page, const PatternSheets& pattern, const Sheet& sheet, const Rect& area)
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

// The chamber's profile from the engine end, bent as it is to be made, every length to scale, with
// its scale and a bar.
void paintSideView(const Page& page, const std::array<SectionProfile, kChamberSections.size()>& profile,
                   const ChamberBends& bends, const QRectF& room)
{
    Rect extent{0, 0, 0, 0};
    for (const SectionProfile& section : profile) {
        for (const ProfilePiece& piece : section.pieces) {
            for (const Point& corner : {piece.topStart, piece.topEnd, piece.bottomStart, piece.bottomEnd})
                extent = extent.united({corner.x, corner.y, 0, 0});
        }
    }
    constexpr double labelsMm = 6;
    constexpr double barMm = 12;
    const double scale = standardScale({extent.width, extent.height}, {room.width(), room.height() - labelsMm - barMm});

    // y up in the profile, down the page; the first axis at the height of the highest wall.
    const double axis = room.top() + labelsMm + extent.bottom() / scale;
    const auto onPage = [&](Point mm) { return QPointF(room.left() + (mm.x - extent.left) / scale, axis - mm.y / scale); };
    const bool straight = std::all_of(bends.begin(), bends.end(), [](const SectionBend& bend) { return bend.isStraight(); });
    page.setPen(kGuideColor, kThinLineMm, Qt::DashDotLine);
    if (straight) {
        page.line(onPage(profile.front().pieces.front().axisStart), onPage(profile.back().pieces.back().axisEnd));
    } else {
        for (const SectionProfile& section : profile) {
            for (const ProfilePiece& piece : section.pieces)
                page.line(onPage(piece.axisStart), onPage(piece.axisEnd));
        }
    }
    for (std::size_t i = 0; i < profile.size(); ++i) {
        page.setPen(kTextColor, kThinLineMm);
        double left = std::numeric_limits<double>::infinity();
        double right = -left;
        for (const ProfilePiece& piece : profile[i].pieces) {
            page.line(onPage(piece.topStart), onPage(piece.topEnd));
            page.line(onPage(piece.bottomStart), onPage(piece.bottomEnd));
            page.line(onPage(piece.topStart), onPage(piece.bottomStart));
            page.line(onPage(piece.topEnd), onPage(piece.bottomEnd));
            for (const Point& corner : {piece.topStart, piece.topEnd, piece.bottomStart, piece.bottomEnd}) {
                left = std::min(left, onPage(corner).x());
                right = std::max(right, onPage(corner).x());
            }
        }
        const QString label = fromView(kChamberSections[i].length);
        if (straight) {
            if (right - left > 3)
                page.text({left, room.top()}, right - left, label, documentFont(7), Qt::AlignHCenter);
            continue;
        }
        // Bent, the sections wind about: each is named beside the middle of its axis.
        const ProfilePiece& middle = profile[i].pieces[profile[i].pieces.size() / 2];
        const QPointF at = (onPage(middle.axisStart) + onPage(middle.axisEnd)) / 2;
        constexpr double labelWidthMm = 16;
        const QString bent = bends[i].isStraight() ? label : label + u' ' + decimals(bends[i].degrees, 5) + u'°';
        if (right - left > 3 || !bends[i].isStraight())
            page.text(at - QPointF(labelWidthMm / 2, 1.5), labelWidthMm, bent, documentFont(6), Qt::AlignHCenter, kGuideColor);
    }

    // The bar: the longest round length that is at most 40 mm long on paper.
    double bar = 1;
    while (bar * 10 / scale <= 40)
        bar *= 10;
    for (double step : {5.0, 2.0}) {
        if (bar * step / scale <= 40) {
            bar *= step;
            break;
        }
    }
    const double barTop = axis - extent.top / scale + 4;
    page.text({room.left(), barTop}, 30, u"Scala 1:%1"_s.arg(decimals(scale, 0)), documentFont(8, true));
    const QPointF barStart(room.left() + 30, barTop + 2);
    const QPointF barEnd = barStart + QPointF(bar / scale, 0);
    page.setPen(kTextColor, kThinLineMm);
    page.line(barStart, barEnd);
    page.line(barStart - QPointF(0, 1.5), barStart + QPointF(0, 1.5));
    page.line(barEnd - QPointF(0, 1.5), barEnd + QPointF(0, 1.5));
    page.text(barEnd + QPointF(2, -1.5), 40, u"%1 mm"_s.arg(decimals(bar, 0)), documentFont(8));
}

}  // namespace

QString fromView(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

Rect patternArea(QPageSize::PageSizeId paper, QPageLayout::Orientation orientation)
{
    const Rect page = pageRect(paper, orientation);
    return {kMarginMm, kMarginMm + kHeadingMm, page.width - 2 * kMarginMm,
            page.height - 2 * kMarginMm - kHeadingMm - kFooterMm};
}

double standardScale(SheetArea extent, SheetArea room)
{
    for (double decade = 1; std::isfinite(decade); decade *= 10) {
        for (double step : {1.0, 2.0, 5.0}) {
            const double scale = step * decade;
            if (extent.width / scale <= room.width && extent.height / scale <= room.height)
                return scale;
        }
    }
    return 0;
}

ConeTemplates::Outcome ConeTemplates::plan(ChamberFigures figures, const TemplateOptions& options)
{
    DevelopmentOutcome developed = developChamber(figures.dimensions, options.thickness);
    if (const auto* failure = std::get_if<DevelopmentFailure>(&developed))
        return *failure;

    ConeTemplates templates;
    templates.m_figures = std::move(figures);
    templates.m_options = options;
    templates.m_development = std::get<ChamberDevelopment>(developed);
    std::array<SheetArea, kOrientations.size()> areas;
    for (std::size_t i = 0; i < kOrientations.size(); ++i) {
        const Rect area = patternArea(options.paper, kOrientations[i]);
        areas[i] = {area.width, area.height};
    }
    PartsOutcome parts = chamberParts(templates.m_development, options.piecesPerCone, options.bends);
    if (const auto* failure = std::get_if<BendFailure>(&parts))
        return *failure;
    // A pattern for each cone and for each bent section, with all its pieces.
    for (ChamberPart& part : std::get<std::vector<ChamberPart>>(parts)) {
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
    return templates;
}

int ConeTemplates::pageCount() const
{
    return std::accumulate(m_patterns.begin(), m_patterns.end(), 1, [](int pages, const PatternSheets& pattern) {
        return pages + static_cast<int>(pattern.plan.sheets.size());
    });
}

void ConeTemplates::paint(QPagedPaintDevice& device) const
{
    const auto layout = [&](QPageLayout::Orientation orientation) {
        return QPageLayout(QPageSize(m_options.paper), orientation, QMarginsF());
    };
    device.setPageLayout(layout(QPageLayout::Portrait));
    QPainter painter(&device);
    const double dotsPerMm = device.logicalDpiX() / 25.4;
    const QString figures = figuresLine(m_figures, m_options.thickness);
    const int count = pageCount();
    int number = 1;

    {
        const Rect paper = pageRect(m_options.paper, QPageLayout::Portrait);
        const Page page(painter, {paper.width, paper.height}, dotsPerMm);
        paintHeading(page, figures, number, count, {u"Scheda dati"_s});
        paintCheckRuler(page);

        QPointF at(kMarginMm, kMarginMm + kHeadingMm);
        const double width = page.contentWidth();
        const auto heading = [&](const QString& text) {
            at.ry() += 2;
            at.ry() += page.text(at, width, text, documentFont(10, true)) + 1;
        };
        const auto paragraph = [&](const QString& text) { at.ry() += page.text(at, width, text, documentFont(8.5)); };

        heading(u"Risultati, come li scrive la finestra"_s);
        QStringList results;
        for (const LabelledValue& result : m_figures.results)
            results.append(result.label + u' ' + result.value);
        paragraph(results.join(u" · "_s));

        heading(u"Coni, sviluppati sul diametro medio (diametro interno + spessore)"_s);
        for (std::size_t i = 0; i < kConeSections.size(); ++i) {
            const ChamberSection& section = kConeSections[i];
            const ConePattern& cone = m_development.cones[i];
            const double start = m_figures.dimensions.*section.startDiameterValue;
            const double end = m_figures.dimensions.*section.endDiameterValue;
            at.ry() += page.text(at, width, coneTitle(section), documentFont(8.5, true));
            paragraph(u"diametri interni %1 → %2 · diametri medi %3 → %4 · lunghezza %5"_s.arg(
                millimetres(start), millimetres(end), millimetres(start + m_options.thickness),
                millimetres(end + m_options.thickness), millimetres(cone.length)));
            paragraph(sectorLine(cone.piece(1), cone));
            if (m_options.piecesPerCone > 1 && m_options.bends[chamberIndex(section)].isStraight()) {
                const AnnularSector piece = cone.piece(m_options.piecesPerCone);
                paragraph(u"in %1 pezzi uguali, ciascuno con angolo %2° e corda esterna %3"_s.arg(
                    QString::number(m_options.piecesPerCone), twoDecimals(piece.angleDegrees),
                    millimetres(piece.outerChord())));
            }
            at.ry() += 1;
        }

        heading(u"Tratti cilindrici, arrotolati da un rettangolo"_s);
        for (std::size_t i = 0; i < kCylinderSections.size(); ++i) {
            const ChamberSection& section = kCylinderSections[i];
            const CylinderDevelopment& cylinder = m_development.cylinders[i];
            const QString which = u"%1 %2 (%3 %4)"_s.arg(fromView(section.length), fromView(section.name),
                                                       fromView(section.startDiameter),
                                                       millimetres(cylinder.innerDiameter));
            if (cylinder.hasBlank()) {
                paragraph(u"%1: sviluppo %2 × lunghezza %3"_s.arg(which, millimetres(cylinder.developedWidth),
                                                                  millimetres(cylinder.length)));
            } else {
                paragraph(u"%1: lunghezza %2 %3, nessun tratto da tagliare (sviluppo %4)"_s.arg(
                    which, cylinder.length < 0 ? u"negativa,"_s : QString(), millimetres(cylinder.length),
                    millimetres(cylinder.developedWidth)));
            }
        }

        if (std::any_of(m_patterns.begin(), m_patterns.end(), [](const PatternSheets& pattern) { return pattern.cuts; })) {
            heading(u"Curve, in pezzi tagliati obliqui"_s);
            for (const PatternSheets& pattern : m_patterns) {
                if (pattern.cuts)
                    paragraph(bendParagraph(pattern.section, *pattern.cuts, m_options.bends[pattern.section]));
            }
            const bool bentCone = std::any_of(m_patterns.begin(), m_patterns.end(), [](const PatternSheets& pattern) {
                return pattern.cuts && kChamberSections[pattern.section].shape == SectionShape::Cone;
            });
            if (bentCone && m_options.piecesPerCone > 1)
                paragraph(u"Un cono curvato si fa in anelli interi: i pezzi per cono valgono per i coni diritti."_s);
        }

        heading(u"Vista laterale in scala"_s);
        const Rect area = patternArea(m_options.paper, QPageLayout::Portrait);
        const double bottom = std::min(area.bottom(), at.y() + 90);
        paintSideView(page, sideProfile(m_figures.dimensions, m_development, m_options.bends), m_options.bends,
                      QRectF(at.x(), at.y() + 2, width, bottom - at.y() - 2));
    }

    for (const PatternSheets& pattern : m_patterns) {
        const ChamberSection& section = kChamberSections[pattern.section];
        const QPageLayout::Orientation orientation = kOrientations[pattern.plan.areaOption];
        const Rect paper = pageRect(m_options.paper, orientation);
        const Rect area = patternArea(m_options.paper, orientation);
        const auto sheetCount = static_cast<int>(pattern.plan.sheets.size());
        for (std::size_t s = 0; s < pattern.plan.sheets.size(); ++s) {
            const Sheet& sheet = pattern.plan.sheets[s];
            device.setPageLayout(layout(orientation));
            device.newPage();
            ++number;
            const Page page(painter, {paper.width, paper.height}, dotsPerMm);
            QStringList lines{u"%1: foglio %2 di %3, riga %4, colonna %5"_s.arg(
                sectionTitle(section, m_development), QString::number(s + 1), QString::number(sheetCount),
                QString::number(sheet.row + 1), QString::number(sheet.column + 1))};
            if (pattern.cuts) {
                lines.append(piecesLine(*pattern.cuts, m_options.bends[pattern.section]));
                lines.append(section.shape == SectionShape::Cone ? sectorLine(coneOf(m_development, pattern.section).piece(1),
                                                                              coneOf(m_development, pattern.section))
                                                                 : blankLine(section, m_development));
            } else if (m_options.piecesPerCone > 1) {
                const ConePattern& cone = coneOf(m_development, pattern.section);
                lines.append(u"Un pezzo di %1 uguali: tagliarne %1. "_s.arg(m_options.piecesPerCone)
                             + sectorLine(cone.piece(m_options.piecesPerCone), cone));
            } else {
                const ConePattern& cone = coneOf(m_development, pattern.section);
                lines.append(sectorLine(cone.piece(1), cone));
            }
            lines.append(joinsLine(pattern.plan, sheet));
            paintHeading(page, figures, number, count, lines);
            paintCheckRuler(page);
            paintSheet(page, pattern, sheet, area);
        }
    }
}

std::optional<QString> ConeTemplates::saveAsPdf(const QString& path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return u"il file non si può creare (%1)"_s.arg(file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setCreator(u"Scaricometro"_s);
        writer.setTitle(u"Scaricometro: sagome dei coni"_s);
        paint(writer);
    }
    if (!file.commit())
        return u"il file non si può scrivere (%1)"_s.arg(file.errorString());
    return std::nullopt;
}

}  // namespace scaricometro
