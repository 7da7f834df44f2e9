// The engine behind the port, the chamber as a duct, each engine speed run to its periodic state,
// and the band found from the runs.
#include "waves/Gas.h"
#include "waves/WaveAnalysis.h"

#include <algorithm>

#include <QTest>

#include <cmath>
#include <map>
#include <mutex>
#include <set>

using namespace scaricometro;
using namespace scaricometro::waves;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(EngineRefusal)
Q_DECLARE_METATYPE(EngineFigures)
Q_DECLARE_METATYPE(ChamberInputs)

namespace {

constexpr ChamberInputs kDefaults{203, 510, 12000, 39.3, 29};

ChamberDimensions dimensionsOf(const ChamberInputs& inputs)
{
    return std::get<ChamberDimensions>(computeChamber(inputs));
}

WaveSetup setupOf(const ChamberInputs& inputs, const EngineFigures& engine = {})
{
    return std::get<WaveSetup>(prepareWaves(inputs, dimensionsOf(inputs), engine));
}

// A cycle's port pressures named by a letter: A a smooth cycle; B and C the same with a hump or a
// dip of 2 % of its range at one degree; a and x with a hump of 0,4 % and 0,6 %, which repeat A
// and do not.
PortTrace traceOf(char name)
{
    PortTrace trace;
    for (std::size_t degree = 0; degree < kTracePoints; ++degree)
        trace[degree] = kAtmosphere + 5e4 * std::sin(2 * M_PI * static_cast<double>(degree) / kDegreesPerCycle);
    const double range = 1e5;
    const std::map<char, std::pair<std::size_t, double>> changes{
        {'B', {100, 0.02}}, {'C', {200, -0.02}}, {'a', {50, 0.004}}, {'x', {50, 0.006}}};
    if (const auto change = changes.find(name); change != changes.end())
        trace[change->second.first] += change->second.second * range;
    return trace;
}

std::vector<BandPoint> pointsOf(const std::vector<double>& rpms, const std::vector<double>& plugsBar)
{
    std::vector<BandPoint> points;
    for (std::size_t i = 0; i < rpms.size(); ++i)
        points.push_back({rpms[i], plugsBar[i] * kPascalsPerBar, kAtmosphere});
    return points;
}

}  // namespace

class EngineCycleTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void crankTrainAndPorts();
    void figuresThatMakeNoEngineAreRefused_data();
    void figuresThatMakeNoEngineAreRefused();
    void chamberBecomesADuct();
    void runSettlesOnceFiveCyclesInARowRepeat_data();
    void runSettlesOnceFiveCyclesInARowRepeat();
    void sweepCoversHalfToOnePointSixTimesTheTypedSpeed_data();
    void sweepCoversHalfToOnePointSixTimesTheTypedSpeed();
    void bandAroundTheAccord_data();
    void bandAroundTheAccord();
    void defaultChamberSettlesHotterAndFaster();
    void bothVectorWidthsGiveTheSameRun();
    void anyEngineGivesFiguresOrSaysWhereTheFlowBrokeDown_data();
    void anyEngineGivesFiguresOrSaysWhereTheFlowBrokeDown();
    void analysisReportsEverySpeedOnceTypedFirstAndStopsWhenDestroyed();
};

void EngineCycleTest::crankTrainAndPorts()
{
    const Engine engine = std::get<Engine>(Engine::make(kDefaults, EngineFigures{}));
    const PortTiming& timing = engine.timing();
    QCOMPARE(timing.exhaustOpens, 78.5);
    QCOMPARE(timing.exhaustCloses, 281.5);
    QCOMPARE(timing.transfersOpen, 115.0);
    QCOMPARE(timing.transfersClose, 245.0);
    QCOMPARE(engine.pistonDrop(0), 0.0);
    QVERIFY(std::abs(engine.pistonDrop(180) - 0.0393) < 1e-15);
    // At 90° the rod leans: the piston is below half stroke by ℓ − √(ℓ² − r²).
    const double r = 0.0393 / 2;
    QVERIFY(std::abs(engine.pistonDrop(90) - (r + 0.085 - std::sqrt(0.085 * 0.085 - r * r))) < 1e-15);
    const double swept = M_PI / 4 * 0.04 * 0.04 * 0.0393;
    QVERIFY(std::abs(engine.cylinderVolume(180) - engine.cylinderVolume(0) - swept) < 1e-15);
    QVERIFY(std::abs(engine.cylinderVolume(180) / engine.cylinderVolume(0) - 12) < 1e-9);
    QCOMPARE(engine.portArea(timing.exhaustOpens - 1), 0.0);
    QCOMPARE(engine.portArea(timing.exhaustCloses + 1), 0.0);
    QVERIFY(engine.portArea(120) > 0);
    QVERIFY(std::abs(engine.portArea(180) - 0.028 * (engine.pistonDrop(180) - engine.pistonDrop(78.5))) < 1e-15);
    QVERIFY(std::abs(engine.portArea(150) - engine.portArea(210)) < 1e-15);
}

