// The dialog of the waves in the chamber, reached from the window: its fields and refusals, the
// analysis started again on an edit and stopped on closing, the CSV files and the PDF read back,
// and the plots painted. A chamber for a fast engine keeps each analysis to seconds.
#include "DialogFixture.h"
#include "model/NumberText.h"
#include "ui/EngineFields.h"
#include "ui/WavesDialog.h"
#include "views/WavePlots.h"
#include "waves/WaveAnalysis.h"

#include <QAction>
#include <QFileDialog>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QProgressBar>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolTip>

#include <algorithm>
#include <array>
#include <utility>

using namespace scaricometro;
using namespace Qt::StringLiterals;

namespace {

constexpr QKeyCombination kWavesKeys = Qt::CTRL | Qt::SHIFT | Qt::Key_O;

// Every row of a CSV file but the heading, its fields read as numbers; an empty field as NaN.
QList<QList<double>> csvRows(const QByteArray& file)
{
    QList<QList<double>> rows;
    const QStringList lines = QString::fromUtf8(file).split(u'\n', Qt::SkipEmptyParts);
    for (const QString& line : lines.mid(1)) {
        QList<double> row;
        for (const QString& field : line.trimmed().split(u';'))
            row.append(field.isEmpty() ? qQNaN() : parseDecimalComma(field.toStdString()).value_or(qInf()));
        rows.append(row);
    }
    return rows;
}

}  // namespace

class WavesDialogTest : public DialogFixture {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setUpAll(); }
    void cleanupTestCase() { tearDownAll(); }
    void init()
    {
        setUp();
        typeFastFigures();
    }
    void cleanup() { tearDown(); }
    void reachedFromTheWindow();
    void fieldsAreNamedAndInOrder();
    void refuses_data();
    void refuses();
    void editStartsAgain();
    void closingStopsAndKeepsEntries();
    void exportsCsv_data();
    void exportsCsv();
    void savesPdf();
    void plotsShowTheWaves();
    void fitsASmallScreen();

private:
    [[nodiscard]] WavesDialog* openWaves() const
    {
        QTest::keySequence(m_form->focusWidget(), QKeySequence(kWavesKeys));
        return shown<WavesDialog>(*m_form);
    }
    static bool finish(WavesDialog* dialog)
    {
        QSignalSpy complete(dialog, &WavesDialog::analysisComplete);
        return dialog->isComplete() || complete.wait(kAnalysisMs);
    }
    static QLineEdit* engineField(const WavesDialog& dialog, double waves::EngineFigures::*value)
    {
        return named<QLineEdit>(dialog, rowFor(kEngineFields, value).name.toString());
    }
};

void WavesDialogTest::reachedFromTheWindow()
{
    WavesDialog* dialog = openWaves();
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), u"Onde nella camera"_s);
    // Beside the window, which stays free while the analysis runs.
    QCOMPARE(dialog->windowModality(), Qt::NonModal);
    QVERIFY(!QApplication::activeModalWidget());
    dialog->reject();
    // No standard key of Qt's is bound to the same keys.
    for (int key = QKeySequence::HelpContents; key <= QKeySequence::Cancel; ++key)
        QVERIFY(!QKeySequence::keyBindings(static_cast<QKeySequence::StandardKey>(key)).contains(QKeySequence(kWavesKeys)));

    const QPoint background(660, 480);
    QContextMenuEvent event(QContextMenuEvent::Mouse, background, m_form->mapToGlobal(background));
    QApplication::sendEvent(m_form.get(), &event);
    QMenu* menu = shown<QMenu>(*m_form);
    QVERIFY(menu && menu->actions().size() == 2);
    QCOMPARE(menu->actions().at(1)->text(), u"Onde nella camera…"_s);
    menu->actions().at(1)->trigger();
    menu->close();
    QVERIFY(shown<WavesDialog>(*m_form));

    const QPoint onTheDrawing(300, 200);
    QHelpEvent help(QEvent::ToolTip, onTheDrawing, m_form->mapToGlobal(onTheDrawing));
    QApplication::sendEvent(m_form.get(), &help);
    QVERIFY(QToolTip::text().contains(u"Onde nella camera"_s));
    QVERIFY(QToolTip::text().contains(QKeySequence(kWavesKeys).toString(QKeySequence::NativeText)));
}

