// The chamber as built: following the window's results while it is the window's, tuned or typed
// by hand and then kept through "Calcola", sections that make no chamber refused naming the figure
// with nothing changed, and one undo putting back what the last tuning or return to the window's
// replaced.
#include "model/BuiltChamber.h"

#include <QTest>

using namespace scaricometro;

namespace {

constexpr ChamberInputs kDefaults{203, 510, 12000, 39.3, 29};

ChamberDimensions dimensionsOf(const ChamberInputs& inputs)
{
    return std::get<ChamberDimensions>(computeChamber(inputs));
}

ChamberDimensions with(ChamberDimensions dimensions, std::size_t figure, double value)
{
    dimensions.*kSectionFigures[figure].value = value;
    return dimensions;
}

}  // namespace

Q_DECLARE_METATYPE(SectionsRefusal::Reason)

class BuiltChamberTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void followsTheWindowUntilTunedOrTyped();
    void sectionsThatMakeNoChamberAreRefused_data();
    void sectionsThatMakeNoChamberAreRefused();
    void tuningMultipliesTheHeaderToTheConvergentCone();
    void undoPutsBackWhatTheLastTuningOrReturnReplaced();
};

void BuiltChamberTest::followsTheWindowUntilTunedOrTyped()
{
    const ChamberDimensions first = dimensionsOf(kDefaults);
    const ChamberDimensions second = dimensionsOf({203, 510, 12000, 44, 31});
    BuiltChamber built(first);
    QCOMPARE(built.source(), ChamberSource::Window);
    built.setWindow(second);
    QVERIFY(built.dimensions() == second);
    QVERIFY(!built.windowChangedSince());
    QVERIFY(built.changedFigures().empty());

    const ChamberDimensions typed = with(second, 2, 250);
    QVERIFY(!built.setByHand(typed));
    QCOMPARE(built.source(), ChamberSource::ByHand);
    QCOMPARE(built.dimensions().L3, 250.0);
    QCOMPARE(built.changedFigures(), std::vector<std::size_t>{2});
    built.setWindow(first);
    QVERIFY(built.dimensions() == typed);
    QVERIFY(built.windowChangedSince());
    // Every figure of the window's now differs but L3's typed one, which differs too.
    QCOMPARE(built.changedFigures().size(), std::size_t{10});
    built.setWindow(second);
    QVERIFY(!built.windowChangedSince());

    // Typing the window's own figures changes nothing.
    BuiltChamber untouched(first);
    QVERIFY(!untouched.setByHand(first));
    QCOMPARE(untouched.source(), ChamberSource::Window);
}

void BuiltChamberTest::sectionsThatMakeNoChamberAreRefused_data()
{
    QTest::addColumn<std::size_t>("figure");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<SectionsRefusal::Reason>("reason");
    using Reason = SectionsRefusal::Reason;
    QTest::newRow("no belly") << std::size_t{3} << 0.0 << false << Reason::NotAFigure;
    QTest::newRow("a negative header") << std::size_t{0} << -0.001 << true << Reason::NegativeLength;
    QTest::newRow("a negative tailpipe") << std::size_t{5} << -245.0 << true << Reason::NegativeLength;
    QTest::newRow("no outlet") << std::size_t{9} << 0.0 << true << Reason::DiameterNotPositive;
    QTest::newRow("a negative belly diameter") << std::size_t{8} << -110.0 << true << Reason::DiameterNotPositive;
    QTest::newRow("a length not a number") << std::size_t{4} << std::nan("") << true << Reason::NotAFigure;
    QTest::newRow("an infinite diameter") << std::size_t{6} << HUGE_VAL << true << Reason::NotAFigure;
}

void BuiltChamberTest::sectionsThatMakeNoChamberAreRefused()
{
    QFETCH(std::size_t, figure);
    QFETCH(double, value);
    QFETCH(bool, refused);
    QFETCH(SectionsRefusal::Reason, reason);
    const ChamberDimensions window = dimensionsOf(kDefaults);
    BuiltChamber built(window);
    built.tune({12000, 1.375, 12000, {}});
    const ChamberDimensions tuned = built.dimensions();
    const std::optional<SectionsRefusal> refusal = built.setByHand(with(tuned, figure, value));
    QCOMPARE(refusal.has_value(), refused);
    if (refused) {
        QCOMPARE(refusal->figure, figure);
        QCOMPARE(refusal->reason, reason);
        QVERIFY(built.dimensions() == tuned);
        QCOMPARE(built.source(), ChamberSource::Tuned);
        QVERIFY(built.canUndo());
    } else {
        QCOMPARE(built.dimensions().*kSectionFigures[figure].value, value);
        QCOMPARE(built.source(), ChamberSource::ByHand);
    }
}

void BuiltChamberTest::tuningMultipliesTheHeaderToTheConvergentCone()
{
    const ChamberDimensions window = dimensionsOf(kDefaults);
    BuiltChamber built(window);
    const ChamberTuning tuning{12000, 1.375, 12010, 11987};
    built.tune(tuning);
    QCOMPARE(built.source(), ChamberSource::Tuned);
    QCOMPARE(built.tuning()->factor, 1.375);
    for (std::size_t i = 0; i < kSectionFigures.size(); ++i) {
        const double before = window.*kSectionFigures[i].value;
        QCOMPARE(built.dimensions().*kSectionFigures[i].value, i < kTunedLengths ? before * 1.375 : before);
    }
    QCOMPARE(built.changedFigures(), (std::vector<std::size_t>{0, 1, 2, 3, 4}));
    QCOMPARE(built.dimensions().totalLength, window.totalLength);
    // "Calcola" after the tuning keeps it.
    built.setWindow(dimensionsOf({203, 510, 9000, 39.3, 29}));
    QCOMPARE(built.dimensions().L1, window.L1 * 1.375);
    QVERIFY(built.windowChangedSince());
}

void BuiltChamberTest::undoPutsBackWhatTheLastTuningOrReturnReplaced()
{
    const ChamberDimensions window = dimensionsOf(kDefaults);
    const ChamberDimensions later = dimensionsOf({203, 510, 12000, 44, 31});
    BuiltChamber built(window);
    QVERIFY(!built.undo());
    built.tune({12000, 1.375, 12000, {}});
    const ChamberDimensions tuned = built.dimensions();
    built.followWindow();
    QVERIFY(built.dimensions() == window);
    QVERIFY(built.undo());
    QVERIFY(built.dimensions() == tuned);
    QCOMPARE(built.source(), ChamberSource::Tuned);
    QVERIFY(!built.undo());

    // Undoing a tuning of the window's chamber gives the window's results as they are now.
    BuiltChamber following(window);
    following.tune({9000, 1.8, 9000, {}});
    following.setWindow(later);
    QVERIFY(following.undo());
    QCOMPARE(following.source(), ChamberSource::Window);
    QVERIFY(following.dimensions() == later);

    // Typed over, a tuning is no longer what an undo takes back.
    built.tune({11000, 1.1, 11000, {}});
    QVERIFY(!built.setByHand(with(built.dimensions(), 5, 200)));
    QVERIFY(!built.canUndo());
}

QTEST_APPLESS_MAIN(BuiltChamberTest)
#include "tst_builtchamber.moc"