void EngineCycleTest::figuresThatMakeNoEngineAreRefused_data()
{
    QTest::addColumn<ChamberInputs>("window");
    QTest::addColumn<EngineFigures>("engine");
    QTest::addColumn<EngineRefusal>("refusal");
    const EngineFigures standard;
    const auto with = [&](auto member, double value) {
        EngineFigures figures = standard;
        figures.*member = value;
        return figures;
    };
    const auto window = [](double ChamberInputs::*member, double value) {
        ChamberInputs inputs = kDefaults;
        inputs.*member = value;
        return inputs;
    };
    QTest::newRow("exhaust 0°") << window(&ChamberInputs::exhaustDuration, 0) << standard
                                << EngineRefusal::ExhaustDurationOutOfRange;
    QTest::newRow("exhaust 360°") << window(&ChamberInputs::exhaustDuration, 360) << standard
                                  << EngineRefusal::ExhaustDurationOutOfRange;
    QTest::newRow("no wave speed") << window(&ChamberInputs::waveSpeed, 0) << standard << EngineRefusal::WaveSpeedOutOfRange;
    QTest::newRow("199 m/s") << window(&ChamberInputs::waveSpeed, 199) << standard << EngineRefusal::WaveSpeedOutOfRange;
    QTest::newRow("1 501 m/s") << window(&ChamberInputs::waveSpeed, 1501) << standard << EngineRefusal::WaveSpeedOutOfRange;
    QTest::newRow("999 rpm") << window(&ChamberInputs::maxRpm, 999) << standard << EngineRefusal::RpmOutOfRange;
    QTest::newRow("40 001 rpm") << window(&ChamberInputs::maxRpm, 40001) << standard << EngineRefusal::RpmOutOfRange;
    QTest::newRow("no stroke") << window(&ChamberInputs::stroke, 0) << standard << EngineRefusal::StrokeNotPositive;
    QTest::newRow("no bore") << kDefaults << with(&EngineFigures::boreMm, 0) << EngineRefusal::BoreNotPositive;
    QTest::newRow("rod as long as the crank") << kDefaults << with(&EngineFigures::rodMm, 19.65)
                                              << EngineRefusal::RodNotLongerThanCrank;
    QTest::newRow("compression 1") << kDefaults << with(&EngineFigures::compressionRatio, 1)
                                   << EngineRefusal::CompressionRatioNotAboveOne;
    QTest::newRow("no port") << kDefaults << with(&EngineFigures::portWidthMm, 0) << EngineRefusal::PortWidthNotPositive;
    QTest::newRow("port wider than the bore") << kDefaults << with(&EngineFigures::portWidthMm, 40.5)
                                              << EngineRefusal::PortWiderThanBore;
    QTest::newRow("no transfers") << kDefaults << with(&EngineFigures::transferDuration, 0)
                                  << EngineRefusal::TransferDurationNotPositive;
    QTest::newRow("transfers longer than the exhaust") << kDefaults << with(&EngineFigures::transferDuration, 204)
                                                       << EngineRefusal::TransferLongerThanExhaust;
    QTest::newRow("release at the atmosphere") << kDefaults << with(&EngineFigures::releasePressureBar, 1.01325)
                                               << EngineRefusal::ReleaseNotAboveAtmosphere;
    QTest::newRow("release not a number") << kDefaults << with(&EngineFigures::releasePressureBar, std::nan(""))
                                          << EngineRefusal::ReleaseNotAboveAtmosphere;
}

void EngineCycleTest::figuresThatMakeNoEngineAreRefused()
{
    QFETCH(ChamberInputs, window);
    QFETCH(EngineFigures, engine);
    QFETCH(EngineRefusal, refusal);
    const SetupOutcome outcome = prepareWaves(window, dimensionsOf(window), engine);
    QVERIFY(std::holds_alternative<EngineRefusal>(outcome));
    QCOMPARE(std::get<EngineRefusal>(outcome), refusal);
}

