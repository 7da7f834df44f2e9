// The cones laid flat: every sector must roll into its cone, whatever the chamber, and the sheets
// a pattern is tiled over must carry the whole outline and nothing but sheets that have some.
#include "model/ConeDevelopment.h"
#include "model/SheetTiling.h"

#include <QRandomGenerator>
#include <QTest>

#include <array>
#include <cmath>
#include <numbers>

using namespace scaricometro;

Q_DECLARE_METATYPE(DevelopmentFailure::Reason)

namespace {

// The printable areas of an A4 sheet, upright and on its side, less margins, heading and ruler.
constexpr std::array kA4Areas{SheetArea{190, 227}, SheetArea{277, 140}};

ChamberDimensions chamber(double stroke, double headerDiameter)
{
    return std::get<ChamberDimensions>(computeChamber({203, 510, 12000, stroke, headerDiameter}));
}

bool near(double actual, double expected)
{
    return std::abs(actual - expected) <= 1e-9 * std::max(1.0, std::abs(expected));
}

}  // namespace

class ConeDevelopmentTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sectorsRollIntoTheirCones();
    void refuses_data();
    void refuses();
    void tilesCoverTheWholeOutline_data();
    void tilesCoverTheWholeOutline();
    void refusesPatternsTooLargeToPrint();
};

// Cones and cylinders alike roll from sheet bent about its mid-thickness.
void ConeDevelopmentTest::sectorsRollIntoTheirCones()
{
    QRandomGenerator random(20261209);
    for (int run = 0; run < 2000; ++run) {
        const double stroke = 5 + random.bounded(85.0);  // below 11,8 mm the header pipe is negative
        const double header = 5 + random.bounded(120.0);
        const double thickness = run % 10 == 0 ? 0 : random.bounded(4.0);
        const ChamberDimensions dimensions = chamber(stroke, header);
        const auto development = std::get<ChamberDevelopment>(developChamber(dimensions, thickness));
        for (std::size_t i = 0; i < kConeSections.size(); ++i) {
            const ConePattern& cone = development.cones[i];
            const double start = dimensions.*kConeSections[i].startDiameterValue + thickness;
            const double end = dimensions.*kConeSections[i].endDiameterValue + thickness;
            const double angle = cone.angleDegrees * std::numbers::pi / 180;
            const auto context = [&] { return qPrintable(QStringLiteral("run %1, cone %2").arg(run).arg(i)); };
            QVERIFY2(near(cone.outerRadius * angle, std::numbers::pi * std::max(start, end)), context());
            QVERIFY2(near(cone.innerRadius * angle, std::numbers::pi * std::min(start, end)), context());
            QVERIFY2(near(cone.outerRadius - cone.innerRadius, cone.slant), context());
            QVERIFY2(near(cone.slant, std::hypot(dimensions.*kConeSections[i].lengthValue, (start - end) / 2)), context());
            QVERIFY2(near(cone.outerChord, 2 * cone.outerRadius * std::sin(angle / 2)), context());
            const AnnularSector half = cone.piece(2);
            QVERIFY2(near(half.angleDegrees * 2, cone.angleDegrees) && half.outerRadius == cone.outerRadius, context());
        }
        for (std::size_t i = 0; i < kCylinderSections.size(); ++i) {
            const CylinderDevelopment& cylinder = development.cylinders[i];
            QCOMPARE(cylinder.length, dimensions.*kCylinderSections[i].lengthValue);
            QVERIFY(near(cylinder.developedWidth, std::numbers::pi * (dimensions.*kCylinderSections[i].startDiameterValue + thickness)));
        }
    }
}