void WavesDialogTest::fieldsAreNamedAndInOrder()
{
    WavesDialog* dialog = openWaves();
    QVERIFY(dialog);
    const QStringList defaults{u"40"_s, u"85"_s, u"12"_s, u"28"_s, u"130"_s, u"5"_s};
    QLineEdit* previous = nullptr;
    for (std::size_t i = 0; i < kEngineFields.size(); ++i) {
        const EngineField& row = kEngineFields[i];
        auto* field = qobject_cast<QLineEdit*>(fieldCaptioned(*dialog, row.caption.toString()));
        QVERIFY2(field && field == engineField(*dialog, row.value), qPrintable(row.caption.toString()));
        QCOMPARE(field->text(), defaults.at(static_cast<qsizetype>(i)));
        QVERIFY(!field->toolTip().isEmpty());
        if (previous) {
            previous->setFocus();
            QTest::keyClick(previous, Qt::Key_Tab);
            QCOMPARE(dialog->focusWidget(), field);
        }
        previous = field;
    }
}

void WavesDialogTest::refuses_data()
{
    QTest::addColumn<QString>("windowField");  // empty: the dialog's field named by `field`
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    QTest::newRow("bore not a number") << QString() << u"Alesaggio (mm)"_s << u"4x"_s
                                       << u"Il valore di \"Alesaggio\" non è un numero"_s;
    QTest::newRow("no bore") << QString() << u"Alesaggio (mm)"_s << u"0"_s
                             << u"\"Alesaggio\" deve essere maggiore di zero."_s;
    QTest::newRow("rod too short") << QString() << u"Biella (mm)"_s << u"9"_s
                                   << u"\"Biella\" deve essere più lunga di metà della \"Corsa motore\", 10 mm"_s;
    QTest::newRow("compression") << QString() << u"Rapporto di compressione"_s << u"1"_s
                                 << u"\"Rapporto di compressione\" deve essere maggiore di 1."_s;
    QTest::newRow("port wider than bore") << QString() << u"Larghezza luce di scarico (mm)"_s << u"40.5"_s
                                          << u"\"Larghezza luce di scarico\" non può superare \"Alesaggio\", 40 mm."_s;
    QTest::newRow("transfers longer than exhaust")
        << QString() << u"Gradi travasi"_s << u"204"_s << u"\"Gradi travasi\" non può superare \"Gradi Scarico\" della finestra, 203"_s;
    // A point is a decimal comma: 1,01 bar, not 101.
    QTest::newRow("release at atmosphere") << QString() << u"Pressione allo scarico (bar assoluti)"_s << u"1.01"_s
                                           << u"deve superare la pressione atmosferica, 1,01325 bar assoluti."_s;
    QTest::newRow("rpm too low") << u"Text3"_s << QString() << u"900"_s
                                 << u"Le onde si calcolano con \"Giri/min massimi\" da 1\u00A0000 a 40\u00A0000"_s;
    QTest::newRow("no wave speed") << u"Text2"_s << QString() << u"-1"_s
                                   << u"Le onde si calcolano con \"Velocità onda sonica\" da 200 a 1\u00A0500 m/s"_s;
    QTest::newRow("wave speed too fast") << u"Text2"_s << QString() << u"5000"_s
                                         << u"la velocità del suono nei gas di scarico, dall'aria fredda ai gas più "
                                            u"caldi.\nCorreggerlo nella finestra del programma e riaprire \"Onde nella camera\"."_s;
}

