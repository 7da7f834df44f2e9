// Decimal-comma reading, exact rounding and writing, as the window's fields use them.
#include "model/NumberText.h"

#include "ExactDoubles.h"

#include <QTest>

#include <cmath>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>

using namespace scaricometro;

Q_DECLARE_METATYPE(ThousandsPoints)
Q_DECLARE_METATYPE(std::string)

namespace {

constexpr double kMax = std::numeric_limits<double>::max();
const std::string kMaxText =
    "179769313486231570814527423731704356798070567525844996598917476803157260780028538760589558632766878171540"
    "458953514382464234321326889464182768467546703537516986049910576551282076245490090389328944075868508455133"
    "942304583236903222948165808559332123348274797826204144723168738177180919299881250404026184124858368";

std::string shownResult(double value)
{
    return formatRounded(value, DecimalPlaces{5});
}

}  // namespace

class NumberTextTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsNumbers_data();
    void readsNumbers();
    void rejectsNonNumbers_data();
    void rejectsNonNumbers();
    void readsMegabyteInputs_data();
    void readsMegabyteInputs();
    void roundsHalfToEven_data();
    void roundsHalfToEven();
    void showsResults_data();
    void showsResults();
    void writesWithoutExponent_data();
    void writesWithoutExponent();
    void writtenTextReadsBackToTheSameText();
    void refusesDecimalPlacesOutOfRange();
};

void NumberTextTest::readsNumbers_data()
{
    QTest::addColumn<std::string>("text");
    QTest::addColumn<ThousandsPoints>("points");
    QTest::addColumn<double>("expected");

    const auto both = {ThousandsPoints::Rejected, ThousandsPoints::Accepted};
    for (ThousandsPoints points : both) {
        const char* mode = points == ThousandsPoints::Accepted ? "grouping field" : "plain field";
        QTest::addRow("%s: whole number", mode) << std::string("203") << points << 203.0;
        QTest::addRow("%s: decimal comma", mode) << std::string("39,3") << points << 39.3;
        QTest::addRow("%s: blanks around", mode) << std::string(" \t39,3 \n") << points << 39.3;
        QTest::addRow("%s: plus sign", mode) << std::string("+5") << points << 5.0;
        QTest::addRow("%s: minus sign", mode) << std::string("-12,5") << points << -12.5;
        QTest::addRow("%s: no whole digits", mode) << std::string(",5") << points << 0.5;
        QTest::addRow("%s: no decimals after comma", mode) << std::string("5,") << points << 5.0;
        QTest::addRow("%s: leading zeros", mode) << std::string("007,50") << points << 7.5;
        QTest::addRow("%s: one tenth is the nearest double", mode) << std::string("0,1") << points << 0.1;
        QTest::addRow("%s: largest double", mode) << kMaxText << points << kMax;
        QTest::addRow("%s: below the smallest double reads as zero", mode)
            << "0," + std::string(400, '0') + "1" << points << 0.0;
        QTest::addRow("%s: smallest subnormal", mode)
            << "0," + std::string(323, '0') + "5" << points << std::numeric_limits<double>::denorm_min();
    }
    QTest::newRow("thousands") << std::string("12.000") << ThousandsPoints::Accepted << 12000.0;
    QTest::newRow("millions") << std::string("1.234.567") << ThousandsPoints::Accepted << 1234567.0;
    QTest::newRow("grouped with decimals") << std::string("-1.234,5") << ThousandsPoints::Accepted << -1234.5;
    QTest::newRow("grouped, comma, no decimals") << std::string("1.234,") << ThousandsPoints::Accepted << 1234.0;
}

void NumberTextTest::readsNumbers()
{
    QFETCH(std::string, text);
    QFETCH(ThousandsPoints, points);
    QFETCH(double, expected);

    const std::optional<double> value = parseDecimalComma(text, points);
    QVERIFY(value.has_value());
    QCOMPARE(bits(*value), bits(expected));
}

