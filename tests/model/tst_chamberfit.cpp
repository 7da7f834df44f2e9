// The chamber fitted to a point: over random chambers and points that random bends reach, the bends
// found reach them too, by the route and by the route worked out a second way, bending no more than
// the bends that made them; points out of reach refused for the right reason; a point the chamber
// reaches already left with no bend; a bend too large for the pieces given cut into the fewest that
// take it.
#include "SecondRoute.h"
#include "model/ChamberFit.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <numbers>

using namespace scaricometro;

namespace {

using Reason = FitFailure::Reason;

// Which direction a target asks for, of the made chamber's outlet.
enum class Wanted { Nothing, Both, Plan, Rise };

// The L1 to L6 free of a mask: bit 0 for L1.
FreeSections freeOf(int mask)
{
    FreeSections free{};
    for (std::size_t i = 0; i < free.size(); ++i)
        free[i] = (mask >> i & 1) != 0;
    return free;
}

constexpr int kCones = 0b10110;
constexpr int kConesAndHeader = 0b10111;

// A random chamber whose sections are bent by up to `most` degrees either way, in planes anywhere
// round, in pieces that take the bend.
Chamber bentChamber(QRandomGenerator& random, double most)
{
    Chamber chamber = randomChamber(random);
    for (std::size_t i = 0; i < chamber.bends.size(); ++i) {
        SectionBend& bend = chamber.bends[i];
        bend.degrees = random.bounded(2 * most) - most;
        if (!PieCuts::cut(chamber.development.sections[i], bend))
            bend.degrees = 0;
    }
    return chamber;
}

double squaredBends(const ChamberBends& bends, const FreeSections& free)
{
    double sum = 0;
    for (std::size_t i = 0; i < bends.size(); ++i)
        sum += free[i] ? bends[i].degrees * bends[i].degrees : 0;
    return sum;
}

}  // namespace

class ChamberFitTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void reachesPointsThatBendsReach_data();
    void reachesPointsThatBendsReach();
    void refusesWhatCannotBeReached_data();
    void refusesWhatCannotBeReached();
    void reachedAlreadyBendsNothing();
    void raisesThePiecesToTheFewestThatTakeTheBend();
};

void ChamberFitTest::reachesPointsThatBendsReach_data()
{
    QTest::addColumn<int>("mask");  // -1: a random choice of sections for each chamber
    QTest::addColumn<Wanted>("wanted");
    QTest::addColumn<double>("most");
    QTest::addColumn<int>("runs");

    QTest::newRow("the cones and the header") << kConesAndHeader << Wanted::Nothing << 60.0 << 60;
    QTest::newRow("any sections, bends to 90") << -1 << Wanted::Nothing << 90.0 << 60;
    QTest::newRow("a direction, four free") << kConesAndHeader << Wanted::Both << 60.0 << 30;
    QTest::newRow("a direction, every section free") << 0b111111 << Wanted::Both << 45.0 << 20;
    QTest::newRow("the angle in plan alone") << 0b110110 << Wanted::Plan << 60.0 << 20;
    QTest::newRow("the rise alone") << kCones << Wanted::Rise << 60.0 << 20;
}

