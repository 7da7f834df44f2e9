// The chamber's route in space, worked out a second way: each section's turn composed as a
// quaternion about the axis its plane gives in the section's own start frame, and its outlet
// placed from its pieces' placements; planes in the side view's plane keep the chamber there,
// turning every plane turns the chamber about the inlet's axis, neighbouring sections meet rim on
// rim, and each joint's turn carries one seam onto the next.
#include "SecondRoute.h"
#include "TestChambers.h"
#include "model/ChamberQuantities.h"
#include "model/ChamberRoute.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <numbers>

using namespace scaricometro;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kExactMm = 1e-9;
constexpr double kExactRadians = 1e-12;

// The centre, the normal and the radius of a rim, from points on it a quarter turn apart.
struct Circle {
    Vector3 centre;
    Vector3 normal;
    double radius = 0;
};

Circle rim(const RouteSection& section, int piece, int joint)
{
    std::array<Vector3, 4> points;
    for (std::size_t quarter = 0; quarter < points.size(); ++quarter)
        points[quarter] = section.wallPoint(piece, joint, kPi / 2 * static_cast<double>(quarter), 0);
    const Vector3 centre = 0.5 * (points[0] + points[2]);
    return {centre, unit(cross(points[0] - centre, points[1] - centre)), norm(points[0] - centre)};
}

}  // namespace

class ChamberRouteTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void endsAsASecondWorkingOutPlacesThem();
    void planesOfTheSideViewKeepYZero();
    void turningEveryPlaneTurnsTheChamberAboutX();
    void sectionsMeetRimOnRim();
    void eachJointTurnsOneSeamOntoTheNext();
    void straightChamberFillsItsBox();
    void volumesAndSheet();
};

void ChamberRouteTest::endsAsASecondWorkingOutPlacesThem()
{
    QRandomGenerator random(20261210);
    int bent = 0;
    for (int run = 0; run < 500; ++run) {
        const Chamber chamber = randomChamber(random);
        const ChamberRoute route = ChamberRoute::trace(chamber.development, chamber.bends);
        const std::vector<End> expected = secondWorkingOut(chamber, route);
        for (std::size_t i = 0; i < kChamberSections.size(); ++i) {
            const RouteSection& section = route.sections()[i];
            bent += section.isBent() ? 1 : 0;
            const auto where = qPrintable(QStringLiteral("run %1, section %2").arg(run).arg(i + 1));
            QVERIFY2(norm(section.end.point - expected[i].point) <= kExactMm, where);
            QVERIFY2(angleBetween(section.end.along, expected[i].along) <= kExactRadians, where);
            QVERIFY2(angleBetween(section.end.up, expected[i].up) <= kExactRadians, where);
            // The frame carried along agrees with the last piece as it is placed.
            if (section.cuts) {
                const Vector3 lastAxis = section.piecePlacement(section.pieces()).turn({0, 0, 1});
                QVERIFY2(angleBetween(lastAxis, section.end.along) <= kExactRadians, where);
            }
        }
    }
    QVERIFY2(bent > 1000, "most sections were bent");
}

void ChamberRouteTest::planesOfTheSideViewKeepYZero()
{
    QRandomGenerator random(20261211);
    for (int run = 0; run < 200; ++run) {
        Chamber chamber = randomChamber(random);
        for (SectionBend& bend : chamber.bends)
            bend.plane = random.bounded(2) ? 0 : 180;
        const ChamberRoute route = ChamberRoute::trace(chamber.development, chamber.bends);
        for (const RouteSection& section : route.sections()) {
            QVERIFY(std::abs(section.end.point.y) <= kExactMm);
            QVERIFY(std::abs(section.end.along.y) <= kExactRadians && std::abs(section.end.up.y) <= kExactRadians);
            for (int piece = 1; piece <= section.pieces(); ++piece)
                QVERIFY(std::abs(section.axisPoint(piece, piece).y) <= kExactMm);
        }
    }
}

void ChamberRouteTest::turningEveryPlaneTurnsTheChamberAboutX()
{
    QRandomGenerator random(20261212);
    for (int run = 0; run < 200; ++run) {
        Chamber chamber = randomChamber(random);
        const double by = random.bounded(360.0);
        const ChamberRoute before = ChamberRoute::trace(chamber.development, chamber.bends);
        for (SectionBend& bend : chamber.bends)
            bend.plane = withinTurn(bend.plane + by);
        const ChamberRoute after = ChamberRoute::trace(chamber.development, chamber.bends);
        // Clockwise seen looking along +X: the right-hand turn about +X.
        const Quaternion turn = Quaternion::about({1, 0, 0}, by * kPi / 180);
        for (std::size_t i = 0; i < kChamberSections.size(); ++i) {
            const RouteFrame& was = before.sections()[i].end;
            const RouteFrame& is = after.sections()[i].end;
            QVERIFY2(norm(is.point - turn.rotate(was.point)) <= kExactMm, qPrintable(QString::number(run)));
            QVERIFY(angleBetween(is.along, turn.rotate(was.along)) <= kExactRadians);
        }
    }
}

// Where two sections meet, the end rim of the one and the start rim of the next are one circle.
void ChamberRouteTest::sectionsMeetRimOnRim()
{
    QRandomGenerator random(20261213);
    for (int run = 0; run < 300; ++run) {
        const Chamber chamber = randomChamber(random);
        const ChamberRoute route = ChamberRoute::trace(chamber.development, chamber.bends);
        const RouteSection* previous = nullptr;
        for (const RouteSection& section : route.sections()) {
            if (!section.cuts)
                continue;
            if (previous) {
                const Circle end = rim(*previous, previous->pieces(), previous->pieces());
                const Circle start = rim(section, 1, 0);
                QVERIFY(norm(end.centre - start.centre) <= kExactMm);
                QVERIFY(norm(end.normal - start.normal) <= kExactMm);
                QVERIFY(std::abs(end.radius - start.radius) <= kExactMm);
                QVERIFY(norm(start.centre - section.start.point) <= kExactMm);
            }
            previous = &section;
        }
    }
}