// Return in the field, or a save asked for, tells what to mend, with the focus in the dialog's field.
void WavesDialogTest::refuses()
{
    QFETCH(QString, windowField);
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, message);

    if (!windowField.isEmpty())
        m_form->textField(windowField)->setText(text);
    WavesDialog* dialog = openWaves();
    QVERIFY(dialog);
    auto* note = dialog->findChild<QLabel*>(u"problemNote"_s);
    if (windowField.isEmpty()) {
        QLineEdit* typed = named<QLineEdit>(*dialog, field);
        typed->setText(text);
        typed->setFocus();
        QTest::keyClick(typed, Qt::Key_Return);
        QVERIFY2(!shown<QFileDialog>(*dialog), "Return presses no button");
    } else {
        QVERIFY(note->isVisible() && note->text().contains(message));
        buttonCalled(*dialog, u"Esporta CSV…"_s)->click();
    }
    QMessageBox* box = shown<QMessageBox>(*dialog);
    QVERIFY(box);
    QVERIFY2(box->text().contains(message), qPrintable(box->text()));
    QVERIFY(!dialog->isComplete());
    if (!field.isEmpty())
        QCOMPARE(dialog->focusWidget(), named<QLineEdit>(*dialog, field));
}

void WavesDialogTest::editStartsAgain()
{
    WavesDialog* dialog = openWaves();
    QVERIFY(dialog && finish(dialog));
    const std::vector<FileToSave> before = *dialog->csvFiles();
    auto* progress = dialog->findChild<QProgressBar*>();
    QCOMPARE(progress->value(), progress->maximum());

    QSignalSpy restarted(progress, &QProgressBar::valueChanged);
    engineField(*dialog, &waves::EngineFigures::releasePressureBar)->setText(u"3"_s);
    QVERIFY2(restarted.isEmpty(), "an edit waits for the next keystroke");
    QVERIFY(restarted.wait());
    QCOMPARE(restarted.front().front().toInt(), 0);
    QVERIFY(finish(dialog));
    const std::vector<FileToSave> after = *dialog->csvFiles();
    QVERIFY(after[0].contents != before[0].contents);
    QVERIFY(after[1].contents != before[1].contents);
}

void WavesDialogTest::closingStopsAndKeepsEntries()
{
    WavesDialog* dialog = openWaves();
    QVERIFY(dialog);
    engineField(*dialog, &waves::EngineFigures::boreMm)->setText(u"45,5"_s);
    dialog->restart();
    auto* progress = dialog->findChild<QProgressBar*>();
    dialog->reject();
    const int done = progress->value();
    QTest::qWait(1000);
    QCOMPARE(progress->value(), done);
    QVERIFY(!dialog->isComplete());

    // Offscreen, the window is made active again only when asked.
    m_form->activateWindow();
    QVERIFY(QTest::qWaitFor([&] { return QApplication::activeWindow() == m_form.get(); }));
    QCOMPARE(openWaves(), dialog);
    QCOMPARE(engineField(*dialog, &waves::EngineFigures::boreMm)->text(), u"45,5"_s);
    QVERIFY(finish(dialog));
}

void WavesDialogTest::exportsCsv_data()
{
    QTest::addColumn<QString>("answer");  // to replacing the cycle's file already there

    QTest::newRow("replaced") << u"Sostituisci"_s;
    QTest::newRow("kept") << u"Annulla"_s;
}

