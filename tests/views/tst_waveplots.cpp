// The plots of the waves read back from their pixels: the colour map's colours where the made-up
// diagram is high, low and at the atmosphere, the curves where the data puts them and the
// cylinder's only where it is known, the band and the typed speed where they belong.
#include "SyntheticWaves.h"

#include <QImage>
#include <QPainter>
#include <QTest>

using namespace scaricometro;

namespace {

constexpr QSize kImageSize(800, 520);
constexpr double kPixelsPerMm = 96 / 25.4;

enum class Ink { White, Red, Blue, PortCurve, CylinderCurve, TypedMark, BandFill, Other };

Ink inkOf(QRgb pixel)
{
    const int r = qRed(pixel);
    const int g = qGreen(pixel);
    const int b = qBlue(pixel);
    if (std::min({r, g, b}) > 245)
        return Ink::White;
    if (std::abs(r - 0xE4) <= 3 && std::abs(g - 0xF2) <= 3 && std::abs(b - 0xDC) <= 3)
        return Ink::BandFill;
    if (r > 180 && g > 80 && g < 160 && b < 60)
        return Ink::CylinderCurve;
    if (g > 100 && g > r + 50 && g > b + 30)
        return Ink::TypedMark;
    if (std::abs(r - 0x1F) <= 12 && std::abs(g - 0x4E) <= 12 && std::abs(b - 0x9C) <= 12)
        return Ink::PortCurve;
    if (r > 140 && r > b + 80)
        return Ink::Red;
    if (b > 120 && b > r + 80)
        return Ink::Blue;
    return Ink::Other;
}

struct Painted {
    QImage image;
    PlotPlacement placement;
};

Painted paint(WavePlot plot, const WavePlotData& data)
{
    Painted painted{QImage(kImageSize, QImage::Format_RGB32), {}};
    painted.image.fill(Qt::black);
    QPainter painter(&painted.image);
    const QRectF area(QPointF(0, 0), QSizeF(kImageSize));
    constexpr std::array painters{paintCyclePlot, paintBandPlot, paintWaveDiagram};
    painters[static_cast<std::size_t>(plot)](painter, area, kPixelsPerMm, data);
    painted.placement = placeWavePlot(plot, painter, area, kPixelsPerMm, data);
    return painted;
}

// The inks of the column of pixels at `x` inside the plot, but its border.
std::vector<Ink> columnInks(const Painted& painted, double x)
{
    std::vector<Ink> inks;
    const QRect rect = painted.placement.rect.toRect().adjusted(0, 2, 0, -2);
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        inks.push_back(inkOf(painted.image.pixel(qRound(x), y)));
    return inks;
}

bool inkNear(const Painted& painted, QPointF at, Ink ink, int reach = 3)
{
    for (int dy = -reach; dy <= reach; ++dy) {
        if (inkOf(painted.image.pixel(qRound(at.x()), qRound(at.y()) + dy)) == ink)
            return true;
    }
    return false;
}

}  // namespace

Q_DECLARE_METATYPE(Ink)

class WavePlotsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void diagramColours_data();
    void diagramColours();
    void cycleCurves_data();
    void cycleCurves();
    void bandAndTypedSpeed();
    void nothingPlottedWhileRunning();

private:
    waves::RpmResult m_result = synthetic::result();
};

void WavePlotsTest::diagramColours_data()
{
    QTest::addColumn<double>("mm");
    QTest::addColumn<double>("degree");
    QTest::addColumn<Ink>("ink");

    QTest::newRow("atmosphere mid-duct") << 60.0 << 180.0 << Ink::White;
    QTest::newRow("high corner") << 25.0 << 45.0 << Ink::Red;
    QTest::newRow("just after the high corner") << 25.0 << 110.0 << Ink::White;
    QTest::newRow("low corner") << 175.0 << 315.0 << Ink::Blue;
    QTest::newRow("beside the low corner") << 125.0 << 315.0 << Ink::White;
}

void WavePlotsTest::diagramColours()
{
    QFETCH(double, mm);
    QFETCH(double, degree);
    QFETCH(Ink, ink);
    const Painted painted = paint(WavePlot::Diagram, synthetic::plotData(&m_result));
    const QPoint at = painted.placement.map(mm, degree).toPoint();
    QCOMPARE(inkOf(painted.image.pixel(at)), ink);
}

void WavePlotsTest::cycleCurves_data()
{
    QTest::addColumn<int>("degree");
    QTest::addColumn<bool>("exhaustOpen");

    QTest::newRow("rising, exhaust closed") << 40 << false;
    QTest::newRow("falling, exhaust open") << 150 << true;
    QTest::newRow("at the last open degree") << 279 << true;
    QTest::newRow("low, exhaust closed") << 330 << false;
}

void WavePlotsTest::cycleCurves()
{
    QFETCH(int, degree);
    QFETCH(bool, exhaustOpen);
    const Painted painted = paint(WavePlot::Cycle, synthetic::plotData(&m_result));
    const double angle = degree;
    const auto bar = [](double pascals) { return pascals / waves::kPascalsPerBar; };
    QVERIFY(inkNear(painted, painted.placement.map(angle, bar(synthetic::portPressure(static_cast<std::size_t>(degree)))),
                    Ink::PortCurve));
    if (exhaustOpen) {
        QVERIFY(inkNear(painted, painted.placement.map(angle, bar(synthetic::kCylinderPa)), Ink::CylinderCurve));
    } else {
        const std::vector<Ink> column = columnInks(painted, painted.placement.map(angle, 0).x());
        QCOMPARE(std::count(column.begin(), column.end(), Ink::CylinderCurve), 0);
    }
}

void WavePlotsTest::bandAndTypedSpeed()
{
    const WavePlotData data = synthetic::plotData(&m_result);
    const Painted painted = paint(WavePlot::Band, data);
    const QRect rect = painted.placement.rect.toRect();
    const double typedX = painted.placement.map(synthetic::kTypedRpm, 0).x();
    int marked = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if (inkOf(painted.image.pixel(x, y)) == Ink::TypedMark) {
                QVERIFY2(std::abs(x - typedX) <= 2, qPrintable(QString::number(x)));
                ++marked;
            }
        }
    }
    QVERIFY(marked > rect.height() / 3);  // a dashed line, all down the plot

    const double nearTop = rect.top() + 3;
    QCOMPARE(inkOf(painted.image.pixel(painted.placement.map(11000, 0).toPoint().x(), qRound(nearTop))), Ink::BandFill);
    QCOMPARE(inkOf(painted.image.pixel(painted.placement.map(17000, 0).toPoint().x(), qRound(nearTop))), Ink::White);
    QCOMPARE(inkOf(painted.image.pixel(painted.placement.map(9000, 0).toPoint().x(), qRound(nearTop))), Ink::White);
}

void WavePlotsTest::nothingPlottedWhileRunning()
{
    WavePlotData data = synthetic::plotData(nullptr);
    data.band.clear();
    data.bandFigures.reset();
    for (const WavePlot plot : {WavePlot::Cycle, WavePlot::Band, WavePlot::Diagram}) {
        const Painted painted = paint(plot, data);
        const QRect rect = painted.placement.rect.toRect().adjusted(2, 2, -2, -2);
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) {
                const Ink ink = inkOf(painted.image.pixel(x, y));
                QVERIFY(ink != Ink::PortCurve && ink != Ink::CylinderCurve && ink != Ink::Red && ink != Ink::Blue);
            }
        }
    }
}

QTEST_MAIN(WavePlotsTest)
#include "tst_waveplots.moc"
