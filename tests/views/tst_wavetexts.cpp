// What the analysis of the waves says in words: the accord and its band, the peaks of the port's
// pressure, how a run settled, where the flow broke down, what the model leaves out and why a
// chamber makes no duct.
#include "SyntheticWaves.h"
#include "views/WaveTexts.h"

#include <QTest>

using namespace scaricometro;
using namespace Qt::StringLiterals;

namespace {

// The sentences keep a number's groups together with a no-break space; "_" stands for it here.
QString grouped(QString text)
{
    return text.replace(u'_', QChar(0x00A0));
}

}  // namespace

Q_DECLARE_METATYPE(std::optional<waves::Band>)
Q_DECLARE_METATYPE(waves::Settling)
Q_DECLARE_METATYPE(waves::FlowFailure)
Q_DECLARE_METATYPE(waves::DuctFailure)
Q_DECLARE_METATYPE(std::vector<double>)

class WaveTextsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void wholeNumbers_data();
    void wholeNumbers();
    void accord_data();
    void accord();
    void peaksWithinTheirWindows();
    void settling_data();
    void settling();
    void failure_data();
    void failure();
    void assumptions_data();
    void assumptions();
    void ductFailure_data();
    void ductFailure();
};

void WaveTextsTest::wholeNumbers_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("three digits") << 999.0 << u"999"_s;
    QTest::newRow("four") << 6000.0 << u"6_000"_s;
    QTest::newRow("rounded up into a group") << 11749.6 << u"11_750"_s;
    QTest::newRow("seven") << 1234567.0 << u"1_234_567"_s;
    QTest::newRow("negative") << -12000.0 << u"-12_000"_s;
}

void WaveTextsTest::wholeNumbers()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(groupedWhole(value), grouped(text));
}

void WaveTextsTest::accord_data()
{
    QTest::addColumn<std::optional<waves::Band>>("band");
    QTest::addColumn<QString>("sentence");

    const auto band = [](double low, double high, bool lowEnd, bool highEnd) {
        return std::optional(waves::Band{11750, 150000, 125000, low, high, lowEnd, highEnd});
    };
    QTest::newRow("inside the sweep") << band(10250, 12750, false, false)
                                      << u"Accordata a 11_750 giri/min; banda 10_250–12_750; richiesti 12_000"_s;
    QTest::newRow("from the sweep's start")
        << band(6000, 12750, true, false)
        << u"Accordata a 11_750 giri/min; banda 6_000–12_750 e forse più in basso (la prova comincia a 6_000); richiesti 12_000"_s;
    QTest::newRow("to the sweep's end")
        << band(10250, 19200, false, true)
        << u"Accordata a 11_750 giri/min; banda 10_250–19_200 e forse più in alto (la prova finisce a 19_200); richiesti 12_000"_s;
    QTest::newRow("the whole sweep")
        << band(6000, 19200, true, true)
        << u"Accordata a 11_750 giri/min; banda 6_000–19_200 e forse oltre da entrambe le parti (è tutta la prova); richiesti 12_000"_s;
    QTest::newRow("no band") << std::optional<waves::Band>()
                             << u"Nessun accordo: il tappo (TC–EC) non sale mai sopra la pressione atmosferica tra "
                                u"6_000 e 19_200 giri/min; richiesti 12_000"_s;
}

void WaveTextsTest::accord()
{
    QFETCH(std::optional<waves::Band>, band);
    QFETCH(QString, sentence);
    QCOMPARE(accordSentence(band, 12000), grouped(sentence));
}

// The deepest suction only while the exhaust is open, the returning pulse only after bottom dead
// centre: lower and higher pressures outside those windows are not taken.
void WaveTextsTest::peaksWithinTheirWindows()
{
    waves::RpmResult result = synthetic::result();
    result.trace.port.fill(waves::kAtmosphere);
    result.trace.port[10] = 30000;   // before EO
    result.trace.port[200] = 67000;  // the suction
    result.trace.port[150] = 300000;  // before PMI
    result.trace.port[234] = 168000;  // the returning pulse
    result.trace.port[300] = 250000;  // after EC
    QCOMPARE(peaksSentence(result, synthetic::timing()),
             u"Aspirazione più profonda a 200° (0,67 bar, la più bassa tra EO ed EC); picco dell'onda di ritorno a "
             u"234° (1,68 bar, il più alto tra PMI ed EC)"_s);
}