void NumberTextTest::rejectsNonNumbers_data()
{
    QTest::addColumn<std::string>("text");
    QTest::addColumn<ThousandsPoints>("points");

    const char* const neverNumbers[] = {
        "", "   ", "-", "+", ",", "-,", "+-5", "--5", "5-", "- 5", "1 000", "abc", "12a", "a12",
        "inf", "-inf", "INF", "nan", "NaN", "infinity", "0x1A", "0x1p3", "1e3", "1E3", "1,5e2",
        "1,2,3", "1,,2", "1,2.3", "12.5", "1.23", "1.2345", "12.", ".123", "0.123", "0.500",
        "1..234", "1.234.56", "1.2.3", "1,234.567", "\xd9\xa1\xd9\xa2",  // Arabic-Indic 12
        "\xef\xbc\x91\xef\xbc\x92",  // full-width 12
        "12\xc2\xa0",                // no-break space after
        "\342\210\2225",             // minus sign, not hyphen-minus
    };
    for (ThousandsPoints points : {ThousandsPoints::Rejected, ThousandsPoints::Accepted}) {
        const char* mode = points == ThousandsPoints::Accepted ? "grouping field" : "plain field";
        for (const char* text : neverNumbers)
            QTest::addRow("%s: \"%s\"", mode, text) << std::string(text) << points;
        QTest::addRow("%s: past the largest double", mode) << "1" + std::string(309, '0') << points;
        QTest::addRow("%s: embedded NUL", mode) << std::string("1\0" "2", 3) << points;
    }
    QTest::newRow("plain field: thousands point") << std::string("12.000") << ThousandsPoints::Rejected;
    QTest::newRow("plain field: point after the normalised comma") << std::string("1,234.5") << ThousandsPoints::Rejected;
}

void NumberTextTest::rejectsNonNumbers()
{
    QFETCH(std::string, text);
    QFETCH(ThousandsPoints, points);

    const std::optional<double> value = parseDecimalComma(text, points);
    QVERIFY2(!value.has_value(), qPrintable(QStringLiteral("read as %1").arg(value.value_or(0))));
}

void NumberTextTest::readsMegabyteInputs_data()
{
    QTest::addColumn<std::string>("text");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<double>("expected");

    constexpr std::size_t megabyte = 1 << 20;
    QTest::newRow("a megabyte of ones overflows") << std::string(megabyte, '1') << false << 0.0;
    QTest::newRow("a megabyte of decimals") << "0," + std::string(megabyte, '3') << true << 1.0 / 3;
    QTest::newRow("a megabyte of leading zeros") << std::string(megabyte, '0') + "42" << true << 42.0;
    QTest::newRow("a megabyte of decimals, then a letter") << "0," + std::string(megabyte, '3') + "x" << false << 0.0;
    std::string grouped = "1";
    while (grouped.size() < megabyte)
        grouped += ".000";
    QTest::newRow("a megabyte of thousands groups overflows") << grouped << false << 0.0;
}

void NumberTextTest::readsMegabyteInputs()
{
    QFETCH(std::string, text);
    QFETCH(bool, readable);
    QFETCH(double, expected);

    const std::optional<double> value = parseDecimalComma(text, ThousandsPoints::Accepted);
    QCOMPARE(value.has_value(), readable);
    if (readable)
        QCOMPARE(bits(*value), bits(expected));
}

void NumberTextTest::roundsHalfToEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("places");
    QTest::addColumn<double>("expected");

    QTest::newRow("2.5 to whole") << 2.5 << 0 << 2.0;
    QTest::newRow("3.5 to whole") << 3.5 << 0 << 4.0;
    QTest::newRow("-2.5 to whole") << -2.5 << 0 << -2.0;
    QTest::newRow("0.125 to two places") << 0.125 << 2 << 0.12;
    QTest::newRow("0.375 to two places") << 0.375 << 2 << 0.38;
    QTest::newRow("0.015625 to five places") << 0.015625 << 5 << 0.01562;
    QTest::newRow("0.109375 to five places") << 0.109375 << 5 << 0.10938;
    // These look like halves but are not: the binary value decides.
    QTest::newRow("1.000005 lies above the half") << 1.000005 << 5 << 1.00001;
    QTest::newRow("0.000005 lies above the half") << 0.000005 << 5 << 0.00001;
    QTest::newRow("2.675 lies below the half") << 2.675 << 2 << 2.67;
    QTest::newRow("more places than the value has") << 0.5 << 20 << 0.5;
    QTest::newRow("the most places") << 1.0 / 3 << DecimalPlaces::kMax << 0.333333333333333333333333333333;
    QTest::newRow("largest double") << kMax << 5 << kMax;
    QTest::newRow("infinity unchanged") << std::numeric_limits<double>::infinity() << 5
                                        << std::numeric_limits<double>::infinity();
}

