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


waves::Duct ductOf(const std::vector<double>& lengths)
{
    std::vector<waves::DuctSection> sections;
    for (const double length : lengths)
        sections.push_back({0, 0, length, 40, 40});
    return std::get<waves::Duct>(waves::Duct::fromSections(sections));
}

waves::RpmResult settled(waves::Settling settling, int cycles)
{
    waves::RpmResult result = synthetic::result();
    result.settling = settling;
    result.cycles = cycles;
    result.meanTemperature = 811.6;
    return result;
}

}  // namespace

Q_DECLARE_METATYPE(std::optional<waves::Band>)

class WaveTextsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void wholeNumbers_data();
    void wholeNumbers();
    void accord_data();
    void accord();
    void peaksWithinTheirWindows();
    // How a run settled, where the flow broke down, what the model leaves out, why there is no duct.
    void sentences_data();
    void sentences();
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

    const auto band = [](double low, double high, bool lowEnd, bool highEnd, std::optional<double> parabola = {}) {
        return std::optional(waves::Band{11750, 150000, 125000, low, high, lowEnd, highEnd, parabola});
    };
    QTest::newRow("inside the sweep") << band(10250, 12750, false, false)
                                      << u"Accordata a 11_750 giri/min; banda 10_250–12_750; richiesti 12_000"_s;
    QTest::newRow("with its parabola") << band(10250, 12750, false, false, 11686.6)
                                       << u"Accordata a 11_750 giri/min (11_687 dalla parabola); banda 10_250–12_750; "
                                          u"richiesti 12_000"_s;
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

void WaveTextsTest::sentences_data()
{
    QTest::addColumn<QString>("sentence");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");

    const QString heat = u"; temperatura media nel tubo 812 K, velocità del suono media 571 m/s"_s;
    QTest::newRow("periodic") << settlingSentence(settled(waves::Settling::Periodic, 23))
                              << u"Periodico dopo 23 cicli (5 cicli di fila entro lo 0,5 %): ogni ciclo ripete il precedente"_s
                              << heat;
    QTest::newRow("alternating") << settlingSentence(settled(waves::Settling::Alternating, 40))
                                 << u"Due cicli alternati dopo 40 cicli (5 cicli di fila entro lo 0,5 %)"_s << heat;
    QTest::newRow("unsettled") << settlingSentence(settled(waves::Settling::Unsettled, 150))
                               << u"Non assestato in 150 cicli (mai 5 cicli di fila entro lo 0,5 %)"_s << heat;
    waves::RpmResult walled = settled(waves::Settling::Periodic, 23);
    walled.wallTemperature = 647.4;
    QTest::newRow("with the wall's temperature") << settlingSentence(walled) << u"Periodico dopo 23 cicli"_s
                                                 << heat + u"; parete a 647 K (374 °C)"_s;

    const QString check = u". Controllare le quote della camera e i dati del motore."_s;
    QTest::newRow("density in the pipe")
        << failureSentence({12000, waves::BrokenQuantity::Density, false, 345.4, 7, 123})
        << grouped(u"Calcolo interrotto a 12_000 giri/min: la densità nel tubo a 345 mm dalla luce sarebbe scesa a "
                   u"zero o sotto, a 123° del ciclo 7"_s)
        << check;
    QTest::newRow("pressure in the cylinder")
        << failureSentence({12000, waves::BrokenQuantity::Pressure, true, 0, 7, 123})
        << grouped(u"Calcolo interrotto a 12_000 giri/min: la pressione nel cilindro sarebbe scesa"_s) << check;

    const QString neglects = u"Il calcolo trascura l'attrito alle pareti e lo scambio di calore"_s;
    const QString walls = u"Il calcolo tiene conto dell'attrito e dello scambio di calore con la parete a 647 K (374 °C); "
                          u"il flusso dei travasi non è calcolato"_s;
    QTest::newRow("every section") << assumptionsSentence(ductOf({50, 100, 100, 20, 100, 150}), 647.4) << walls
                                   << u"tratti diritti."_s;
    QTest::newRow("no wall") << assumptionsSentence(ductOf({50, 100, 100, 20, 100, 150}), 0) << neglects
                             << u"tratti diritti."_s;
    QTest::newRow("the belly left out") << assumptionsSentence(ductOf({50, 100, 100, 0, 100, 150}), 647.4) << walls
                                        << u"; lasciato fuori perché di lunghezza zero: L4."_s;
    QTest::newRow("three left out") << assumptionsSentence(ductOf({50, 0, 100, 0, 100, 0}), 0) << neglects
                                    << u"; lasciati fuori perché di lunghezza zero: L2, L4 e L6."_s;

    const QString window = u"Controllare i dati della finestra"_s;
    QTest::newRow("too short") << ductFailureSentence({waves::DuctRefusal::TooShort, 0, 32.54})
                               << u"La camera è lunga in tutto 32,5 mm: per calcolarne le onde ne servono almeno 50. "_s + window
                               << u"L1…L6."_s;
    QTest::newRow("too long") << ductFailureSentence({waves::DuctRefusal::TooLong, 0, 14207.26})
                              << u"La camera è lunga in tutto 14207,3 mm: oltre 5000 mm il calcolo"_s << u"L1…L6."_s;
    QTest::newRow("a diameter of none") << ductFailureSentence({waves::DuctRefusal::DiameterNotPositive, 2, 0})
                                        << u"L3 ha un diametro di zero o meno"_s << u"da cui è ricavato."_s;
}

void WaveTextsTest::sentences()
{
    QFETCH(QString, sentence);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QVERIFY2(sentence.startsWith(start), qPrintable(sentence));
    QVERIFY2(sentence.endsWith(end), qPrintable(sentence));
}

QTEST_MAIN(WaveTextsTest)
#include "tst_wavetexts.moc"