void WavesDialogTest::exportsCsv()
{
    QFETCH(QString, answer);
    const QTemporaryDir folder;
    const QString cyclePath = folder.filePath(u"scaricometro-ciclo.csv"_s);
    QFile old(cyclePath);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("vecchio\n") > 0);
    old.close();
    WavesDialog* dialog = openWaves();
    QVERIFY(dialog);
    buttonCalled(*dialog, u"Esporta CSV…"_s)->click();
    QMessageBox* early = shown<QMessageBox>(*dialog);
    QVERIFY(early && early->text().startsWith(u"Il calcolo non è ancora finito"_s));
    early->close();
    QVERIFY(finish(dialog));

    buttonCalled(*dialog, u"Esporta CSV…"_s)->click();
    auto* folders = shown<QFileDialog>(*dialog);
    QVERIFY(folders);
    folders->selectFile(folder.path());
    static_cast<QDialog*>(folders)->accept();
    QMessageBox* question = shown<QMessageBox>(*dialog);
    QVERIFY(question && question->text().contains(u"scaricometro-ciclo.csv"_s));
    buttonCalled(*question, answer)->click();
    const bool saved = answer != u"Annulla"_s;
    QCOMPARE(QFileInfo::exists(folder.filePath(u"scaricometro-banda.csv"_s)), saved);
    QFile cycleFile(cyclePath);
    QVERIFY(cycleFile.open(QIODevice::ReadOnly));
    if (!saved) {
        QCOMPARE(cycleFile.readAll(), QByteArray("vecchio\n"));
        return;
    }
    const QList<QList<double>> cycle = csvRows(cycleFile.readAll());
    QCOMPARE(cycle.size(), 361);
    for (qsizetype degree = 0; degree < cycle.size(); ++degree) {
        QCOMPARE(cycle[degree].size(), 3);
        QCOMPARE(cycle[degree][0], double(degree));
        QVERIFY(cycle[degree][1] > 0 && cycle[degree][1] < 10);
    }
    QVERIFY2(std::isnan(cycle[0][2]) && !std::isnan(cycle[180][2]), "the cylinder only while the exhaust is open");

    QFile bandFile(folder.filePath(u"scaricometro-banda.csv"_s));
    QVERIFY(bandFile.open(QIODevice::ReadOnly));
    const QList<QList<double>> band = csvRows(bandFile.readAll());
    QCOMPARE(band.size(), dialog->findChild<QProgressBar*>()->maximum());
    QCOMPARE(band.front()[0], 4000.0);
    // The accord the dialog tells is the speed of the highest plug.
    const auto highest = std::max_element(band.begin(), band.end(), [](const auto& a, const auto& b) { return a[1] < b[1]; });
    const QString accord = dialog->findChild<QLabel*>(u"accordSentence"_s)->text();
    const QRegularExpressionMatch said = QRegularExpression(u"^Accordata a ([0-9\u00A0]+) giri/min"_s).match(accord);
    QVERIFY2(said.hasMatch(), qPrintable(accord));
    QCOMPARE(said.captured(1).remove(u'\u00A0').toDouble(), (*highest)[0]);
}

void WavesDialogTest::savesPdf()
{
    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        QSKIP("pdftotext is not installed");
    const QTemporaryDir folder;
    const QString path = folder.filePath(u"onde.pdf"_s);
    WavesDialog* dialog = openWaves();
    QVERIFY(dialog && finish(dialog));
    buttonCalled(*dialog, u"Salva PDF…"_s)->click();
    auto* files = shown<QFileDialog>(*dialog);
    QVERIFY(files);
    QCOMPARE(QFileInfo(files->selectedFiles().value(0)).fileName(), u"scaricometro-onde.pdf"_s);
    files->selectFile(path);
    static_cast<QDialog*>(files)->accept();
    QCOMPARE(m_opened, QList<QUrl>{QUrl::fromLocalFile(path)});
    QProcess text;
    text.start(u"pdftotext"_s, {path, u"-"_s});
    QVERIFY(text.waitForFinished());
    const QString words = QString::fromUtf8(text.readAllStandardOutput()).simplified();
    const QString accord = dialog->findChild<QLabel*>(u"accordSentence"_s)->text();
    for (const QString& expected : {u"Alesaggio"_s, u"Pressione allo scarico"_s, accord.section(u';', 0, 0).simplified()})
        QVERIFY2(words.contains(expected), qPrintable(expected));
}

