// The dimetric view: its axes drawn as the standard draws them, the chamber painted exactly where
// its model projects, lit from the upper left, and a refused section red.
#include "model/ChamberMesh.h"
#include "views/PictorialView.h"

#include <QImage>
#include <QTest>

#include <cmath>
#include <numbers>

using namespace scaricometro;

namespace {

constexpr double kDotsPerMm = 8;
constexpr QRgb kPaper = 0xFFFFFF;

ChamberRoute routeOf(const ChamberBends& bends)
{
    const ChamberDimensions dimensions = std::get<ChamberDimensions>(computeChamber({203, 510, 12000, 39.3, 29}));
    return ChamberRoute::trace(std::get<ChamberDevelopment>(developChamber(dimensions, 1)), bends);
}

// The view painted on white at 1:scale, from the image's top left corner.
QImage painted(const PictorialView& view, double scale)
{
    const QSizeF size = view.sizeAt(scale) * kDotsPerMm;
    QImage image(static_cast<int>(std::ceil(size.width())) + 1, static_cast<int>(std::ceil(size.height())) + 1,
                 QImage::Format_RGB32);
    image.fill(kPaper);
    QPainter painter(&image);
    view.paint(Canvas(painter, kDotsPerMm), {0, 0}, scale);
    return image;
}

// The painted pixels under the name row.
QRectF paintedArea(const QImage& image)
{
    int left = image.width(), right = -1, top = image.height(), bottom = -1;
    for (int y = static_cast<int>(kViewNameRowMm * kDotsPerMm) + 1; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != (kPaper | 0xFF000000)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return QRectF(left, top, right - left + 1, bottom - top + 1);
}

// Where the model's outer rims fall in the view, mm of the chamber with y up.
QRectF projectedExtent(const ChamberRoute& route)
{
    const ChamberMesh mesh = ChamberMesh::withSegments(route, PictorialView::kPrintSegments);
    double left = INFINITY, right = -INFINITY, low = INFINITY, high = -INFINITY;
    for (const MeshShell& shell : mesh.shells()) {
        for (std::uint32_t i = 0; i < MeshShell::InnerAtEngineEnd * std::uint32_t(shell.segments); ++i) {
            const QPointF at = PictorialView::projected(mesh.vertices()[shell.firstVertex + i]);
            left = std::min(left, at.x());
            right = std::max(right, at.x());
            low = std::min(low, at.y());
            high = std::max(high, at.y());
        }
    }
    return QRectF(left, low, right - left, high - low);
}

// Red at any shade: the steel's greys are bluish.
bool isRed(QRgb pixel)
{
    return qRed(pixel) > 1.15 * std::max(qGreen(pixel), qBlue(pixel));
}

int redPixels(const QImage& image)
{
    int red = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            red += isRed(image.pixel(x, y)) ? 1 : 0;
    }
    return red;
}

}  // namespace

Q_DECLARE_METATYPE(ChamberBends)

class PictorialViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void axesAsTheStandardDrawsThem_data();
    void axesAsTheStandardDrawsThem();
    void paintedWhereTheModelProjects_data();
    void paintedWhereTheModelProjects();
    void litFromTheUpperLeft();
};

void PictorialViewTest::axesAsTheStandardDrawsThem_data()
{
    QTest::addColumn<Vector3>("axis");
    QTest::addColumn<double>("degrees");  // from the horizontal, counter-clockwise
    QTest::addColumn<double>("length");   // drawn, of a unit length

    // The dimetric view of ISO 5456-3: X about 7° below the horizontal, Y about 42° above it at
    // half the length, Z upright; exactly, tan 7.18° = 1 / (3√7), tan 41.41° = √7 / 3.
    QTest::newRow("X") << Vector3{1, 0, 0} << -std::atan(1 / (3 * std::sqrt(7.0))) * 180 / std::numbers::pi
                       << std::sqrt(8.0 / 9);
    QTest::newRow("Y") << Vector3{0, 1, 0} << std::atan(std::sqrt(7.0) / 3) * 180 / std::numbers::pi
                       << std::sqrt(2.0 / 9);
    QTest::newRow("Z") << Vector3{0, 0, 1} << 90.0 << std::sqrt(8.0 / 9);
}

void PictorialViewTest::axesAsTheStandardDrawsThem()
{
    QFETCH(Vector3, axis);
    QFETCH(double, degrees);
    QFETCH(double, length);
    const QPointF drawn = PictorialView::projected(axis);
    QVERIFY(std::abs(std::atan2(drawn.y(), drawn.x()) * 180 / std::numbers::pi - degrees) < 1e-12);
    QVERIFY(std::abs(std::hypot(drawn.x(), drawn.y()) - length) < 1e-15);
    QVERIFY(std::abs(std::round(degrees) - degrees) < 0.6);
    // The viewer is in front of the side view (−Y), above (+Z), towards the outlet (+X).
    QCOMPARE(PictorialView::nearness(axis) > 0, axis.y == 0);
}

