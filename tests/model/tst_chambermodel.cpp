// The chamber model against results computed independently (IEEE doubles evaluated elsewhere,
// in the same order), to the last bit: that bit can decide a rounding tie on screen.
#include "model/ChamberModel.h"

#include "ExactDoubles.h"

#include <QTest>

#include <limits>

using namespace scaricometro;

Q_DECLARE_METATYPE(ChamberInputs)
Q_DECLARE_METATYPE(ChamberDimensions)
Q_DECLARE_METATYPE(ChamberFailure)

class ChamberModelTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void dimensions_data();
    void dimensions();
    void failures_data();
    void failures();
};

void ChamberModelTest::dimensions_data()
{
    QTest::addColumn<ChamberInputs>("inputs");
    QTest::addColumn<ChamberDimensions>("expected");

    // L1 is 54.99999999999999 (11.8 × 2 is not quite 23.6); L4 = L1 − (L2 − L3) differs in its
    // last bit from L1 − L2 + L3 here.
    QTest::newRow("default inputs")
        << ChamberInputs{203, 510, 12000, 39.3, 29}
        << ChamberDimensions{0x1.b7fffffffffffp+5, 203, 0x1.4f1acc6926b39p+7, 0x1.38d66349359c6p+4,
                             0x1.5aae8615f4893p+7, 0x1.ea1999999999ap+7, 29, 0x1.7333333333334p+5,
                             0x1.b20841fc6795ap+6, 0x1.2d9999999999ap+4, 0x1.9192271922719p-1};
    // Here (E × V) ÷ (N × 11) differs from E × V ÷ N ÷ 11, and √((d × d) × 14) from d × √14.
    QTest::newRow("order of evaluation shows")
        << ChamberInputs{180, 510, 10500, 39.3, 10.2}
        << ChamberDimensions{0x1.b7fffffffffffp+5, 0x1.1d99999999999p+6, 0x1.d77526a5978d8p+5,
                             0x1.5441f372645a5p+5, 0x1.e7bece4ccacbap+5, 0x1.58c28f5c28f5cp+6, 10.2,
                             0x1.051eb851eb852p+4, 0x1.3151b9e4c0ebfp+5, 0x1.a851eb851eb85p+2,
                             0x1.96f0b4dcc2294p-1};
    QTest::newRow("zero header diameter")
        << ChamberInputs{203, 510, 12000, 39.3, 0}
        << ChamberDimensions{0x1.b7fffffffffffp+5, 0, 0, 0x1.b7fffffffffffp+5, 0, 0, 0, 0, 0, 0,
                             0x1.9192271922719p-1};
    QTest::newRow("stroke 11.8 gives L1 exactly zero")
        << ChamberInputs{203, 510, 12000, 11.8, 0}
        << ChamberDimensions{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x1.9192271922719p-1};
    QTest::newRow("negative belly is returned unchanged")
        << ChamberInputs{203, 510, 12000, 30, 40}
        << ChamberDimensions{0x1.2333333333333p+5, 280, 0x1.ce369e5c12124p+7, -0x1.8fc94d72120f4p+3,
                             0x1.de2e83faf903dp+7, 338, 40, 64, 0x1.2b5524ae1278ep+7, 26,
                             0x1.9192271922719p-1};
    QTest::newRow("short stroke and negative rpm give negatives")
        << ChamberInputs{203, 510, -12000, 10, 0}
        << ChamberDimensions{-0x1.cccccccccccd0p+1, 0, 0, -0x1.cccccccccccd0p+1, 0, 0, 0, 0, 0, 0,
                             -0x1.9192271922719p-1};
}

void ChamberModelTest::dimensions()
{
    QFETCH(ChamberInputs, inputs);
    QFETCH(ChamberDimensions, expected);

    const ChamberOutcome outcome = computeChamber(inputs);
    QVERIFY(std::holds_alternative<ChamberDimensions>(outcome));
    const auto& actual = std::get<ChamberDimensions>(outcome);
    QCOMPARE(bits(actual.L1), bits(expected.L1));
    QCOMPARE(bits(actual.L2), bits(expected.L2));
    QCOMPARE(bits(actual.L3), bits(expected.L3));
    QCOMPARE(bits(actual.L4), bits(expected.L4));
    QCOMPARE(bits(actual.L5), bits(expected.L5));
    QCOMPARE(bits(actual.L6), bits(expected.L6));
    QCOMPARE(bits(actual.D1), bits(expected.D1));
    QCOMPARE(bits(actual.D2), bits(expected.D2));
    QCOMPARE(bits(actual.D3), bits(expected.D3));
    QCOMPARE(bits(actual.D4), bits(expected.D4));
    QCOMPARE(bits(actual.totalLength), bits(expected.totalLength));
}

void ChamberModelTest::failures_data()
{
    QTest::addColumn<ChamberInputs>("inputs");
    QTest::addColumn<ChamberFailure>("expected");

    constexpr double huge = std::numeric_limits<double>::max();
    QTest::newRow("rpm 0") << ChamberInputs{203, 510, 0, 39.3, 29} << ChamberFailure::ZeroMaxRpm;
    QTest::newRow("rpm -0") << ChamberInputs{203, 510, -0.0, 39.3, 29} << ChamberFailure::ZeroMaxRpm;
    QTest::newRow("rpm 0 wins over overflow") << ChamberInputs{huge, huge, 0, huge, huge} << ChamberFailure::ZeroMaxRpm;
    QTest::newRow("timing times wave speed overflows")
        << ChamberInputs{1e200, 1e200, 12000, 39.3, 29} << ChamberFailure::ResultOutOfRange;
    QTest::newRow("both products overflow") << ChamberInputs{huge, 2, huge, 39.3, 29} << ChamberFailure::ResultOutOfRange;
    QTest::newRow("header squared overflows") << ChamberInputs{203, 510, 12000, 39.3, 1e160} << ChamberFailure::ResultOutOfRange;
    QTest::newRow("header length overflows") << ChamberInputs{203, 510, 12000, huge, 29} << ChamberFailure::ResultOutOfRange;
    QTest::newRow("not a number in") << ChamberInputs{std::numeric_limits<double>::quiet_NaN(), 510, 12000, 39.3, 29}
                                     << ChamberFailure::ResultOutOfRange;
}

void ChamberModelTest::failures()
{
    QFETCH(ChamberInputs, inputs);
    QFETCH(ChamberFailure, expected);

    const ChamberOutcome outcome = computeChamber(inputs);
    QVERIFY(std::holds_alternative<ChamberFailure>(outcome));
    QCOMPARE(std::get<ChamberFailure>(outcome), expected);
}

QTEST_APPLESS_MAIN(ChamberModelTest)
#include "tst_chambermodel.moc"