// Turned clockwise, seen from the engine end, by the joint's angle, the seam of the section before
// comes onto the seam of the next: the generator at φ = π of each end's piece.
void ChamberRouteTest::eachJointTurnsOneSeamOntoTheNext()
{
    QRandomGenerator random(20261214);
    for (int run = 0; run < 300; ++run) {
        const Chamber chamber = randomChamber(random);
        const ChamberRoute route = ChamberRoute::trace(chamber.development, chamber.bends);
        const auto& sections = route.sections();
        for (std::size_t i = 0; i < sections.size(); ++i) {
            if (!sections[i].cuts)
                continue;
            std::size_t next = i + 1;
            while (next < sections.size() && !sections[next].cuts)
                ++next;
            if (next == sections.size())
                break;
            const RouteSection& before = sections[i];
            const RouteSection& after = sections[next];
            const Vector3 from = unit(before.wallPoint(before.pieces(), before.pieces(), kPi, 0) - before.end.point);
            const Vector3 to = unit(after.wallPoint(1, 0, kPi, 0) - after.start.point);
            const Quaternion turn = Quaternion::about(before.end.along, route.seamTurnDegrees(i) * kPi / 180);
            QVERIFY2(norm(turn.rotate(from) - to) <= 1e-9, qPrintable(QStringLiteral("run %1, joint %2").arg(run).arg(i + 1)));
        }
    }
}

void ChamberRouteTest::straightChamberFillsItsBox()
{
    const ChamberDimensions dimensions = std::get<ChamberDimensions>(computeChamber({203, 510, 12000, 39.3, 29}));
    constexpr double thickness = 1.5;
    const auto development = std::get<ChamberDevelopment>(developChamber(dimensions, thickness));
    const Box box = ChamberRoute::trace(development, {}).bounds();
    const double length = dimensions.L1 + dimensions.L2 + dimensions.L3 + dimensions.L4 + dimensions.L5 + dimensions.L6;
    const double outer = dimensions.D3 / 2 + thickness;
    // Searched for between the samples, each extreme is found to well within a micrometre.
    constexpr double sampling = 1e-6;
    for (const auto& [low, high, expectedLow, expectedHigh] :
         {std::array{box.low.x, box.high.x, 0.0, length}, std::array{box.low.y, box.high.y, -outer, outer},
          std::array{box.low.z, box.high.z, -outer, outer}}) {
        QVERIFY(std::abs(low - expectedLow) <= sampling + kExactMm);
        QVERIFY(std::abs(high - expectedHigh) <= sampling + kExactMm);
    }
}

// A cone's volume against Simpson's rule, which is exact for a quadratic; a bent section's pieces,
// which share their cuts, add up to the whole sector or blank.
void ChamberRouteTest::volumesAndSheet()
{
    const ChamberDimensions dimensions = std::get<ChamberDimensions>(computeChamber({203, 510, 12000, 45, 31}));
    const auto development = std::get<ChamberDevelopment>(developChamber(dimensions, 1.2));
    ChamberBends bends{};
    bends[2] = {40, 5, 75};
    bends[5] = {-30, 6, 200};
    const auto parts = std::get<std::vector<ChamberPart>>(chamberParts(development, 2, bends));
    const ChamberQuantities quantities = chamberQuantities(dimensions, development, parts);
    double volume = 0;
    for (std::size_t i = 0; i < kChamberSections.size(); ++i) {
        const ChamberSection& section = kChamberSections[i];
        const double length = dimensions.*section.lengthValue;
        const auto area = [&](double along) {
            const double radius = (dimensions.*section.startDiameterValue
                                   + (dimensions.*section.endDiameterValue - dimensions.*section.startDiameterValue) * along)
                / 2;
            return kPi * radius * radius;
        };
        const double expected = length / 6 * (area(0) + 4 * area(0.5) + area(1));
        QVERIFY(std::abs(quantities.sections[i].innerVolume - expected) <= 1e-9 * expected);
        volume += expected;
    }
    QVERIFY(std::abs(quantities.innerVolume - volume) <= 1e-9 * volume);

    const ConePattern& cone = development.cones[1];  // L3, bent
    const double sector = (cone.outerRadius * cone.outerRadius - cone.innerRadius * cone.innerRadius) / 2
        * cone.angleDegrees * kPi / 180;
    QVERIFY(std::abs(quantities.sections[2].sheetArea - sector) <= 1e-9 * sector);
    QCOMPARE(quantities.sections[2].parts, 5);
    const CylinderDevelopment& tailpipe = development.cylinders[2];  // L6, bent
    QVERIFY(std::abs(quantities.sections[5].sheetArea - tailpipe.developedWidth * tailpipe.length) <= 1e-9 * sector);
    const ConePattern& first = development.cones[0];  // L2, straight, in two halves
    const double halves = (first.outerRadius * first.outerRadius - first.innerRadius * first.innerRadius) / 2
        * first.angleDegrees * kPi / 180;
    QVERIFY(std::abs(quantities.sections[1].sheetArea - halves) <= 1e-9 * halves);
    QCOMPARE(quantities.sections[1].parts, 2);
    QVERIFY(std::abs(quantities.steelMass - quantities.sheetArea * 1.2 * 7.85e-3) <= 1e-9 * quantities.steelMass);
}

QTEST_APPLESS_MAIN(ChamberRouteTest)
#include "tst_chamberroute.moc"