void NumberTextTest::roundsHalfToEven()
{
    QFETCH(double, value);
    QFETCH(int, places);
    QFETCH(double, expected);

    QCOMPARE(bits(roundHalfEven(value, DecimalPlaces{places})), bits(expected));
}

void NumberTextTest::showsResults_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<std::string>("expected");

    QTest::newRow("L1 of the default inputs") << 54.99999999999999 << std::string("55");
    QTest::newRow("L3 of the default inputs") << 167.55234078023366 << std::string("167,55234");
    QTest::newRow("L6 of the default inputs") << 245.05 << std::string("245,05");
    QTest::newRow("D2 of the default inputs") << 46.400000000000006 << std::string("46,4");
    QTest::newRow("total length of the default inputs") << 0.7843181818181818 << std::string("0,78432");
    QTest::newRow("exact half down to even") << 0.015625 << std::string("0,01562");
    QTest::newRow("exact half up to even") << 0.109375 << std::string("0,10938");
    QTest::newRow("just above a decimal half") << 1.000005 << std::string("1,00001");
    QTest::newRow("smallest step") << 0.00001 << std::string("0,00001");
    QTest::newRow("rounds up to the smallest step") << 0.000005 << std::string("0,00001");
    QTest::newRow("rounds down to zero") << 0.0000025 << std::string("0");
    QTest::newRow("negative rounding to zero") << -0.000001 << std::string("0");
    QTest::newRow("negative zero") << -0.0 << std::string("0");
    QTest::newRow("negative") << -12.49332306174663 << std::string("-12,49332");
    QTest::newRow("binary noise disappears") << 0.1 + 0.2 << std::string("0,3");
    QTest::newRow("sixteen digits cut to fifteen") << 12345678901.234567 << std::string("12345678901,2346");
    QTest::newRow("fifteen whole digits") << 123456789012345.0 << std::string("123456789012345");
    QTest::newRow("more than fifteen whole digits") << 123456789012345678.0 << std::string("123456789012346000");
    // Rounded to 15 digits these would pass the largest double, and could not be read back.
    QTest::newRow("largest double") << kMax << "179769313486231" + std::string(294, '0');
    QTest::newRow("most negative double") << -kMax << "-179769313486231" + std::string(294, '0');
    QTest::newRow("largest that rounds within range") << 1.797693134862315e308 << "179769313486231" + std::string(294, '0');
}

void NumberTextTest::showsResults()
{
    QFETCH(double, value);
    QFETCH(std::string, expected);

    QCOMPARE(QString::fromStdString(shownResult(value)), QString::fromStdString(expected));
}

void NumberTextTest::writesWithoutExponent_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<std::string>("expected");

    QTest::newRow("tenth") << 0.1 << std::string("0,1");
    QTest::newRow("third") << 1.0 / 3 << std::string("0,333333333333333");
    QTest::newRow("ten millionth") << 1e-7 << std::string("0,0000001");
    QTest::newRow("negative tiny") << -1.5e-12 << std::string("-0,0000000000015");
    QTest::newRow("hundred") << 100.0 << std::string("100");
    QTest::newRow("one with trailing binary digits") << 1.0000000000000002 << std::string("1");
    QTest::newRow("sixteen digit whole number") << 1e15 << std::string("1000000000000000");
    QTest::newRow("exact tie at fifteen digits goes to even") << 1000000000000015.0 << std::string("1000000000000020");
}

void NumberTextTest::writesWithoutExponent()
{
    QFETCH(double, value);
    QFETCH(std::string, expected);

    QCOMPARE(QString::fromStdString(formatDecimalComma(value)), QString::fromStdString(expected));
}

void NumberTextTest::writtenTextReadsBackToTheSameText()
{
    std::mt19937_64 random(20261208);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-8, 307);
    for (int i = 0; i < 20000; ++i) {
        const double value = i == 0 ? kMax : mantissa(random) * std::pow(10.0, exponent(random));
        const std::string written = shownResult(value);
        const std::optional<double> readBack = parseDecimalComma(written);
        QVERIFY2(readBack.has_value(), written.c_str());
        QCOMPARE(QString::fromStdString(shownResult(*readBack)), QString::fromStdString(written));
    }
}

void NumberTextTest::refusesDecimalPlacesOutOfRange()
{
    for (int places : {-1, DecimalPlaces::kMax + 1})
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, DecimalPlaces{places});
}

QTEST_APPLESS_MAIN(NumberTextTest)
#include "tst_numbertext.moc"
