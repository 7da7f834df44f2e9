// The analysis' tables as a spreadsheet reads them: a byte order mark, the heading row, CR LF line
// ends, three fields apart by ";" on every row, each number read back with the decimal comma equal
// to what was written to its places, and the cylinder's field empty while the exhaust is closed.
#include "model/NumberText.h"
#include "waves/Gas.h"
#include "waves/WaveCsv.h"

#include <QTest>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace scaricometro;
using namespace scaricometro::waves;

namespace {

constexpr std::string_view kMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The rows after the byte order mark, each split at ";"; a row without its CR LF is a fault.
std::vector<std::vector<std::string>> rowsOf(const std::string& text)
{
    std::vector<std::vector<std::string>> rows;
    if (!text.starts_with(kMark))
        return rows;
    std::size_t at = kMark.size();
    while (at < text.size()) {
        const std::size_t end = text.find(kLineEnd, at);
        if (end == std::string::npos)
            return {};
        std::vector<std::string> fields;
        std::size_t from = at;
        for (std::size_t sep = text.find(';', from); sep < end; sep = text.find(';', from)) {
            fields.push_back(text.substr(from, sep - from));
            from = sep + 1;
        }
        fields.push_back(text.substr(from, end - from));
        rows.push_back(fields);
        at = end + kLineEnd.size();
    }
    return rows;
}

// The field read back as the bar value it was written from, to the places written.
bool readsAs(const std::string& field, double pascals)
{
    constexpr DecimalPlaces kPlaces{4};
    const std::optional<double> value = parseDecimalComma(field);
    return value && *value == roundHalfEven(pascals / kPascalsPerBar, kPlaces) && field.find(',') == field.size() - 5;
}

}  // namespace

Q_DECLARE_METATYPE(std::vector<double>)

class WaveCsvTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cycle_data();
    void cycle();
    void band();
    void bandWithTheChamberBefore();
};

void WaveCsvTest::cycle_data()
{
    QTest::addColumn<double>("port");       // Pa, at every degree
    QTest::addColumn<double>("portSwing");  // Pa, added times the degree's share of the cycle
    QTest::addColumn<int>("opens");
    QTest::addColumn<int>("closes");

    QTest::newRow("atmosphere, exhaust 80° to 280°") << kAtmosphere << 0.0 << 80 << 280;
    QTest::newRow("rising by odd fractions") << 67123.456789 << 98765.4321 << 100 << 260;
    QTest::newRow("five places, cut to four") << 123450.0 << 0.0 << 0 << 360;
    QTest::newRow("exhaust never open") << 150000.0 << 1.0 << 361 << 361;
}

void WaveCsvTest::cycle()
{
    QFETCH(double, port);
    QFETCH(double, portSwing);
    QFETCH(int, opens);
    QFETCH(int, closes);
    CycleTrace trace;
    for (std::size_t degree = 0; degree < kTracePoints; ++degree) {
        trace.port[degree] = port + portSwing * static_cast<double>(degree) / kDegreesPerCycle;
        const int angle = static_cast<int>(degree);
        trace.cylinder[degree] = angle >= opens && angle <= closes ? 5e5 - 1000.0 * angle : kNaN;
    }
    const std::string text = cycleCsv(trace);
    const auto rows = rowsOf(text);
    QCOMPARE(rows.size(), kTracePoints + 1);
    QCOMPARE(rows.front(),
             (std::vector<std::string>{"Angolo (°)", "Pressione alla luce (bar)", "Pressione nel cilindro (bar)"}));
    for (std::size_t degree = 0; degree < kTracePoints; ++degree) {
        const std::vector<std::string>& row = rows[degree + 1];
        QCOMPARE(row.size(), 3U);
        QCOMPARE(row[0], std::to_string(degree));
        QVERIFY2(readsAs(row[1], trace.port[degree]), row[1].c_str());
        if (std::isnan(trace.cylinder[degree]))
            QVERIFY2(row[2].empty(), row[2].c_str());
        else
            QVERIFY2(readsAs(row[2], trace.cylinder[degree]), row[2].c_str());
    }
}

void WaveCsvTest::band()
{
    const std::vector<BandPoint> points{{6000, 92250.4, 103760}, {12345.6, 176543.21, 81234.5}, {19200, kAtmosphere, 0}};
    const auto rows = rowsOf(bandCsv(points));
    QCOMPARE(rows.size(), points.size() + 1);
    QCOMPARE(rows.front(), (std::vector<std::string>{"Giri/min", "Tappo (bar)", "Aspirazione (bar)"}));
    for (std::size_t i = 0; i < points.size(); ++i) {
        const std::vector<std::string>& row = rows[i + 1];
        QCOMPARE(row.size(), 3U);
        QCOMPARE(parseDecimalComma(row[0]), std::optional(std::round(points[i].rpm)));
        QVERIFY2(readsAs(row[1], points[i].plug), row[1].c_str());
        QVERIFY2(readsAs(row[2], points[i].suction), row[2].c_str());
    }
    QCOMPARE(rowsOf(bandCsv({})).size(), 1U);
}

// The band before a tuning beside the band, speed by speed: its plug and suction where it has the
// speed, empty fields where it has not.
void WaveCsvTest::bandWithTheChamberBefore()
{
    const std::vector<BandPoint> points{{6000, 92250.4, 103760}, {12345.6, 176543.21, 81234.5}, {19200, kAtmosphere, 0}};
    const std::vector<BandPoint> before{{6000, 95000, 100000}, {19200, 110000.5, 99000.25}};
    const auto rows = rowsOf(bandCsv(points, before));
    QCOMPARE(rows.size(), points.size() + 1);
    QCOMPARE(rows.front(), (std::vector<std::string>{"Giri/min", "Tappo (bar)", "Aspirazione (bar)",
                                                     "Tappo, camera di prima (bar)",
                                                     "Aspirazione, camera di prima (bar)"}));
    for (const std::size_t i : {0U, 2U}) {
        const std::vector<std::string>& row = rows[i + 1];
        QCOMPARE(row.size(), 5U);
        QVERIFY2(readsAs(row[1], points[i].plug), row[1].c_str());
        const BandPoint& earlier = before[i == 0 ? 0 : 1];
        QVERIFY2(readsAs(row[3], earlier.plug), row[3].c_str());
        QVERIFY2(readsAs(row[4], earlier.suction), row[4].c_str());
    }
    QCOMPARE(rows[2], (std::vector<std::string>{"12346", "1,7654", "0,8123", "", ""}));
}

QTEST_MAIN(WaveCsvTest)
#include "tst_wavecsv.moc"