void ChamberFitTest::reachesPointsThatBendsReach()
{
    QFETCH(int, mask);
    QFETCH(Wanted, wanted);
    QFETCH(double, most);
    QFETCH(int, runs);

    QRandomGenerator random(20261216 + static_cast<quint32>(mask + 10 * static_cast<int>(wanted)));
    for (int run = 0; run < runs; ++run) {
        const Chamber made = bentChamber(random, most);
        const FreeSections free = freeOf(mask >= 0 ? mask : 1 + static_cast<int>(random.bounded(63)));
        const RouteFrame outlet = ChamberRoute::trace(made.development, made.bends).outlet();
        const Heading heading = headingOf(outlet.along);
        FitTarget target{outlet.point, {}, {}};
        if (wanted == Wanted::Both || wanted == Wanted::Plan)
            target.planDegrees = heading.planDegrees;
        if (wanted == Wanted::Both || wanted == Wanted::Rise)
            target.riseDegrees = heading.riseDegrees;
        // The dialog holds the free sections straight, the others as they were made.
        ChamberBends given = made.bends;
        for (std::size_t i = 0; i < given.size(); ++i) {
            if (free[i])
                given[i].degrees = 0;
        }

        const QByteArray where = "run " + QByteArray::number(run);
        const FitOutcome outcome = fitChamber(made.development, given, free, target);
        QVERIFY2(std::holds_alternative<FitSolution>(outcome), where.constData());
        const FitSolution& found = std::get<FitSolution>(outcome);
        const ChamberRoute route = ChamberRoute::trace(made.development, found.bends);
        const Chamber fitted{made.development, found.bends};
        const Vector3 secondly = secondWorkingOut(fitted, route).back().point;
        QVERIFY2(norm(route.outlet().point - target.point) <= kFitToleranceMm, where.constData());
        QVERIFY2(norm(secondly - target.point) <= kFitToleranceMm, where.constData());
        // The angle the outlet is off the way wanted: off the made outlet's axis, or off the
        // vertical plane through it for the angle in plan alone; the rise alone as an angle.
        const Vector3 along = route.outlet().along;
        const Vector3 level = unit({outlet.along.x, outlet.along.y, 0});
        const double off = wanted == Wanted::Both ? angleBetween(along, outlet.along)
            : wanted == Wanted::Plan              ? std::asin(std::abs(dot(along, cross({0, 0, 1}, level))))
                                                  : std::abs(std::asin(along.z) - std::asin(outlet.along.z));
        QVERIFY2(wanted == Wanted::Nothing || off * 180 / std::numbers::pi <= kFitToleranceDegrees, where.constData());
        QVERIFY2(wanted != Wanted::Plan || dot(along, level) > 0, where.constData());
        // No more bending than made the point, but for the rounding to four decimals.
        double rounding = 0;
        for (std::size_t i = 0; i < kChamberSections.size(); ++i) {
            rounding += free[i] ? std::abs(found.bends[i].degrees) * 1e-4 : 0;
            QVERIFY2(!route.sections()[i].refusal, where.constData());
            if (!free[i])
                QVERIFY(found.bends[i].degrees == given[i].degrees && found.bends[i].plane == given[i].plane);
            QCOMPARE(found.piecesRaised[i], found.bends[i].pieces > given[i].pieces);
        }
        QVERIFY2(squaredBends(found.bends, free) <= squaredBends(made.bends, free) * (1 + 1e-9) + rounding,
                 qPrintable(QStringLiteral("run %1: %2 against %3").arg(run).arg(squaredBends(found.bends, free))
                                .arg(squaredBends(made.bends, free))));
    }
}

void ChamberFitTest::refusesWhatCannotBeReached_data()
{
    // 0 beyond the chamber's length, 1 behind the inlet, 2 turned sideways, 3 a few tenths of a
    // millimetre beyond the straight chamber's outlet
    QTest::addColumn<int>("place");
    QTest::addColumn<int>("mask");   // -1: one section, drawn at random
    QTest::addColumn<Reason>("reason");

    QTest::newRow("beyond the chamber's length") << 0 << kConesAndHeader << Reason::TooFar;
    QTest::newRow("beyond it, every section free") << 0 << 0b111111 << Reason::TooFar;
    QTest::newRow("just beyond the straight outlet") << 3 << kConesAndHeader << Reason::TooFar;
    QTest::newRow("just beyond it, every section free") << 3 << 0b111111 << Reason::TooFar;
    QTest::newRow("behind the inlet, one section free") << 1 << -1 << Reason::TooNear;
    QTest::newRow("the straight outlet turned sideways by the first three") << 2 << 0b000111 << Reason::Direction;
}

