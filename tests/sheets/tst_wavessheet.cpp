// The PDF of the analysis of the waves as a reader sees it: qpdf finds it sound, and poppler's
// pdftotext reads on its two pages the title, the figures, the duct's sections, the sentences and
// the plots' titles; a file that cannot be written leaves nothing behind and says why.
#include "../cutfiles/Programs.h"
#include "../views/SyntheticWaves.h"
#include "sheets/WavesSheet.h"
#include "views/WaveTexts.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace scaricometro;
using namespace Qt::StringLiterals;

namespace {

// The page's words on one line each apart by a single space, the no-break spaces as plain ones.
QString pageText(const QString& pdf, int page)
{
    const QString number = QString::number(page);
    return run(u"pdftotext"_s, {u"-layout"_s, u"-f"_s, number, u"-l"_s, number, pdf, u"-"_s})
        .replace(QChar(0x00A0), u' ')
        .simplified();
}

QString plain(QString text)
{
    return text.replace(QChar(0x00A0), u' ');
}

}  // namespace

class WavesSheetTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void pagesSay_data();
    void pagesSay();
    void soundForQpdf();
    void unwritableFileLeavesNothing();

private:
    QTemporaryDir m_folder;
    QString m_pdf;
    waves::RpmResult m_result = synthetic::result();
};

void WavesSheetTest::initTestCase()
{
    QVERIFY(m_folder.isValid());
    m_pdf = m_folder.filePath(u"onde.pdf"_s);
    const WavesFigures figures{{{u"Gradi Scarico"_s, u"203"_s}, {u"Giri/min massimi"_s, u"12000"_s}},
                               {{u"Alesaggio"_s, u"40"_s}, {u"Gradi travasi"_s, u"130"_s}},
                               u"Camera accordata a 12 000 giri/min: L1–L5 × 1,3750"_s};
    // A tuned chamber's: the band before the tuning behind the band.
    WavePlotData data = synthetic::plotData(&m_result);
    for (waves::BandPoint point : data.band) {
        point.plug -= 10000;
        data.bandBefore.push_back(point);
    }
    const std::optional<QString> failure = WavesSheet(data, figures, synthetic::duct(), 647.4).saveAsPdf(m_pdf);
    QVERIFY2(!failure, qPrintable(failure.value_or(QString())));
}

void WavesSheetTest::pagesSay_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("words");

    const WavePlotData data = synthetic::plotData(&m_result);
    const QStringList everyPage{u"Scaricometro: onde nella camera"_s, u"Gradi Scarico 203 · Giri/min massimi 12000 · Alesaggio 40 · Gradi travasi 130"_s,
                                u"righello di controllo: 100 mm"_s};
    for (const int page : {1, 2}) {
        for (const QString& words : everyPage)
            QTest::addRow("page %d: %s", page, qPrintable(words)) << page << words;
        QTest::addRow("page %d: its number", page) << page << u"pagina %1 di 2"_s.arg(page);
    }
    const QStringList first{
        u"L1: da 0,00 mm a 100,00 mm dalla luce, lungo 100,00 mm; diametro 30,00 mm"_s,
        u"L3: da 100,00 mm a 200,00 mm dalla luce, lungo 100,00 mm; diametro da 30,00 mm a 60,00 mm"_s,
        plain(accordSentence(data.bandFigures, data.typedRpm)),
        plain(settlingSentence(m_result)),
        u"lasciato fuori perché di lunghezza zero: L2."_s,
        u"scambio di calore con la parete a 647 K (374 °C)"_s,
        u"Pressione alla luce di scarico in un ciclo a 12 000 giri/min"_s,
        u"Banda di utilizzo"_s,
        u"Tappo (TC–EC)"_s,
        u"Camera accordata a 12 000 giri/min: L1–L5 × 1,3750"_s,
        u"Tappo, camera di prima"_s,
    };
    for (const QString& words : first)
        QTest::addRow("page 1: %s", qPrintable(words)) << 1 << words;
    QTest::newRow("page 2: the diagram") << 2 << u"Diagramma delle onde"_s;
    QTest::newRow("page 2: its axis") << 2 << u"Distanza dalla luce (mm)"_s;
}

void WavesSheetTest::pagesSay()
{
    QFETCH(int, page);
    QFETCH(QString, words);
    const QString text = pageText(m_pdf, page);
    QVERIFY2(text.contains(words), qPrintable(text));
}

void WavesSheetTest::soundForQpdf()
{
    int exitCode = -1;
    const QString output = run(u"qpdf"_s, {u"--check"_s, m_pdf}, &exitCode);
    QVERIFY2(exitCode == 0, qPrintable(output));
    QVERIFY2(output.contains(u"No syntax or stream encoding errors"_s), qPrintable(output));
}

void WavesSheetTest::unwritableFileLeavesNothing()
{
    const QString path = m_folder.filePath(u"manca/onde.pdf"_s);
    const std::optional<QString> failure =
        WavesSheet(synthetic::plotData(&m_result), {}, synthetic::duct(), 0).saveAsPdf(path);
    QVERIFY(failure);
    QVERIFY2(failure->startsWith(u"il file non si può creare"_s), qPrintable(*failure));
    QVERIFY(!QFile::exists(path));
}

QTEST_MAIN(WavesSheetTest)
#include "tst_wavessheet.moc"