void EngineCycleTest::chamberBecomesADuct()
{
    const ChamberDimensions dimensions = dimensionsOf(kDefaults);
    const Duct duct = std::get<Duct>(Duct::fromChamber(dimensions));
    QCOMPARE(duct.sections().size(), std::size_t{6});
    const double sum = dimensions.L1 + dimensions.L2 + dimensions.L3 + dimensions.L4 + dimensions.L5 + dimensions.L6;
    QVERIFY(std::abs(duct.lengthMm() - sum) < 1e-12);
    QCOMPARE(duct.cellCount(), std::size_t{173});
    QCOMPARE(duct.diameterMm(dimensions.L1 + dimensions.L2 / 2), (dimensions.D1 + dimensions.D2) / 2);
    // The volume of the whole duct against the frusta's sum worked out by Simpson's rule on the area.
    double simpson = 0;
    for (const DuctSection& section : duct.sections()) {
        const double mid = section.startMm + section.lengthMm / 2;
        simpson += section.lengthMm / 6
            * (duct.areaM2(section.startMm + 1e-9) + 4 * duct.areaM2(mid) + duct.areaM2(section.startMm + section.lengthMm));
    }
    QVERIFY(std::abs(duct.volumeM3(0, duct.lengthMm()) - simpson * 1e-3) < 1e-9 * simpson * 1e-3);

    ChamberDimensions noBelly = dimensions;
    noBelly.L4 = -3;
    const Duct shorter = std::get<Duct>(Duct::fromChamber(noBelly));
    QCOMPARE(shorter.leftOut(), std::vector<std::size_t>{3});
    QCOMPARE(shorter.sections().size(), std::size_t{5});

    // A header of 400 mm makes a chamber over 5 m long.
    const DuctFailure huge = std::get<DuctFailure>(Duct::fromChamber(dimensionsOf({203, 510, 12000, 39.3, 400})));
    QCOMPARE(huge.reason, DuctRefusal::TooLong);
    QVERIFY(huge.lengthMm > kLongestDuctMm);

    ChamberDimensions tiny = dimensions;
    tiny.L1 = tiny.L2 = tiny.L3 = tiny.L4 = tiny.L5 = 0;
    tiny.L6 = 49;
    QCOMPARE(std::get<DuctFailure>(Duct::fromChamber(tiny)).reason, DuctRefusal::TooShort);
    const DuctFailure closed = std::get<DuctFailure>(Duct::fromChamber(dimensionsOf({203, 510, 12000, 39.3, 0})));
    QCOMPARE(closed.reason, DuctRefusal::DiameterNotPositive);
    QCOMPARE(closed.section, std::size_t{0});
}

void EngineCycleTest::runSettlesOnceFiveCyclesInARowRepeat_data()
{
    QTest::addColumn<QString>("cycles");  // one letter a cycle, as traceOf names them
    QTest::addColumn<int>("settledAt");   // the cycle, from 1; 0 for never
    QTest::addColumn<Settling>("settling");
    QTest::newRow("the same cycle over and over") << u"AAAAAAAA"_s << 6 << Settling::Periodic;
    QTest::newRow("four in a row, then a break") << u"AAAAABAAAAAA"_s << 11 << Settling::Periodic;
    QTest::newRow("within 0,5 % of the range") << u"AaAaAaA"_s << 6 << Settling::Periodic;
    QTest::newRow("beyond 0,5 % of the range") << u"AxAxAxAxAx"_s << 7 << Settling::Alternating;
    QTest::newRow("two cycles taking turns") << u"ABABABABAB"_s << 7 << Settling::Alternating;
    // A one-cycle state that holds for two cycles, then breaks into two that take turns.
    QTest::newRow("a transient, then two cycles taking turns") << u"AAABCBCBCBCB"_s << 10 << Settling::Alternating;
    QTest::newRow("never twice the same") << u"ABCxABCx"_s << 0 << Settling::Unsettled;
}

void EngineCycleTest::runSettlesOnceFiveCyclesInARowRepeat()
{
    QFETCH(QString, cycles);
    QFETCH(int, settledAt);
    QFETCH(Settling, settling);
    SettlingWatch watch;
    int number = 0;
    std::optional<Settling> settled;
    for (const QChar name : cycles) {
        ++number;
        settled = watch.take(traceOf(name.toLatin1()));
        if (settled)
            break;
    }
    QCOMPARE(settled ? number : 0, settledAt);
    QCOMPARE(settled.value_or(Settling::Unsettled), settling);
}