void WaveTextsTest::settling_data()
{
    QTest::addColumn<waves::Settling>("settling");
    QTest::addColumn<int>("cycles");
    QTest::addColumn<QString>("start");

    QTest::newRow("periodic") << waves::Settling::Periodic << 23 << u"Periodico dopo 23 cicli"_s;
    QTest::newRow("alternating") << waves::Settling::Alternating << 40 << u"Due cicli alternati dopo 40 cicli"_s;
    QTest::newRow("unsettled") << waves::Settling::Unsettled << 150 << u"Non assestato in 150 cicli"_s;
}

void WaveTextsTest::settling()
{
    QFETCH(waves::Settling, settling);
    QFETCH(int, cycles);
    QFETCH(QString, start);
    waves::RpmResult result = synthetic::result();
    result.settling = settling;
    result.cycles = cycles;
    result.meanTemperature = 811.6;
    const QString sentence = settlingSentence(result);
    QVERIFY2(sentence.startsWith(start), qPrintable(sentence));
    QVERIFY2(sentence.endsWith(u"; temperatura media nel tubo 812 K, velocità del suono media 571 m/s"_s),
             qPrintable(sentence));
}

void WaveTextsTest::failure_data()
{
    QTest::addColumn<waves::FlowFailure>("failure");
    QTest::addColumn<QString>("what");

    QTest::newRow("density in the pipe") << waves::FlowFailure{12000, waves::BrokenQuantity::Density, false, 345.4, 7, 123}
                                         << u"la densità nel tubo a 345 mm dalla luce"_s;
    QTest::newRow("pressure in the cylinder")
        << waves::FlowFailure{12000, waves::BrokenQuantity::Pressure, true, 0, 7, 123} << u"la pressione nel cilindro"_s;
}

void WaveTextsTest::failure()
{
    QFETCH(waves::FlowFailure, failure);
    QFETCH(QString, what);
    QCOMPARE(failureSentence(failure),
             grouped(u"Calcolo interrotto a 12_000 giri/min: %1 sarebbe scesa a zero o sotto, a 123° del ciclo 7. "
                     u"Controllare le quote della camera e i dati del motore."_s)
                 .arg(what));
}

void WaveTextsTest::assumptions_data()
{
    QTest::addColumn<std::vector<double>>("lengths");
    QTest::addColumn<QString>("ending");

    QTest::newRow("every section") << std::vector<double>{50, 100, 100, 20, 100, 150} << u"tratti diritti."_s;
    QTest::newRow("the belly left out") << std::vector<double>{50, 100, 100, 0, 100, 150}
                                        << u"; lasciato fuori perché di lunghezza zero: L4."_s;
    QTest::newRow("three left out") << std::vector<double>{50, 0, 100, 0, 100, 0}
                                    << u"; lasciati fuori perché di lunghezza zero: L2, L4 e L6."_s;
}

void WaveTextsTest::assumptions()
{
    QFETCH(std::vector<double>, lengths);
    QFETCH(QString, ending);
    std::vector<waves::DuctSection> sections;
    for (const double length : lengths)
        sections.push_back({0, 0, length, 40, 40});
    const QString sentence = assumptionsSentence(std::get<waves::Duct>(waves::Duct::fromSections(sections)));
    QVERIFY2(sentence.startsWith(u"Il calcolo trascura l'attrito alle pareti e lo scambio di calore"_s), qPrintable(sentence));
    QVERIFY2(sentence.endsWith(ending), qPrintable(sentence));
}

void WaveTextsTest::ductFailure_data()
{
    QTest::addColumn<waves::DuctFailure>("failure");
    QTest::addColumn<QString>("start");

    QTest::newRow("too short") << waves::DuctFailure{waves::DuctRefusal::TooShort, 0, 32.54}
                               << u"La camera è lunga in tutto 32,5 mm: per calcolarne le onde ne servono almeno 50."_s;
    QTest::newRow("a diameter of none") << waves::DuctFailure{waves::DuctRefusal::DiameterNotPositive, 2, 0}
                                        << u"L3 ha un diametro di zero o meno"_s;
}

void WaveTextsTest::ductFailure()
{
    QFETCH(waves::DuctFailure, failure);
    QFETCH(QString, start);
    const QString sentence = ductFailureSentence(failure);
    QVERIFY2(sentence.startsWith(start), qPrintable(sentence));
    QVERIFY2(sentence.contains(u"Controllare i dati della finestra"_s), qPrintable(sentence));
}

QTEST_MAIN(WaveTextsTest)
#include "tst_wavetexts.moc"
