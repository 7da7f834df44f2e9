// Rounding to five places and writing, as the window shows results, checked against each double's exact decimal expansion.
// The oracle works from the double's bits with schoolbook arithmetic on decimal digits: a double
// is m × 2^e, which is m × 2^e in whole digits when e ≥ 0 and m × 5^-e followed by -e decimal
// places when e < 0. It shares nothing with the code under test.
#include "model/NumberText.h"

#include <QTest>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

using namespace scaricometro;

namespace {

constexpr int kPlaces = 5;  // as the window rounds its results
constexpr double kLimit = 1e10;  // beyond it results need more than 15 significant digits

// A whole number as base-10^9 limbs, least significant first.
class BigDecimal {
public:
    explicit BigDecimal(std::uint64_t value)
    {
        do {
            m_limbs.push_back(static_cast<std::uint32_t>(value % kBase));
            value /= kBase;
        } while (value != 0);
    }
    void multiply(std::uint32_t factor)
    {
        std::uint64_t carry = 0;
        for (std::uint32_t& limb : m_limbs) {
            const std::uint64_t product = std::uint64_t{limb} * factor + carry;
            limb = static_cast<std::uint32_t>(product % kBase);
            carry = product / kBase;
        }
        while (carry != 0) {
            m_limbs.push_back(static_cast<std::uint32_t>(carry % kBase));
            carry /= kBase;
        }
    }
    [[nodiscard]] std::string digits() const
    {
        std::string text = std::to_string(m_limbs.back());
        for (auto limb = m_limbs.rbegin() + 1; limb != m_limbs.rend(); ++limb) {
            const std::string part = std::to_string(*limb);
            text += std::string(9 - part.size(), '0') + part;
        }
        return text;
    }

private:
    static constexpr std::uint64_t kBase = 1'000'000'000;
    std::vector<std::uint32_t> m_limbs;
};

// The exact decimal expansion of a finite, non-negative double: whole digits and decimals.
std::pair<std::string, std::string> exactDecimal(double magnitude)
{
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const auto biased = static_cast<int>(bits >> 52);
    std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
    int exponent = -1074;
    if (biased != 0) {
        mantissa |= std::uint64_t{1} << 52;
        exponent = biased - 1075;
    }
    // By 2^29 or 5^13 at a time: the largest powers whose product with a limb fits 64 bits.
    BigDecimal number(mantissa);
    const auto [base, step] = exponent > 0 ? std::pair{2u, 29} : std::pair{5u, 13};
    for (int left = std::abs(exponent); left > 0; left -= step) {
        std::uint32_t factor = 1;
        for (int i = 0; i < std::min(left, step); ++i)
            factor *= base;
        number.multiply(factor);
    }
    std::string digits = number.digits();
    const auto decimals = static_cast<std::size_t>(std::max(0, -exponent));
    if (digits.size() <= decimals)
        digits.insert(0, decimals + 1 - digits.size(), '0');
    return {digits.substr(0, digits.size() - decimals), digits.substr(digits.size() - decimals)};
}

// Adds one to the last digit of a decimal digit string, carrying as far as needed.
void incrementLastDigit(std::string& digits)
{
    for (auto digit = digits.rbegin(); digit != digits.rend(); ++digit) {
        if (*digit != '9') {
            ++*digit;
            return;
        }
        *digit = '0';
    }
    digits.insert(digits.begin(), '1');
}

// What the window must show for `value`: rounded to five places, half to even, with a comma.
std::string oracleText(double value)
{
    auto [whole, decimals] = exactDecimal(std::abs(value));
    decimals.resize(std::max<std::size_t>(decimals.size(), kPlaces), '0');
    std::string kept = whole + decimals.substr(0, kPlaces);
    const std::string dropped = decimals.substr(kPlaces);
    const bool moreThanHalf = !dropped.empty() && (dropped[0] > '5' || (dropped[0] == '5' && dropped.find_first_not_of('0', 1) != std::string::npos));
    const bool exactlyHalf = !dropped.empty() && dropped[0] == '5' && dropped.find_first_not_of('0', 1) == std::string::npos;
    if (moreThanHalf || (exactlyHalf && (kept.back() - '0') % 2 == 1))
        incrementLastDigit(kept);

    std::string integerPart = kept.substr(0, kept.size() - kPlaces);
    std::string fraction = kept.substr(kept.size() - kPlaces);
    integerPart.erase(0, std::min(integerPart.find_first_not_of('0'), integerPart.size()));
    fraction.erase(fraction.find_last_not_of('0') + 1);
    if (integerPart.empty() && fraction.empty())
        return "0";
    std::string text = std::signbit(value) ? "-" : "";
    text += integerPart.empty() ? "0" : integerPart;
    if (!fraction.empty())
        text += "," + fraction;
    return text;
}

std::vector<double> doublesToCheck()
{
    std::mt19937_64 random(20261208);
    std::vector<double> values{0.0, -0.0, 0.015625, 0.109375, 0.000005, 1.000005, 54.99999999999999,
                               std::numeric_limits<double>::denorm_min(), std::nextafter(kLimit, 0.0)};
    const auto sign = [&random] { return random() % 2 ? -1.0 : 1.0; };
    // Figures as people type them: a few digits, a few decimals.
    for (int i = 0; i < 400'000; ++i) {
        const auto digits = static_cast<double>(random() % 100'000'000'000);
        values.push_back(sign() * digits * std::pow(10.0, -static_cast<int>(random() % 14)));
    }
    // Any bit pattern, subnormals included, below the limit.
    while (values.size() < 750'000) {
        const double value = std::bit_cast<double>(random());
        if (std::isfinite(value) && std::abs(value) < kLimit)
            values.push_back(value);
    }
    // Exact halves at five places are the odd multiples of 1/64; and their neighbours.
    for (int i = 0; i < 100'000; ++i) {
        const double half = sign() * static_cast<double>(2 * (random() % 300'000'000'000) + 1) / 64;
        values.insert(values.end(), {half, std::nextafter(half, 0.0), std::nextafter(half, 2 * half)});
    }
    return values;
}

}  // namespace

class RoundingOracleTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void oracleKnowsTheEdgeCases_data();
    void oracleKnowsTheEdgeCases();
    void writerAgreesWithTheExactExpansion();
};

void RoundingOracleTest::oracleKnowsTheEdgeCases_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("half down to even") << 0.015625 << QStringLiteral("0,01562");
    QTest::newRow("half up to even") << 0.109375 << QStringLiteral("0,10938");
    QTest::newRow("above the half in binary") << 1.000005 << QStringLiteral("1,00001");
    QTest::newRow("carry through nines") << -9.999996 << QStringLiteral("-10");
    QTest::newRow("negative to zero") << -0.000001 << QStringLiteral("0");
    QTest::newRow("subnormal") << std::numeric_limits<double>::denorm_min() << QStringLiteral("0");
    QTest::newRow("large whole number") << 9876543210.0 << QStringLiteral("9876543210");
}

// The oracle itself, on values worked out by hand.
void RoundingOracleTest::oracleKnowsTheEdgeCases()
{
    QFETCH(double, value);
    QFETCH(QString, expected);

    QCOMPARE(QString::fromStdString(oracleText(value)), expected);
}

void RoundingOracleTest::writerAgreesWithTheExactExpansion()
{
    const std::vector<double> values = doublesToCheck();
    for (double value : values) {
        const std::string expected = oracleText(value);
        const std::string written = formatRounded(value, DecimalPlaces{kPlaces});
        if (written != expected) {
            QFAIL(qPrintable(QStringLiteral("%1: expected %2, written %3")
                                 .arg(QString::number(value, 'g', 17), QString::fromStdString(expected),
                                      QString::fromStdString(written))));
        }
    }
    qInfo("compared %zu doubles with their exact decimal expansion", values.size());
}

QTEST_APPLESS_MAIN(RoundingOracleTest)
#include "tst_roundingoracle.moc"
