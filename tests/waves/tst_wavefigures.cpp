// The analysis pinned to the figures that an independent solver of the same model gives for two
// engines, with the wall's friction and heat and without, the whole band swept as the dialog
// sweeps it. The allowances are the spread between
// faithful solvers of the model (another limiter or Courant number, the cells halved), but for the
// parabola's vertex: faithful variants of either solver move it by 50 rpm, and this one puts the
// default chamber's 60 rpm below the other's (16 418 against 16 478; 16 438 to 16 452 with a
// Courant number of 0,5, the cells halved or the port's area taken at the step's end).
#include "model/ChamberModel.h"
#include "waves/Gas.h"
#include "waves/WaveAnalysis.h"

#include <QTest>

#include <algorithm>
#include <condition_variable>
#include <mutex>

using namespace scaricometro;
using namespace scaricometro::waves;
using namespace Qt::StringLiterals;

namespace {

constexpr double kMeanAllowanceBar = 0.01;
constexpr double kPeakPlugAllowanceShare = 0.01;
constexpr double kExtremeAllowanceBar = 0.05;
constexpr double kExtremeAllowanceDegrees = 2;
constexpr double kParabolaAllowanceRpm = 75;
// With the wall's friction and heat, faithful variants spread less.
constexpr double kWallsParabolaAllowanceRpm = 50;
constexpr double kMeanTemperatureAllowanceShare = 0.005;
constexpr std::chrono::minutes kLongestBand{10};

struct Figures {
    bool walls = true;
    double plugBar = 0;
    double suctionBar = 0;
    double highestBar = 0;
    double highestDegree = 0;
    double lowestBar = 0;
    double lowestDegree = 0;
    double accordRpm = 0;
    double parabolaRpm = 0;
    double peakPlugBar = 0;
    double bandLowRpm = 0;
    double bandHighRpm = 0;
    double meanTemperature = 0;  // K; 0 where the other solver's is not known
    double parabolaAllowanceRpm = 0;
};

// Every speed of the sweep, run as the dialog runs them, in the sweep's order; none where they do
// not all end within kLongestBand.
std::vector<RpmOutcome> sweep(const WaveSetup& setup, double typedRpm)
{
    std::mutex mutex;
    std::condition_variable done;
    std::vector<std::optional<RpmOutcome>> outcomes(sweepRpms(typedRpm).size());
    std::size_t reported = 0;
    {
        const WaveAnalysis analysis(setup, typedRpm, [&](std::size_t index, const RpmOutcome& outcome) {
            const std::lock_guard lock(mutex);
            outcomes[index] = outcome;
            ++reported;
            done.notify_one();
        });
        std::unique_lock lock(mutex);
        if (!done.wait_for(lock, kLongestBand, [&] { return reported == outcomes.size(); }))
            return {};
    }
    std::vector<RpmOutcome> ready;
    for (const std::optional<RpmOutcome>& outcome : outcomes)
        ready.push_back(*outcome);
    return ready;
}

}  // namespace

Q_DECLARE_METATYPE(ChamberInputs)
Q_DECLARE_METATYPE(EngineFigures)
Q_DECLARE_METATYPE(Figures)

class WaveFiguresTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void analysisGivesTheIndependentSolversFigures_data();
    void analysisGivesTheIndependentSolversFigures();
};

void WaveFiguresTest::analysisGivesTheIndependentSolversFigures_data()
{
    QTest::addColumn<ChamberInputs>("window");
    QTest::addColumn<EngineFigures>("engine");
    QTest::addColumn<Figures>("expected");
    constexpr ChamberInputs defaults{203, 510, 12000, 39.3, 29};
    constexpr ChamberInputs a125{190, 500, 9000, 54.5, 38};
    constexpr EngineFigures engine125{54, 110, 12, 38, 125, 4.5};
    QTest::newRow("the window's defaults at 12 000") << defaults << EngineFigures{}
                                                     << Figures{true, 1.1252, 1.0347, 1.504, 241, 0.544, 331,
                                                                16250, 16132, 1.7561, 14500, 16750, 718.7, kWallsParabolaAllowanceRpm};
    QTest::newRow("a 125 at 9 000") << a125 << engine125
                                    << Figures{true, 1.3290, 0.9850, 1.634, 248, 0.532, 144,
                                               11250, 11258, 1.6463, 9250, 11750, 677.8, kWallsParabolaAllowanceRpm};
    QTest::newRow("the defaults without walls") << defaults << EngineFigures{}
                                                << Figures{false, 1.1605, 1.0506, 1.557, 236, 0.570, 320,
                                                           16500, 16478, 1.7523, 14750, 17000, 0, kParabolaAllowanceRpm};
    QTest::newRow("the 125 without walls") << a125 << engine125
                                           << Figures{false, 1.3085, 1.0008, 1.575, 246, 0.598, 335,
                                                      11500, 11490, 1.6451, 9250, 12000, 0, kParabolaAllowanceRpm};
}