void ConeDevelopmentTest::refuses_data()
{
    QTest::addColumn<double>("header");
    QTest::addColumn<double>("thickness");
    QTest::addColumn<DevelopmentFailure::Reason>("reason");
    QTest::addColumn<int>("cone");

    using Reason = DevelopmentFailure::Reason;
    QTest::newRow("no header") << 0.0 << 1.0 << Reason::HeaderNotPositive << 0;
    QTest::newRow("negative header") << -29.0 << 1.0 << Reason::HeaderNotPositive << 0;
    QTest::newRow("negative thickness") << 29.0 << -0.5 << Reason::ThicknessNegative << 0;
    QTest::newRow("thickness swamps the first cone") << 1e-20 << 1.0 << Reason::NoSector << 0;
    QTest::newRow("thickness past the double range") << 29.0 << 1e308 << Reason::NoSector << 0;
}

void ConeDevelopmentTest::refuses()
{
    QFETCH(double, header);
    QFETCH(double, thickness);
    QFETCH(DevelopmentFailure::Reason, reason);
    QFETCH(int, cone);

    const DevelopmentOutcome outcome = developChamber(chamber(39.3, header), thickness);
    QVERIFY(std::holds_alternative<DevelopmentFailure>(outcome));
    QCOMPARE(std::get<DevelopmentFailure>(outcome).reason, reason);
    QCOMPARE(std::get<DevelopmentFailure>(outcome).cone, static_cast<std::size_t>(cone));
}

void ConeDevelopmentTest::tilesCoverTheWholeOutline_data()
{
    QTest::addColumn<double>("header");
    QTest::addColumn<int>("pieces");

    QTest::newRow("default chamber") << 29.0 << 1;
    QTest::newRow("header 60 mm") << 60.0 << 1;
    QTest::newRow("header 60 mm, halves") << 60.0 << 2;
    QTest::newRow("header 150 mm") << 150.0 << 1;
}

void ConeDevelopmentTest::tilesCoverTheWholeOutline()
{
    QFETCH(double, header);
    QFETCH(int, pieces);

    const auto development = std::get<ChamberDevelopment>(developChamber(chamber(39.3, header), 1));
    for (const ConePattern& cone : development.cones) {
        const AnnularSector piece = cone.piece(pieces);
        const std::optional<TilePlan> plan = planSheets(std::array{sectorOutline(piece)}, kA4Areas);
        QVERIFY(plan);
        // A narrow sector that fits an upright sheet as it stands is printed so, on one sheet.
        const double halfAngle = piece.angleDegrees / 2 * std::numbers::pi / 180;
        if (piece.angleDegrees <= 180 && piece.outerChord() <= kA4Areas[0].width
            && piece.outerRadius - piece.innerRadius * std::cos(halfAngle) <= kA4Areas[0].height) {
            QCOMPARE(plan->sheets.size(), std::size_t{1});
            QCOMPARE(plan->turnDegrees, 0.0);
        }
        const SheetArea area = kA4Areas.at(plan->areaOption);
        std::vector<bool> used(plan->sheets.size());
        // Points every half millimetre along the outline, turned as the plan turns it.
        const PartOutline turned = sectorOutline(piece).turned(plan->turnDegrees);
        const int points = static_cast<int>(turned.length() * 2);
        for (int i = 0; i <= points; ++i) {
            const Point point = turned.pointAt(double(i) / points);
            bool covered = false;
            for (std::size_t s = 0; s < plan->sheets.size(); ++s) {
                const Rect& shown = plan->sheets[s].area;
                QCOMPARE(shown.width, area.width);
                QCOMPARE(shown.height, area.height);
                if (shown.contains(point))
                    covered = used[s] = true;
            }
            QVERIFY2(covered, qPrintable(QStringLiteral("(%1, %2) is on no sheet").arg(point.x).arg(point.y)));
        }
        QVERIFY2(std::find(used.begin(), used.end(), false) == used.end(), "a sheet shows none of the outline");
    }
}

void ConeDevelopmentTest::refusesPatternsTooLargeToPrint()
{
    QVERIFY(!planSheets(std::array{sectorOutline({20000, 19000, 90})}, kA4Areas));
    QVERIFY(planSheets(std::array{sectorOutline({1000, 900, 30})}, kA4Areas));
}

QTEST_APPLESS_MAIN(ConeDevelopmentTest)
#include "tst_conedevelopment.moc"