void PictorialViewTest::paintedWhereTheModelProjects_data()
{
    QTest::addColumn<ChamberBends>("bends");
    QTest::addColumn<bool>("refused");

    ChamberBends planes{};
    planes[0] = {-60, 6, 0};
    planes[2] = {30, 4, 90};
    planes[4] = {45, 6, 200};
    ChamberBends belly = planes;
    belly[3] = {80, 2, 0};
    QTest::newRow("straight") << ChamberBends{} << false;
    QTest::newRow("three planes") << planes << false;
    QTest::newRow("three planes, the belly's bend refused") << belly << true;
}

// The drawing spans the model's outer rims as the view projects them, to a pixel; red pixels only
// where a section is refused.
void PictorialViewTest::paintedWhereTheModelProjects()
{
    QFETCH(ChamberBends, bends);
    QFETCH(bool, refused);
    const ChamberRoute route = routeOf(bends);
    const double scale = 5;
    const QImage image = painted(PictorialView(route), scale);
    const QRectF extent = projectedExtent(route);
    const QRectF area = paintedArea(image);
    const double pixelsPerChamberMm = kDotsPerMm / scale;
    constexpr double kPixels = 2;  // the outline's half width and a pixel's rounding
    QVERIFY2(std::abs(area.width() - extent.width() * pixelsPerChamberMm) <= kPixels,
             qPrintable(QStringLiteral("%1 against %2").arg(area.width()).arg(extent.width() * pixelsPerChamberMm)));
    QVERIFY2(std::abs(area.height() - extent.height() * pixelsPerChamberMm) <= kPixels,
             qPrintable(QStringLiteral("%1 against %2").arg(area.height()).arg(extent.height() * pixelsPerChamberMm)));
    QVERIFY(std::abs(area.top() - kViewNameRowMm * kDotsPerMm) <= kPixels);
    QCOMPARE(redPixels(image) > 0, refused);
    // Filled red, not only outlined: each refused section's wall where it is nearest the viewer,
    // half way along.
    const Vector3 towardsViewer{PictorialView::nearness({1, 0, 0}), PictorialView::nearness({0, 1, 0}),
                                PictorialView::nearness({0, 0, 1})};
    for (const RouteSection& section : route.sections()) {
        if (!section.refusal)
            continue;
        const Vector3 along = section.start.along;
        const Vector3 facing = unit(towardsViewer - dot(towardsViewer, along) * along);
        const double radius = section.cuts->section().engineRadius;
        const QPointF middle = PictorialView::projected(0.5 * (section.start.point + section.end.point) + radius * facing);
        QVERIFY(isRed(image.pixel(static_cast<int>((middle.x() - extent.left()) * pixelsPerChamberMm),
                                  static_cast<int>(kViewNameRowMm * kDotsPerMm + (extent.bottom() - middle.y()) * pixelsPerChamberMm))));
    }
    if (QTest::currentTestFailed())
        image.save(QStringLiteral("pictorial-%1.png").arg(QString::fromUtf8(QTest::currentDataTag())));
}

// Across the belly of the straight chamber, the wall facing up is lighter than the wall facing down.
void PictorialViewTest::litFromTheUpperLeft()
{
    const ChamberRoute route = routeOf({});
    const double scale = 5;
    const QImage image = painted(PictorialView(route), scale);
    const QRectF extent = projectedExtent(route);
    const auto pixelAt = [&](QPointF mm) {
        return image.pixel(static_cast<int>((mm.x() - extent.left()) / scale * kDotsPerMm),
                           static_cast<int>(kViewNameRowMm * kDotsPerMm + (extent.bottom() - mm.y()) / scale * kDotsPerMm));
    };
    const RouteSection& belly = route.sections()[3];
    const QPointF middle = PictorialView::projected(0.5 * (belly.start.point + belly.end.point));
    const QPointF along = PictorialView::projected({1, 0, 0});
    const QPointF up = QPointF(-along.y(), along.x()) / std::hypot(along.x(), along.y());
    const double radius = belly.cuts->section().engineRadius;
    const QRgb upper = pixelAt(middle + 0.6 * radius * up);
    const QRgb lower = pixelAt(middle - 0.6 * radius * up);
    QVERIFY2(qGray(upper) > qGray(lower) + 40, qPrintable(QStringLiteral("%1 against %2").arg(qGray(upper)).arg(qGray(lower))));
}

QTEST_MAIN(PictorialViewTest)
#include "tst_pictorialview.moc"