void EngineCycleTest::sweepCoversHalfToOnePointSixTimesTheTypedSpeed_data()
{
    QTest::addColumn<double>("typed");
    QTest::addColumn<std::size_t>("count");
    QTest::addColumn<double>("second");
    // 6 000 ... 19 000 in steps of 250, then 19 200; 12 000 is one of them.
    QTest::newRow("12 000") << 12000.0 << std::size_t{54} << 6250.0;
    // 4 550 ... 14 550, 14 560; and 9 100 itself between 9 050 and 9 300.
    QTest::newRow("9 100") << 9100.0 << std::size_t{43} << 4800.0;
    QTest::newRow("1 000") << 1000.0 << std::size_t{6} << 750.0;
}

void EngineCycleTest::sweepCoversHalfToOnePointSixTimesTheTypedSpeed()
{
    QFETCH(double, typed);
    QFETCH(std::size_t, count);
    QFETCH(double, second);
    const std::vector<double> rpms = sweepRpms(typed);
    QCOMPARE(rpms.size(), count);
    QCOMPARE(rpms.front(), typed / 2);
    QCOMPARE(rpms[1], second);
    QCOMPARE(rpms.back(), 1.6 * typed);
    QVERIFY(std::is_sorted(rpms.begin(), rpms.end()));
    QCOMPARE(std::count(rpms.begin(), rpms.end(), typed), 1);
}

void EngineCycleTest::bandAroundTheAccord_data()
{
    QTest::addColumn<std::vector<double>>("rpms");
    QTest::addColumn<std::vector<double>>("plugs");  // bar
    QTest::addColumn<double>("accord");
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<bool>("lowIsEnd");
    QTest::addColumn<bool>("highIsEnd");
    QTest::addColumn<double>("parabola");  // NaN for none
    const std::vector<double> rpms{6000, 6250, 6500, 6750, 7000, 7250};
    const double none = std::nan("");
    // Peak 1,41325 bar: the threshold is 1,21325; 1,2 is below it, and a second hump is not the band.
    // The parabola's vertex at m + h·(p₋ − p₊)/(2·(p₋ − 2p + p₊)) where the speeds are evenly spaced;
    // otherwise at x₁ − ½·((x₁−x₀)²(y₁−y₂) − (x₁−x₂)²(y₁−y₀)) / ((x₁−x₀)(y₁−y₂) − (x₁−x₂)(y₁−y₀)).
    QTest::newRow("inside") << rpms << std::vector<double>{1.0, 1.2, 1.3, 1.41325, 1.25, 1.3} << 6750.0 << 6500.0
                            << 7250.0 << false << true << 6750 + 250 * 0.05 / (2 * (1.3 - 2 * 1.41325 + 1.25));
    QTest::newRow("peak at the start") << rpms << std::vector<double>{1.5, 1.4, 1.1, 1.3, 1.35, 1.0} << 6000.0
                                       << 6000.0 << 6250.0 << true << false << none;
    QTest::newRow("narrow") << rpms << std::vector<double>{1.0, 1.05, 1.4, 1.05, 1.0, 1.0} << 6500.0 << 6500.0
                            << 6500.0 << false << false << 6500.0;
    // The typed speed among the sweep's: the neighbours 100 and 150 rpm away.
    QTest::newRow("uneven neighbours") << std::vector<double>{9000, 9100, 9250} << std::vector<double>{1.2, 1.3, 1.1}
                                       << 9100.0 << 9000.0 << 9100.0 << true << false
                                       << 9100 - 0.5 * (100.0 * 100 * 0.2 - 150.0 * 150 * 0.1) / (100 * 0.2 + 150 * 0.1);
}

void EngineCycleTest::bandAroundTheAccord()
{
    QFETCH(std::vector<double>, rpms);
    QFETCH(std::vector<double>, plugs);
    QFETCH(double, accord);
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(bool, lowIsEnd);
    QFETCH(bool, highIsEnd);
    QFETCH(double, parabola);
    const std::vector<BandPoint> points = pointsOf(rpms, plugs);
    const std::optional<Band> band = findBand(points);
    QVERIFY(band);
    QCOMPARE(band->accordRpm, accord);
    QCOMPARE(band->lowRpm, low);
    QCOMPARE(band->highRpm, high);
    QCOMPARE(band->lowIsSweepEnd, lowIsEnd);
    QCOMPARE(band->highIsSweepEnd, highIsEnd);
    QCOMPARE(band->parabolaRpm.has_value(), !std::isnan(parabola));
    if (band->parabolaRpm)
        QCOMPARE_LE(std::abs(*band->parabolaRpm - parabola), 1e-6);
    QVERIFY(!findBand(pointsOf(rpms, std::vector<double>(rpms.size(), 1.0))));
}

