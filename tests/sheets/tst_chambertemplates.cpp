// The templates as a printer and a tuner see them: the PDF read by Debian's poppler and qpdf,
// rendered at 300 dpi and measured with the check ruler, as a tuner would with a real one.
#include "model/ChamberRoute.h"
#include "model/NumberText.h"
#include "sheets/ChamberTemplates.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <vector>

using namespace scaricometro;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(ChamberBends)

namespace {

constexpr double kDotsPerMm = 300 / 25.4;

QString decimals(double value, int places)
{
    return QString::fromStdString(formatRounded(value, DecimalPlaces(places)));
}

ChamberTemplates templatesFor(double headerDiameter, const TemplateOptions& options = {})
{
    const ChamberInputs inputs{203, 510, 12000, 39.3, headerDiameter};
    ChamberFigures figures;
    figures.chamber = BuiltChamber(std::get<ChamberDimensions>(computeChamber(inputs)));
    figures.inputs = {{u"Gradi Scarico"_s, u"203"_s}, {u"Corsa motore"_s, u"39,3"_s}};
    const std::pair<QString, double ChamberDimensions::*> results[] = {
        {u"L1"_s, &ChamberDimensions::L1}, {u"L3"_s, &ChamberDimensions::L3}, {u"D3"_s, &ChamberDimensions::D3}};
    for (const auto& [label, value] : results)
        figures.results.append({label, decimals(figures.chamber.dimensions().*value, 5)});
    return std::get<ChamberTemplates>(ChamberTemplates::plan(figures, options));
}

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        qWarning() << program << arguments << process.readAllStandardError();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString pageText(const QString& pdf, int page)
{
    const QString number = QString::number(page);
    return run(u"pdftotext"_s, {u"-layout"_s, u"-f"_s, number, u"-l"_s, number, pdf, u"-"_s}).simplified();
}

QImage renderPage(const QString& pdf, int page, const QString& folder, int dotsPerInch = 300)
{
    const QString number = QString::number(page);
    const QString stem = folder + u"/page"_s;
    run(u"pdftoppm"_s, {u"-r"_s, QString::number(dotsPerInch), u"-png"_s, u"-singlefile"_s, u"-f"_s, number, u"-l"_s, number, pdf, stem});
    return QImage(stem + u".png"_s);
}

// Only the cutting lines, the ruler and the text are drawn black or near it, and only the text
// lies outside the pattern's area and the footer; guides are pale grey or blue.
bool isBlack(QRgb pixel)
{
    return qGray(pixel) < 120 && std::abs(qRed(pixel) - qBlue(pixel)) < 30;
}

QImage areaOf(const QImage& page, double dotsPerMm, QPageSize::PageSizeId paper)
{
    const Rect area = patternArea(paper, page.width() > page.height() ? QPageLayout::Landscape : QPageLayout::Portrait);
    const QRectF inside = QRectF(area.left, area.top, area.width, area.height).marginsRemoved({1, 1, 1, 1});
    return page.copy(QTransform::fromScale(dotsPerMm, dotsPerMm).mapRect(inside).toRect());
}

// Centres of the black runs along one row of pixels.
std::vector<double> blackRuns(const QImage& image, int y)
{
    std::vector<double> centres;
    for (int x = 0; x < image.width(); ++x) {
        if (!isBlack(image.pixel(x, y)))
            continue;
        const int start = x;
        while (x < image.width() && isBlack(image.pixel(x, y)))
            ++x;
        centres.push_back((start + x - 1) / 2.0);
    }
    return centres;
}

// The check ruler in the bottom of the page: the rows that cross only its two tallest ticks.
std::optional<double> rulerLengthMm(const QImage& page)
{
    for (int y = page.height() - 1; y > page.height() * 3 / 4; --y) {
        const std::vector<double> runs = blackRuns(page, y);
        if (runs.size() == 2 && runs[1] - runs[0] > 90 * kDotsPerMm)
            return (runs[1] - runs[0]) / kDotsPerMm;
    }
    return std::nullopt;
}

// The width of the black shape in the pattern's area: for an upright sector, its outer chord.
double blackWidthMm(const QImage& page, double lineWidthMm)
{
    const QImage area = areaOf(page, kDotsPerMm, QPageSize::A4);
    int left = area.width();
    int right = -1;
    for (int y = 0; y < area.height(); ++y) {
        for (int x = 0; x < area.width(); ++x) {
            if (isBlack(area.pixel(x, y))) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return (right - left + 1) / kDotsPerMm - lineWidthMm;
}

// The rows and columns that the chamber's pale fill covers, in bands of rows one view each: a joint's
// line across a narrow pipe leaves rows with no fill, the gap between the views is far wider.
struct FilledBand {
    QRectF mm;
};

std::vector<FilledBand> filledBands(const QImage& page)
{
    constexpr QRgb kFill = 0xEEF2F8;
    // Within a level, as the labels' blue, faded to white at a glyph's edge, is not.
    const auto isFill = [](QRgb pixel) {
        return std::abs(qRed(pixel) - qRed(kFill)) <= 1 && std::abs(qGreen(pixel) - qGreen(kFill)) <= 1
            && std::abs(qBlue(pixel) - qBlue(kFill)) <= 1;
    };
    std::vector<FilledBand> bands;
    for (int y = 0; y < page.height(); ++y) {
        int left = page.width();
        int right = -1;
        for (int x = 0; x < page.width(); ++x) {
            if (isFill(page.pixel(x, y))) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
        if (right < 0)
            continue;
        const QRectF row(left / kDotsPerMm, y / kDotsPerMm, (right - left + 1) / kDotsPerMm, 1 / kDotsPerMm);
        constexpr double kJointLinesMm = 2;
        if (bands.empty() || row.top() - bands.back().mm.bottom() > kJointLinesMm)
            bands.push_back({row});
        else
            bands.back().mm = bands.back().mm.united(row);
    }
    return bands;
}

QString twoPlaces(double value)
{
    return QString::fromStdString(formatFixed(value, DecimalPlaces(2)));
}

}  // namespace

class ChamberTemplatesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void printsAtFullSize();
    void dataSheetFollowsItsHeading();
    void saysEveryFigure();
    void everySheetCarriesPattern_data();
    void everySheetCarriesPattern();
    void bentSectionsInPieces();
    void dataSheetSaysWhereTheChamberGoes();
    void viewsAreToScale_data();
    void viewsAreToScale();
    void planesChangeNoPattern();
    void failsWithoutLeavingAFile_data();
    void failsWithoutLeavingAFile();

private:
    QTemporaryDir m_folder;
    QString m_defaultPdf;
};

void ChamberTemplatesTest::initTestCase()
{
    QVERIFY(m_folder.isValid());
    m_defaultPdf = m_folder.filePath(u"scaricometro-sagome.pdf"_s);
    QCOMPARE(templatesFor(29).saveAsPdf(m_defaultPdf), std::nullopt);
    QVERIFY(run(u"qpdf"_s, {u"--check"_s, m_defaultPdf}).contains(u"No syntax or stream encoding errors"_s));
}

void ChamberTemplatesTest::printsAtFullSize()
{
    const int firstPattern = templatesFor(29).dataSheet().pageCount() + 1;
    for (int page : {1, firstPattern}) {
        const std::optional<double> ruler = rulerLengthMm(renderPage(m_defaultPdf, page, m_folder.path()));
        QVERIFY2(ruler, "no check ruler found");
        QVERIFY2(std::abs(*ruler - 100) <= 0.2, qPrintable(u"the ruler measures %1 mm"_s.arg(*ruler)));
    }
    // The first cone fits one upright sheet, so its outer chord is its widest span.
    const QRegularExpressionMatch chord =
        QRegularExpression(u"corda esterna (\\d+),(\\d+) mm"_s).match(pageText(m_defaultPdf, firstPattern));
    QVERIFY(chord.hasMatch());
    const double printed = (chord.captured(1) + u'.' + chord.captured(2)).toDouble();
    const double measured = blackWidthMm(renderPage(m_defaultPdf, firstPattern, m_folder.path()), 0.2);
    QVERIFY2(std::abs(measured - printed) <= 0.3, qPrintable(u"chord %1 mm, printed %2 mm"_s.arg(measured).arg(printed)));
}

// The sheet's text starts under its own heading, with no blank band where a pattern's longer
// heading would stand.
void ChamberTemplatesTest::dataSheetFollowsItsHeading()
{
    constexpr int dotsPerInch = 100;
    const QImage page = renderPage(m_defaultPdf, 1, m_folder.path(), dotsPerInch);
    const auto rowOf = [&](double mm) { return int(mm / 25.4 * dotsPerInch); };
    int longestBlank = 0;
    int blank = 0;
    for (int y = rowOf(kMarginMm); y < rowOf(kMarginMm + kHeadingMm + 20); ++y) {
        bool inked = false;
        for (int x = rowOf(kMarginMm); x < page.width() - rowOf(kMarginMm) && !inked; ++x)
            inked = qGray(page.pixel(x, y)) < 128;
        blank = inked ? 0 : blank + 1;
        longestBlank = std::max(longestBlank, blank);
    }
    const double longestBlankMm = longestBlank * 25.4 / dotsPerInch;
    QVERIFY2(longestBlankMm < 10, qPrintable(u"a blank band of %1 mm"_s.arg(longestBlankMm)));
}

void ChamberTemplatesTest::saysEveryFigure()
{
    const ChamberTemplates templates = templatesFor(29);
    const int pages = templates.pageCount();
    QVERIFY(run(u"pdfinfo"_s, {m_defaultPdf}).contains(QRegularExpression(u"Pages:\\s+%1\\n"_s.arg(pages))));
    const QString text = run(u"pdftotext"_s, {m_defaultPdf, u"-"_s}).simplified();
    for (const QString& expected : {u"L1 55"_s, u"L3 167,55234"_s, u"D3 108,50806"_s, u"Corsa motore 39,3"_s,
                                    u"Spessore lamiera 1 mm"_s, u"Scala 1:5"_s, u"Vista laterale"_s, u"Pianta"_s})
        QVERIFY2(text.contains(expected), qPrintable(expected));
    for (const ConePattern& cone : templates.development().cones) {
        const auto twoDecimals = [](double value) { return QString::number(value, 'f', 2).replace(u'.', u','); };
        for (const QString& expected : {u"R %1 mm"_s.arg(twoDecimals(cone.outerRadius)),
                                        u"r %1 mm"_s.arg(twoDecimals(cone.innerRadius)),
                                        u"angolo %1°"_s.arg(twoDecimals(cone.angleDegrees))})
            QVERIFY2(text.contains(expected), qPrintable(expected));
    }
    for (int page = 1; page <= pages; ++page) {
        const QString onPage = pageText(m_defaultPdf, page);
        QVERIFY(onPage.contains(u"pagina %1 di %2"_s.arg(page).arg(pages)));
        QVERIFY(onPage.contains(u"Stampare al 100 % (dimensione effettiva), senza adattare alla pagina"_s));
    }
}

void ChamberTemplatesTest::everySheetCarriesPattern_data()
{
    QTest::addColumn<double>("header");
    QTest::addColumn<int>("paper");
    QTest::addColumn<int>("pieces");

    QTest::newRow("header 60 mm on A4") << 60.0 << int(QPageSize::A4) << 1;
    QTest::newRow("header 60 mm on Letter, halves") << 60.0 << int(QPageSize::Letter) << 2;
}

void ChamberTemplatesTest::everySheetCarriesPattern()
{
    QFETCH(double, header);
    QFETCH(int, paper);
    QFETCH(int, pieces);

    const ChamberTemplates templates = templatesFor(header, {0, QPageSize::PageSizeId(paper), pieces});
    const QString pdf = m_folder.filePath(u"tiled.pdf"_s);
    QCOMPARE(templates.saveAsPdf(pdf), std::nullopt);
    // With this header the belly comes out negative, and the data sheet says so.
    QVERIFY(pageText(pdf, 1).contains(u"L4 pancia (D3 %1 mm): lunghezza negativa, -"_s
                                          .arg(QString::number(templates.development().cylinders[1].innerDiameter, 'f', 2)
                                                   .replace(u'.', u','))));
    for (int page = templates.dataSheet().pageCount() + 1; page <= templates.pageCount(); ++page) {
        const QString text = pageText(pdf, page);
        QVERIFY(text.contains(QRegularExpression(u"foglio \\d+ di \\d+"_s)));
        QCOMPARE(text.contains(u"tagliarne 2"_s), pieces == 2);
        constexpr int dotsPerInch = 150;
        const QImage inside = areaOf(renderPage(pdf, page, m_folder.path(), dotsPerInch), dotsPerInch / 25.4,
                                     QPageSize::PageSizeId(paper));
        bool cut = false;
        for (int y = 0; !cut && y < inside.height(); ++y)
            cut = !blackRuns(inside, y).empty();
        QVERIFY2(cut, qPrintable(u"page %1 has no cutting line"_s.arg(page)));
    }
}

// A header bent by 60° in 6 and the second cone by 30° in 4: the header's blank at 1:1 is as wide
// as it rolls, every piece is numbered and those to turn are marked, and the data sheet tells how
// the pieces go together.
void ChamberTemplatesTest::bentSectionsInPieces()
{
    TemplateOptions options;
    options.bends[0] = {60, 6};
    options.bends[2] = {30, 4};
    const ChamberTemplates templates = templatesFor(29, options);
    const QString pdf = m_folder.filePath(u"bent.pdf"_s);
    QCOMPARE(templates.saveAsPdf(pdf), std::nullopt);
    QVERIFY(run(u"qpdf"_s, {u"--check"_s, pdf}).contains(u"No syntax or stream encoding errors"_s));

    const int dataPages = templates.dataSheet().pageCount();
    QString data;
    for (int page = 1; page <= dataPages; ++page)
        data += pageText(pdf, page) + u' ';
    for (const QString& expected : {u"Curve, in pezzi tagliati obliqui"_s,
                                    u"L1 collettore: 60° verso l'alto della vista in 6 pezzi; 12,00° a ogni giunto, la "
                                    u"linea d'asse non fa passi"_s,
                                    u"L3 secondo cono divergente: 30° verso l'alto della vista in 4 pezzi; 10,00° a ogni "
                                    u"giunto, passo della linea d'asse ai giunti"_s,
                                    u"all'interno, dopo il mezzo giro, sui pezzi 2, 4."_s})
        QVERIFY2(data.contains(expected), qPrintable(expected));

    // The header's blank comes first after the data sheet, on one sheet.
    const QString header = pageText(pdf, dataPages + 1);
    QVERIFY2(header.contains(u"Tratto L1 (collettore, D1 29,00 mm): foglio 1 di 1"_s), qPrintable(header));
    QVERIFY(header.contains(u"Curvato di 60° in 6 pezzi, 12,00° a ogni giunto"_s));
    QVERIFY(header.contains(u"girare di mezzo giro i pezzi 2, 4, 6 prima di saldarli"_s));
    for (int piece = 1; piece <= 6; ++piece) {
        const QString label = piece % 2 == 0 ? u"%1 · girare di mezzo giro"_s.arg(piece) : QString::number(piece);
        QVERIFY2(header.contains(label), qPrintable(label));
    }
    const double width = blackWidthMm(renderPage(pdf, dataPages + 1, m_folder.path()), 0.2);
    const double rolled = templates.development().cylinders[0].developedWidth;
    QVERIFY2(std::abs(width - rolled) <= 0.3, qPrintable(u"the blank is %1 mm wide, not %2 mm"_s.arg(width).arg(rolled)));

    QString cone;
    for (int page = dataPages + 2; page <= templates.pageCount(); ++page)
        cone += pageText(pdf, page);
    QVERIFY(cone.contains(u"Cono L3 (secondo cono divergente, da D2 a D3): foglio 1 di"_s));
    for (const QString& expected : {u"2 · girare di mezzo giro"_s, u"4 · girare di mezzo giro"_s})
        QVERIFY2(cone.contains(expected), qPrintable(expected));
}

// A chamber bent in three planes: the table gives each section's end as the route has it, the
// views are named, and the joints, the box and the sheet are told.
void ChamberTemplatesTest::dataSheetSaysWhereTheChamberGoes()
{
    TemplateOptions options;
    options.bends[0] = {-60, 6, 0};
    options.bends[2] = {30, 4, 90};
    options.bends[4] = {20, 3, 200};
    const ChamberTemplates templates = templatesFor(29, options);
    const QString pdf = m_folder.filePath(u"planes.pdf"_s);
    QCOMPARE(templates.saveAsPdf(pdf), std::nullopt);
    QString data;
    for (int page = 1; page <= templates.dataSheet().pageCount(); ++page)
        data += pageText(pdf, page) + u' ';
    const ChamberRoute route = ChamberRoute::trace(templates.development(), options.bends);
    for (std::size_t i = 0; i < kChamberSections.size(); ++i) {
        const RouteFrame& end = route.sections()[i].end;
        const Heading heading = headingOf(end.along);
        const QString row = u"%1 %2 %3 %4 %5° %6°"_s.arg(sectionName(i), twoPlaces(end.point.x), twoPlaces(end.point.y),
                                                         twoPlaces(end.point.z), twoPlaces(heading.planDegrees),
                                                         twoPlaces(heading.riseDegrees));
        QVERIFY2(data.contains(row), qPrintable(row));
    }
    // The issue's own example, worked out by hand from the same figures.
    QVERIFY(data.contains(u"L3 secondo cono divergente 226,06 -38,90 -340,01"_s));
    const Box box = route.bounds();
    for (const QString& expected :
         {u"Vista laterale"_s, u"Pianta"_s, u"Vista dimetrica"_s, u"Dove va la camera"_s, u"Montaggio nello spazio"_s,
          u"Ingombro, pareti comprese: %1 × %2 × %3 mm"_s.arg(twoPlaces(box.high.x - box.low.x),
                                                             twoPlaces(box.high.y - box.low.y), twoPlaces(box.high.z - box.low.z)),
          u"L'uscita è girata di %1° rispetto all'ingresso"_s.arg(twoPlaces(route.outletTurnDegrees())),
          u"L2 → L3: %1°"_s.arg(twoPlaces(route.seamTurnDegrees(1))), u"L3 secondo cono divergente: 30° verso 90° dall'alto"_s,
          u"L5 cono convergente: 20° verso 200° dall'alto"_s, u"L1 collettore: 60° verso il basso della vista"_s,
          u"kg di lamiera d'acciaio (7,85 g/cm³) allo spessore di 1 mm"_s, u"(4 pezzi: "_s})
        QVERIFY2(data.contains(expected), qPrintable(expected));
}

void ChamberTemplatesTest::viewsAreToScale_data()
{
    QTest::addColumn<double>("header");
    QTest::addColumn<ChamberBends>("bends");

    QTest::newRow("straight") << 29.0 << ChamberBends{};
    ChamberBends planes{};
    planes[0] = {-60, 6, 0};
    planes[2] = {30, 4, 90};
    planes[4] = {20, 3, 200};
    QTest::newRow("three planes") << 29.0 << planes;
    ChamberBends wound{};
    wound[1] = {45, 8, 300};
    wound[3] = {0, 4, 0};
    wound[5] = {-90, 12, 33.3};
    QTest::newRow("a wider header, wound") << 34.0 << wound;
}

// Rendered by poppler, each view's pale fill spans the chamber's box at the sheet's scale: the side
// view its X and Z, the top view its X and Y, the two aligned on X, the top view under the other.
void ChamberTemplatesTest::viewsAreToScale()
{
    QFETCH(double, header);
    QFETCH(ChamberBends, bends);

    TemplateOptions options;
    options.bends = bends;
    const ChamberTemplates templates = templatesFor(header, options);
    const QString pdf = m_folder.filePath(u"views.pdf"_s);
    QCOMPARE(templates.saveAsPdf(pdf), std::nullopt);
    std::vector<FilledBand> bands;
    for (int page = 1; bands.empty() && page <= templates.dataSheet().pageCount(); ++page)
        bands = filledBands(renderPage(pdf, page, m_folder.path()));
    QCOMPARE(bands.size(), std::size_t(2));
    const Box box = templates.dataSheet().route().bounds();
    const double scale = templates.dataSheet().viewsScale();
    constexpr double kLineAndPixelMm = 0.3;
    const QRectF& side = bands[0].mm;
    const QRectF& top = bands[1].mm;
    QVERIFY2(std::abs(side.width() - (box.high.x - box.low.x) / scale) <= kLineAndPixelMm, qPrintable(QString::number(side.width())));
    QVERIFY2(std::abs(side.height() - (box.high.z - box.low.z) / scale) <= kLineAndPixelMm, qPrintable(QString::number(side.height())));
    QVERIFY2(std::abs(top.height() - (box.high.y - box.low.y) / scale) <= kLineAndPixelMm, qPrintable(QString::number(top.height())));
    QVERIFY(std::abs(top.left() - side.left()) <= kLineAndPixelMm && std::abs(top.right() - side.right()) <= kLineAndPixelMm);
    QVERIFY(top.top() > side.bottom());
}

// A bend's plane places its section in space, not its pieces on the sheet: the pattern pages and
// the cutting files are the same whatever the planes.
void ChamberTemplatesTest::planesChangeNoPattern()
{
    TemplateOptions inOnePlane;
    inOnePlane.bends[0] = {-60, 6, 0};
    inOnePlane.bends[2] = {30, 4, 0};
    TemplateOptions inThree = inOnePlane;
    inThree.bends[0].plane = 123.4;
    inThree.bends[2].plane = 270;
    const ChamberTemplates one = templatesFor(29, inOnePlane);
    const ChamberTemplates three = templatesFor(29, inThree);
    QCOMPARE(one.pageCount() - one.dataSheet().pageCount(), three.pageCount() - three.dataSheet().pageCount());
    const QString onePdf = m_folder.filePath(u"one.pdf"_s);
    const QString threePdf = m_folder.filePath(u"three.pdf"_s);
    QCOMPARE(one.saveAsPdf(onePdf), std::nullopt);
    QCOMPARE(three.saveAsPdf(threePdf), std::nullopt);
    for (int page = one.dataSheet().pageCount() + 1; page <= one.pageCount(); ++page) {
        const int same = page - one.dataSheet().pageCount() + three.dataSheet().pageCount();
        const QImage a = renderPage(onePdf, page, m_folder.path(), 100);
        const QImage b = renderPage(threePdf, same, m_folder.path(), 100);
        // Below the heading, whose page number may differ.
        const int heading = int((kMarginMm + kHeadingMm) / 25.4 * 100) + 1;
        QVERIFY2(a.copy(0, heading, a.width(), a.height() - heading) == b.copy(0, heading, b.width(), b.height() - heading),
                 qPrintable(u"pattern page %1"_s.arg(page)));
    }
}

void ChamberTemplatesTest::failsWithoutLeavingAFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("saved");

    QTest::newRow("a folder that is gone") << u"gone/sagome.pdf"_s << false;
    QTest::newRow("a folder where the file should be") << u"occupied"_s << false;
    QTest::newRow("a name with accented letters") << u"Niccolò/sagome è.pdf"_s << true;
}

void ChamberTemplatesTest::failsWithoutLeavingAFile()
{
    QFETCH(QString, name);
    QFETCH(bool, saved);

    const QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkpath(u"occupied"_s) && QDir(folder.path()).mkpath(u"Niccolò"_s));
    const QString path = folder.filePath(name);
    const std::optional<QString> failure = templatesFor(29).saveAsPdf(path);
    QCOMPARE(!failure, saved);
    QCOMPARE(QFileInfo(path).isFile(), saved);
    const QStringList left = QDir(QFileInfo(path).path()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(left.size(), saved ? 1 : 0);
}

QTEST_MAIN(ChamberTemplatesTest)
#include "tst_chambertemplates.moc"