// The wave diagram maps pressure to colour: both the compression (red) and the suction (blue) show.
// The wave diagram red where the pulse is highest and blue where the suction is deepest, worked out
// here by a run of the same chamber, engine and speed.
void WavesDialogTest::plotsShowTheWaves()
{
    constexpr double kClearMm = 15;
    constexpr std::size_t kClearDegrees = 10;
    const ChamberInputs inputs{203, 510, 12000, 39.3, 29};
    for (const auto& [field, text] : {std::pair{u"Text3"_s, u"12000"_s}, {u"Text4"_s, u"39,3"_s}, {u"Text15"_s, u"29"_s}})
        m_form->textField(field)->setText(text);
    WavesDialog* dialog = openWaves();
    QVERIFY(dialog);
    QSignalSpy shown(dialog, &WavesDialog::typedSpeedShown);
    QVERIFY(shown.wait(kAnalysisMs));
    QWidget* diagram = named<QWidget>(*dialog, u"Diagramma delle onde lungo la camera"_s);
    QVERIFY(diagram);
    QImage image = diagram->grab().toImage();

    const auto setup = std::get<waves::WaveSetup>(
        waves::prepareWaves(inputs, std::get<ChamberDimensions>(computeChamber(inputs)), waves::EngineFigures{}));
    const auto result = std::get<waves::RpmResult>(*waves::runAtRpm(setup, inputs.maxRpm, true));
    WavePlotData data;
    data.typed = &result;
    data.timing = setup.engine.timing();
    data.sections = setup.duct.sections();
    QPainter painter(&image);
    const PlotPlacement placement = placeWavePlot(WavePlot::Diagram, painter, QRectF(image.rect()),
                                                  diagram->logicalDpiX() / 25.4, data);
    painter.end();
    // The extremes away from the lines drawn over the map: its frame and the sections' joints.
    const waves::WaveDiagram& along = *result.diagram;
    const auto clearOfLines = [&](double mm) {
        for (const waves::DuctSection& section : data.sections) {
            if (std::abs(mm - section.startMm) < kClearMm || std::abs(mm - section.startMm - section.lengthMm) < kClearMm)
                return false;
        }
        return true;
    };
    QPointF highestAt, lowestAt;
    double highestPressure = 0;
    double lowestPressure = 1e9;
    for (std::size_t degree = kClearDegrees; degree + kClearDegrees < waves::kTracePoints; ++degree) {
        for (std::size_t cell = 0; cell < along.cellCentresMm.size(); ++cell) {
            const double mm = along.cellCentresMm[cell];
            const double pressure = along.at(degree, cell);
            if (!clearOfLines(mm))
                continue;
            const QPointF at = placement.map(mm, static_cast<double>(degree));
            if (pressure > highestPressure) {
                highestPressure = pressure;
                highestAt = at;
            }
            if (pressure < lowestPressure) {
                lowestPressure = pressure;
                lowestAt = at;
            }
        }
    }
    constexpr int kTint = 60;
    const QColor highest = image.pixelColor(highestAt.toPoint());
    const QColor lowest = image.pixelColor(lowestAt.toPoint());
    QVERIFY2(highest.red() - highest.blue() > kTint, qPrintable(highest.name()));
    QVERIFY2(lowest.blue() - lowest.red() > kTint, qPrintable(lowest.name()));
}

void WavesDialogTest::fitsASmallScreen()
{
    WavesDialog* dialog = openWaves();
    QVERIFY(dialog);
    constexpr int kTitleBarAndTaskBar = 80;
    QVERIFY2(dialog->sizeHint().width() <= 1366 && dialog->sizeHint().height() <= 768 - kTitleBarAndTaskBar,
             qPrintable(u"%1 × %2"_s.arg(dialog->sizeHint().width()).arg(dialog->sizeHint().height())));
}

QTEST_MAIN(WavesDialogTest)
#include "tst_wavesdialog.moc"