void ChamberFitTest::refusesWhatCannotBeReached()
{
    QFETCH(int, place);
    QFETCH(int, mask);
    QFETCH(Reason, reason);

    QRandomGenerator random(20261217 + static_cast<quint32>(place));
    constexpr int kRuns = 12;
    for (int run = 0; run < kRuns; ++run) {
        const Chamber chamber = chamberOf({203, 510, 12000, 20 + random.bounded(60.0), 20 + random.bounded(60.0)}, 1);
        const FreeSections free = freeOf(mask >= 0 ? mask : 1 << random.bounded(6));
        double length = 0;
        for (const Frustum& section : chamber.development.sections)
            length += std::max(section.length, 0.0);
        const Vector3 away = unit({random.bounded(2.0) - 1, random.bounded(2.0) - 1, random.bounded(2.0) - 1});
        FitTarget target;
        if (place == 0)
            target.point = (length * 1.02 + 5) * away;
        if (place == 1)
            target.point = {-10 - random.bounded(200.0), random.bounded(100.0) - 50, random.bounded(100.0) - 50};
        if (place == 2) {
            target = {ChamberRoute::trace(chamber.development, {}).outlet().point, 90 + random.bounded(180.0), 0};
        }
        if (place == 3) {
            const RouteFrame straight = ChamberRoute::trace(chamber.development, {}).outlet();
            target.point = straight.point + (0.2 + random.bounded(0.3)) * straight.along;
        }
        const FitOutcome outcome = fitChamber(chamber.development, chamber.bends, free, target);
        QVERIFY2(std::holds_alternative<FitFailure>(outcome), qPrintable(QString::number(run)));
        const FitFailure& failure = std::get<FitFailure>(outcome);
        QCOMPARE(failure.reason, reason);
        QVERIFY(std::abs(failure.distanceMm - norm(target.point)) <= 1e-9 * failure.distanceMm);
        const ChamberRoute nearest = ChamberRoute::trace(chamber.development, failure.nearest);
        QVERIFY(std::abs(failure.missMm - norm(nearest.outlet().point - target.point)) <= 1e-9);
        if (reason == Reason::TooFar)
            QVERIFY2(failure.reachMm < failure.distanceMm && failure.reachMm >= length - 1e-6, qPrintable(QString::number(run)));
        if (reason == Reason::TooNear)
            QVERIFY(failure.missMm > kFitToleranceMm && norm(nearest.outlet().point) > failure.distanceMm);
        if (reason == Reason::Direction)
            QVERIFY(!outletReaches(nearest, target));
    }
}

// The straight chamber's outlet, with the sections not free bent as given: every free bend 0, its
// pieces and plane as they were.
void ChamberFitTest::reachedAlreadyBendsNothing()
{
    const Chamber chamber = chamberOf(kDefaultInputs, 1, {{3, {10, 3, 45}}, {5, {-20, 4, 300}}});
    ChamberBends given = chamber.bends;
    given[1].plane = 77;
    const RouteFrame outlet = ChamberRoute::trace(chamber.development, chamber.bends).outlet();
    const Heading heading = headingOf(outlet.along);
    for (const FitTarget& target : {FitTarget{outlet.point, {}, {}}, FitTarget{outlet.point, heading.planDegrees, heading.riseDegrees}}) {
        const FitOutcome outcome = fitChamber(chamber.development, given, freeOf(kConesAndHeader), target);
        QVERIFY(std::holds_alternative<FitSolution>(outcome));
        const FitSolution& found = std::get<FitSolution>(outcome);
        for (std::size_t i = 0; i < kChamberSections.size(); ++i) {
            QCOMPARE(found.bends[i].degrees, given[i].degrees);
            QCOMPARE(found.bends[i].plane, given[i].plane);
            QCOMPARE(found.bends[i].pieces, given[i].pieces);
            QVERIFY(!found.piecesRaised[i]);
        }
    }
}

// The header alone free, its point made by 150° in 5 pieces: 2, 3 and 4 cannot take that bend, 5 can.
void ChamberFitTest::raisesThePiecesToTheFewestThatTakeTheBend()
{
    const Chamber made = chamberOf(kDefaultInputs, 1, {{0, {150, 5, 30}}});
    QVERIFY(!PieCuts::cut(made.development.sections[0], {150, 4, 0}) && PieCuts::cut(made.development.sections[0], {150, 5, 0}));
    ChamberBends given{};
    given[0].pieces = 2;
    const FitTarget target{ChamberRoute::trace(made.development, made.bends).outlet().point, {}, {}};
    const FitOutcome outcome = fitChamber(made.development, given, freeOf(1), target);
    QVERIFY(std::holds_alternative<FitSolution>(outcome));
    const FitSolution& found = std::get<FitSolution>(outcome);
    QCOMPARE(found.bends[0].pieces, 5);
    QVERIFY(found.piecesRaised[0]);
    QVERIFY(std::abs(found.bends[0].degrees - 150) <= 1e-3 && std::abs(found.bends[0].plane - 30) <= 1e-3);
}

QTEST_APPLESS_MAIN(ChamberFitTest)
#include "tst_chamberfit.moc"
