// The chamber tuned to an rpm: the default chamber tuned to 12 000 has its refined accord there,
// found again with the same factor whatever the number of workers; targets beyond what the factor's
// range reaches are refused for their reason with the nearest accord found; the search stops when
// asked.
#include "model/ChamberModel.h"
#include "waves/ChamberTuning.h"

#include <QTest>

#include <chrono>
#include <cmath>

using namespace scaricometro;
using namespace scaricometro::waves;

namespace {

constexpr ChamberInputs kDefaults{203, 510, 12000, 39.3, 29};
// The default chamber's accord, as the parabola through the band's plugs puts it.
constexpr double kDefaultAccord = 16418;

TuningRequest requestFor(double target, unsigned threads = 0)
{
    const ChamberDimensions chamber = std::get<ChamberDimensions>(computeChamber(kDefaults));
    return {std::get<WaveSetup>(prepareWaves(kDefaults, chamber, {})), chamber, target, kDefaultAccord, threads};
}

struct Traced {
    std::optional<TuningOutcome> outcome;
    std::vector<TuningProgress> progress;
};

Traced tune(const TuningRequest& request)
{
    Traced traced;
    const std::atomic<bool> stop{false};
    traced.outcome = tuneChamber(request, [&](const TuningProgress& progress) { traced.progress.push_back(progress); }, stop);
    return traced;
}

}  // namespace

Q_DECLARE_METATYPE(TuningFailure::Reason)

class ChamberTuningTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void defaultChamberTunedTo12000();
    void targetsOutOfReachAreRefused_data();
    void targetsOutOfReachAreRefused();
    void stopsWhenAsked();
};

void ChamberTuningTest::defaultChamberTunedTo12000()
{
    const TuningRequest request = requestFor(12000);
    const Traced traced = tune(request);
    QVERIFY(traced.outcome);
    const auto* found = std::get_if<TuningFound>(&*traced.outcome);
    QVERIFY(found);
    qInfo("L1–L5 × %.4f in %d steps: best %.0f rpm, parabola %.0f", found->factor, found->steps, found->accord.bestRpm,
          *found->accord.parabolaRpm);
    QCOMPARE_LE(std::abs(*found->accord.parabolaRpm - 12000), kTuningToleranceRpm);
    // The accord goes nearly as 1/k: 16 418 ÷ 12 000 is 1,368.
    QVERIFY(found->factor > 1.3 && found->factor < 1.45);
    for (std::size_t i = 0; i < kSectionFigures.size(); ++i) {
        const double before = request.chamber.*kSectionFigures[i].value;
        QCOMPARE(found->dimensions.*kSectionFigures[i].value, i < kTunedLengths ? before * found->factor : before);
    }
    QCOMPARE(found->accord.band.size(), sweepRpms(12000).size());

    // The steps numbered from 1, each told, then the whole sweep counted up.
    int steps = 0;
    std::size_t checked = 0;
    for (const TuningProgress& progress : traced.progress) {
        if (const auto* step = std::get_if<TuningStep>(&progress)) {
            QCOMPARE(step->number, ++steps);
        } else {
            const auto& check = std::get<TuningCheck>(progress);
            QVERIFY(check.done > checked && check.done <= check.count);
            checked = check.done;
        }
    }
    QCOMPARE(steps, found->steps);
    QCOMPARE(checked, sweepRpms(12000).size());

    // The same entries, the same factor, on one worker as on several.
    const Traced again = tune(requestFor(12000, 1));
    QCOMPARE(std::get<TuningFound>(*again.outcome).factor, found->factor);
}

void ChamberTuningTest::targetsOutOfReachAreRefused_data()
{
    QTest::addColumn<double>("target");
    QTest::addColumn<TuningFailure::Reason>("reason");
    QTest::addColumn<double>("nearestFactor");
    // Halved, the chamber works near 33 000; doubled, its plug's highest within 1 500 to 4 800 is near 4 000.
    QTest::newRow("above what the shortest reaches") << 40000.0 << TuningFailure::Reason::AboveReach << kLeastTuningFactor;
    QTest::newRow("below what the longest reaches") << 3000.0 << TuningFailure::Reason::BelowReach << kMostTuningFactor;
}

void ChamberTuningTest::targetsOutOfReachAreRefused()
{
    QFETCH(double, target);
    QFETCH(TuningFailure::Reason, reason);
    QFETCH(double, nearestFactor);
    const Traced traced = tune(requestFor(target));
    QVERIFY(traced.outcome);
    const auto* failure = std::get_if<TuningFailure>(&*traced.outcome);
    QVERIFY(failure);
    QCOMPARE(failure->reason, reason);
    QCOMPARE(failure->nearestFactor, std::optional(nearestFactor));
    QVERIFY(failure->nearestAccordRpm);
    QVERIFY(std::abs(*failure->nearestAccordRpm - target) > kTuningToleranceRpm);
    QVERIFY(reason == TuningFailure::Reason::AboveReach ? *failure->nearestAccordRpm < target
                                                        : *failure->nearestAccordRpm > target);
}

void ChamberTuningTest::stopsWhenAsked()
{
    // Destroyed at once, the tuner finishes nothing and is gone within a cycle's work.
    bool finished = false;
    const auto start = std::chrono::steady_clock::now();
    {
        const ChamberTuner tuner(requestFor(12000), [](const TuningProgress&) {},
                                 [&](const TuningOutcome&) { finished = true; });
    }
    QVERIFY(!finished);
    qInfo("stopped after %.0f ms",
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());

    // Stopped from another thread during the search: nothing comes of it.
    std::atomic<bool> stop{false};
    int steps = 0;
    const std::optional<TuningOutcome> outcome = tuneChamber(requestFor(12000), [&](const TuningProgress& progress) {
        if (std::holds_alternative<TuningStep>(progress) && ++steps == 1)
            stop = true;
    }, stop);
    QVERIFY(!outcome);
    QCOMPARE(steps, 1);
}

QTEST_GUILESS_MAIN(ChamberTuningTest)
#include "tst_chambertuning.moc"