void EngineCycleTest::defaultChamberSettlesHotterAndFaster()
{
    const WaveSetup setup = setupOf(kDefaults);
    const RpmResult result = std::get<RpmResult>(*runAtRpm(setup, 12000, true));
    qInfo("settled after %d cycles (%s): plug %.4f bar, suction %.4f bar, pipe at %.1f K and %.1f m/s, on %s packs",
          result.cycles, result.settling == Settling::Periodic ? "periodic" : "not periodic", result.plug / 1e5,
          result.suction / 1e5, result.meanTemperature, result.meanSoundSpeed, nameOf(setup.vectors).data());
    QVERIFY(result.settling != Settling::Unsettled);
    QVERIFY(result.cycles >= 10 && result.cycles < kMostCycles);
    QVERIFY(result.meanTemperature > setup.pipeTemperature);
    QVERIFY(result.meanSoundSpeed > 510);
    QCOMPARE(result.wallTemperature, setup.pipeTemperature);
    // The wall cools the gas: without it, the gas keeps every joule the blowdowns bring.
    WaveSetup noWalls = setup;
    noWalls.walls = false;
    const RpmResult hotter = std::get<RpmResult>(*runAtRpm(noWalls, 12000, false));
    QCOMPARE(hotter.wallTemperature, 0.0);
    QVERIFY(hotter.meanTemperature > result.meanTemperature + 50);
    // Periodic: the cycle ends where it began.
    const auto [low, high] = std::minmax_element(result.trace.port.begin(), result.trace.port.end());
    QCOMPARE_LE(std::abs(result.trace.port.front() - result.trace.port.back()), 0.02 * (*high - *low));
    const PortTiming& timing = setup.engine.timing();
    for (std::size_t degree = 0; degree < kTracePoints; ++degree) {
        const auto angle = static_cast<double>(degree);
        const bool open = angle > timing.exhaustOpens && angle < timing.exhaustCloses;
        QCOMPARE(std::isfinite(result.trace.cylinder[degree]), open);
        QVERIFY(std::isfinite(result.trace.port[degree]) && result.trace.port[degree] > 0);
    }
    // The blowdown: the cylinder above the pipe just after opening, and the port's pressure rising.
    QVERIFY(result.trace.cylinder[80] > result.trace.port[80]);
    QVERIFY(*high > 1.2 * kAtmosphere && *low < 0.9 * kAtmosphere);
    QVERIFY(result.diagram);
    QCOMPARE(result.diagram->cellCentresMm.size(), result.cells);
    for (std::size_t degree = 0; degree < kTracePoints; degree += 30)
        QCOMPARE(result.diagram->at(degree, 0), result.trace.port[degree]);
}

// The solver's loops on packs of two doubles and of four: the same operations lane by lane, so
// the same run to well within a millionth of a bar.
void EngineCycleTest::bothVectorWidthsGiveTheSameRun()
{
    if (!processorRuns(VectorWidth::Avx2))
        QSKIP("this processor has no AVX2");
    std::array<RpmResult, 2> results;
    for (const VectorWidth width : {VectorWidth::Sse2, VectorWidth::Avx2}) {
        WaveSetup setup = setupOf(kDefaults);
        setup.vectors = width;
        results[static_cast<std::size_t>(width)] = std::get<RpmResult>(*runAtRpm(setup, kDefaults.maxRpm, true));
    }
    const RpmResult& narrow = results[0];
    const RpmResult& wide = results[1];
    QCOMPARE(wide.cycles, narrow.cycles);
    double largest = 0;
    for (std::size_t degree = 0; degree < kTracePoints; ++degree)
        largest = std::max(largest, std::abs(wide.trace.port[degree] - narrow.trace.port[degree]));
    for (std::size_t i = 0; i < wide.diagram->pressure.size(); ++i)
        largest = std::max(largest, std::abs(wide.diagram->pressure[i] - narrow.diagram->pressure[i]));
    qInfo("largest difference between the two widths' pressures: %g bar", largest / kPascalsPerBar);
    QCOMPARE_LE(largest, 1e-6 * kPascalsPerBar);
    QCOMPARE_LE(std::abs(wide.plug - narrow.plug), 1e-6 * kPascalsPerBar);
    QCOMPARE_LE(std::abs(wide.suction - narrow.suction), 1e-6 * kPascalsPerBar);
}