void WaveFiguresTest::analysisGivesTheIndependentSolversFigures()
{
    QFETCH(ChamberInputs, window);
    QFETCH(EngineFigures, engine);
    QFETCH(Figures, expected);
    WaveSetup setup = std::get<WaveSetup>(prepareWaves(window, std::get<ChamberDimensions>(computeChamber(window)), engine));
    setup.walls = expected.walls;
    const std::vector<RpmOutcome> outcomes = sweep(setup, window.maxRpm);
    QVERIFY2(!outcomes.empty(), "the band did not end in time");
    std::vector<BandPoint> points;
    const std::vector<double> rpms = sweepRpms(window.maxRpm);
    const auto typedIndex = static_cast<std::size_t>(std::find(rpms.begin(), rpms.end(), window.maxRpm) - rpms.begin());
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        const auto* result = std::get_if<RpmResult>(&outcomes[i]);
        QVERIFY2(result, qPrintable(QString::number(rpms[i]) + u" rpm: the flow broke down"_s));
        QVERIFY(result->settling != Settling::Unsettled);
        points.push_back({result->rpm, result->plug, result->suction});
    }

    const RpmResult& typed = std::get<RpmResult>(outcomes[typedIndex]);
    const auto [lowest, highest] = std::minmax_element(typed.trace.port.begin(), typed.trace.port.end());
    const std::optional<Band> band = findBand(points);
    QVERIFY(band && band->parabolaRpm);
    qInfo("plug %.4f bar, suction %.4f bar after %d cycles; highest %.3f bar at %td°, lowest %.3f bar at %td°; "
          "pipe %.1f K, %.1f m/s; accord %.0f (parabola %.0f), peak %.4f bar, band %.0f–%.0f",
          typed.plug / kPascalsPerBar, typed.suction / kPascalsPerBar, typed.cycles, *highest / kPascalsPerBar,
          highest - typed.trace.port.begin(), *lowest / kPascalsPerBar, lowest - typed.trace.port.begin(),
          typed.meanTemperature, typed.meanSoundSpeed, band->accordRpm, *band->parabolaRpm,
          band->peakPlug / kPascalsPerBar, band->lowRpm, band->highRpm);

    QCOMPARE_LE(std::abs(typed.plug / kPascalsPerBar - expected.plugBar), kMeanAllowanceBar);
    QCOMPARE_LE(std::abs(typed.suction / kPascalsPerBar - expected.suctionBar), kMeanAllowanceBar);
    QCOMPARE_LE(std::abs(*highest / kPascalsPerBar - expected.highestBar), kExtremeAllowanceBar);
    QCOMPARE_LE(std::abs(static_cast<double>(highest - typed.trace.port.begin()) - expected.highestDegree),
                kExtremeAllowanceDegrees);
    QCOMPARE_LE(std::abs(*lowest / kPascalsPerBar - expected.lowestBar), kExtremeAllowanceBar);
    QCOMPARE_LE(std::abs(static_cast<double>(lowest - typed.trace.port.begin()) - expected.lowestDegree),
                kExtremeAllowanceDegrees);
    QCOMPARE_LE(std::abs(band->accordRpm - expected.accordRpm), kSweepStepRpm);
    QCOMPARE_LE(std::abs(*band->parabolaRpm - expected.parabolaRpm), expected.parabolaAllowanceRpm);
    QCOMPARE_LE(std::abs(band->peakPlug / kPascalsPerBar / expected.peakPlugBar - 1), kPeakPlugAllowanceShare);
    QCOMPARE_LE(std::abs(band->lowRpm - expected.bandLowRpm), kSweepStepRpm);
    QCOMPARE_LE(std::abs(band->highRpm - expected.bandHighRpm), kSweepStepRpm);
    if (expected.meanTemperature > 0)
        QCOMPARE_LE(std::abs(typed.meanTemperature / expected.meanTemperature - 1), kMeanTemperatureAllowanceShare);
}

QTEST_GUILESS_MAIN(WaveFiguresTest)
#include "tst_wavefigures.moc"