void EngineCycleTest::anyEngineGivesFiguresOrSaysWhereTheFlowBrokeDown_data()
{
    QTest::addColumn<ChamberInputs>("window");
    QTest::addColumn<EngineFigures>("engine");
    QTest::newRow("200 bar at release") << kDefaults << EngineFigures{40, 85, 12, 28, 130, 200};
    QTest::newRow("a pinhole port") << kDefaults << EngineFigures{40, 85, 12, 0.01, 130, 5};
    // No whole degree between transfer closing (281,5°) and exhaust closing (281,7°).
    QTest::newRow("transfers close just before the exhaust") << ChamberInputs{203.4, 510, 12000, 39.3, 29}
                                                             << EngineFigures{40, 85, 12, 28, 203, 5};
    QTest::newRow("barely any compression") << kDefaults << EngineFigures{40, 85, 1.001, 28, 130, 5};
    QTest::newRow("huge bore, short rod") << ChamberInputs{340, 510, 40000, 20, 60} << EngineFigures{300, 10.01, 40, 300, 339, 1.02};
    QTest::newRow("cold pipe, fast engine") << ChamberInputs{203, 200, 40000, 39.3, 29} << EngineFigures{};
}

void EngineCycleTest::anyEngineGivesFiguresOrSaysWhereTheFlowBrokeDown()
{
    QFETCH(ChamberInputs, window);
    QFETCH(EngineFigures, engine);
    const WaveSetup setup = setupOf(window, engine);
    const RpmOutcome outcome = *runAtRpm(setup, window.maxRpm, true);
    if (const auto* failure = std::get_if<FlowFailure>(&outcome)) {
        QVERIFY(failure->cycle >= 1 && failure->cycle <= kMostCycles);
        QVERIFY(failure->crankAngle >= 0 && failure->crankAngle <= 360);
        QVERIFY(failure->inCylinder || (failure->atMm > 0 && failure->atMm < setup.duct.lengthMm()));
        return;
    }
    const RpmResult& result = std::get<RpmResult>(outcome);
    for (double value : {result.plug, result.suction, result.meanTemperature, result.meanSoundSpeed})
        QVERIFY(std::isfinite(value) && value > 0);
    for (double pressure : result.trace.port)
        QVERIFY(std::isfinite(pressure) && pressure > 0);
    for (double pressure : result.diagram->pressure)
        QVERIFY(std::isfinite(pressure) && pressure > 0);
}

void EngineCycleTest::analysisReportsEverySpeedOnceTypedFirstAndStopsWhenDestroyed()
{
    // A short pipe, so that the whole sweep runs in a moment.
    const ChamberInputs inputs{203, 510, 9000, 39.3, 29};
    WaveSetup setup = setupOf(inputs);
    setup.duct = std::get<Duct>(Duct::fromSections({{0, 0, 60, 29, 29}}));
    std::mutex mutex;
    // On one worker, in the order they are taken: the typed speed, then the others ascending. On
    // two, every speed once, in whatever order they end.
    for (const unsigned threads : {1u, 2u}) {
        std::vector<std::size_t> reported;
        WaveAnalysis analysis(setup, inputs.maxRpm, [&](std::size_t index, const RpmOutcome&) {
            const std::lock_guard lock(mutex);
            reported.push_back(index);
        }, threads);
        const std::size_t count = analysis.rpms().size();
        QVERIFY(QTest::qWaitFor([&] { const std::lock_guard lock(mutex); return reported.size() == count; }, 120000));
        const std::lock_guard lock(mutex);
        QCOMPARE(std::set<std::size_t>(reported.begin(), reported.end()).size(), count);
        if (threads == 1) {
            std::vector<std::size_t> order{analysis.typedIndex()};
            for (std::size_t index = 0; index < count; ++index) {
                if (index != analysis.typedIndex())
                    order.push_back(index);
            }
            QCOMPARE(reported, order);
        }
    }
    // Destroyed at once: it stops within a cycle's work rather than running the sweep out.
    std::size_t reportedBeforeStop = 0;
    {
        WaveAnalysis analysis(setupOf(kDefaults), kDefaults.maxRpm, [&](std::size_t, const RpmOutcome&) {
            const std::lock_guard lock(mutex);
            ++reportedBeforeStop;
        });
    }
    QCOMPARE_LT(reportedBeforeStop, std::size_t{4});
}

QTEST_GUILESS_MAIN(EngineCycleTest)
#include "tst_enginecycle.moc"
