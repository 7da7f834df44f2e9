// The chamber as built, as a tuner meets it in the two dialogs: the group "Sezioni" named,
// captioned and in tab order, its refusals naming the field with nothing changed; a section typed
// reaching the templates, the cutting files, the route and the waves' duct, and "Come la finestra"
// and Ctrl+Z putting them back, the window's results untouched; the chamber tuned to an rpm from
// the waves' dialog, shown in both, its band drawn over the one before and written beside it, a
// tuning out of reach changing nothing and an edit dropping a tuning under way. A small engine's
// short chamber keeps each analysis and tuning to seconds.
#include "DialogFixture.h"
#include "cutfiles/CuttingFiles.h"
#include "model/NumberText.h"
#include "ui/EngineFields.h"
#include "ui/WavesDialog.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalSpy>

#include <array>
#include <utility>

using namespace scaricometro;
using namespace Qt::StringLiterals;

namespace {

constexpr QStringView kL3Name = u"L3 secondo cono divergente (mm)";

// Where a chamber's outputs differ: the L3 cone's pattern, its cutting file, the outlet and the
// ends of the sections on the route.
struct Outputs {
    double l3PatternLength = 0;
    QByteArray l3CuttingFile;
    std::vector<Vector3> ends;

    static Outputs of(const ChamberFigures& figures)
    {
        const auto templates = std::get<ChamberTemplates>(ChamberTemplates::plan(figures, {}));
        Outputs outputs;
        outputs.l3PatternLength = templates.development().cones[1].length;
        const auto parts = std::get<std::vector<ChamberPart>>(chamberParts(templates.development(), 1, {}));
        for (const FileToSave& file : cuttingFiles(parts)) {
            if (file.name.contains(u"L3"_s))
                outputs.l3CuttingFile = file.contents;
        }
        const ChamberRoute route = ChamberRoute::trace(templates.development(), {});
        for (const RouteSection& section : route.sections())
            outputs.ends.push_back(section.end.point);
        return outputs;
    }
};

}  // namespace

class BuiltChamberDialogsTest : public DialogFixture {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setUpAll(); }
    void cleanupTestCase() { tearDownAll(); }
    void init()
    {
        setUp();
        typeFastFigures();
        m_form->calculate();
    }
    void cleanup() { tearDown(); }
    void sectionsAreNamedCaptionedAndInTabOrder();
    void sectionsThatMakeNoChamberAreRefused_data();
    void sectionsThatMakeNoChamberAreRefused();
    void aSectionTypedReachesEveryOutput();
    void tunedFromTheWavesDialog();
    void targetsAreRefusedNamingTheField_data();
    void targetsAreRefusedNamingTheField();
    void aTuningOutOfReachChangesNothing();
    void anEditDropsATuning();

private:
    // Opened as the window's menu opens them, whichever dialog has the focus.
    [[nodiscard]] WavesDialog* analysedWaves() const
    {
        m_form->openWaves();
        auto* dialog = shown<WavesDialog>(*m_form);
        QSignalSpy complete(dialog, &WavesDialog::analysisComplete);
        return dialog && (dialog->isComplete() || complete.wait(kAnalysisMs)) ? dialog : nullptr;
    }
    static bool tune(WavesDialog& dialog, const QString& target)
    {
        named<QLineEdit>(dialog, u"Accorda a (giri/min)"_s)->setText(target);
        QSignalSpy finished(&dialog, &WavesDialog::tuningFinished);
        buttonCalled(dialog, u"Accorda la camera"_s)->click();
        return finished.wait(kAnalysisMs);
    }
    // Ctrl+Z typed into the field that screen readers call `name`, its dialog the active window.
    static void undoIn(QDialog& dialog, const QString& name)
    {
        // The shortcut goes to the window with the keyboard's focus, which under Windows may still be
        // another for a while after the dialog is told to be active.
        const auto hasFocus = [&] { return QGuiApplication::focusWindow() == dialog.windowHandle(); };
        if (!hasFocus()) {
            dialog.activateWindow();
            QVERIFY(QTest::qWaitFor(hasFocus));
        }
        QLineEdit* field = named<QLineEdit>(dialog, name);
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
    }
    [[nodiscard]] ChamberSource source() const { return m_form->chamberFigures()->chamber.source(); }
};

void BuiltChamberDialogsTest::sectionsAreNamedCaptionedAndInTabOrder()
{
    ChamberConstructionDialog* dialog = openDialog();
    QVERIFY(dialog);
    QGroupBox* group = nullptr;
    for (QGroupBox* box : dialog->findChildren<QGroupBox*>()) {
        if (box->title() == u"Sezioni (mm)"_s)
            group = box;
    }
    QVERIFY(group);
    const ChamberDimensions window = m_form->chamberFigures()->chamber.window();
    QWidget* previous = nullptr;
    for (std::size_t i = 0; i < kSectionFigures.size(); ++i) {
        const QString name = QString::fromUtf8(kSectionFigures[i].name.data(), qsizetype(kSectionFigures[i].name.size()));
        auto* field = qobject_cast<QLineEdit*>(fieldCaptioned(*group, name));
        QVERIFY2(field && field->parent() == group, qPrintable(name));
        QVERIFY(field->accessibleName().startsWith(name) && field->accessibleName().endsWith(u"(mm)"_s));
        const QString written = QString::fromStdString(formatRounded(window.*kSectionFigures[i].value, DecimalPlaces(4)));
        QCOMPARE(field->text(), written);
        QCOMPARE(field->toolTip(), u"Nella finestra %1 mm"_s.arg(written));
        if (previous)
            QCOMPARE(previous->nextInFocusChain(), field);
        previous = field;
    }
    QCOMPARE(named<QLineEdit>(*dialog, kL3Name.toString()), fieldCaptioned(*group, u"L3"_s));
    QPushButton* followWindow = buttonCalled(*group, u"Come la finestra"_s);
    QCOMPARE(previous->nextInFocusChain(), followWindow);
    QVERIFY(!followWindow->isEnabled());
    QVERIFY(named<QLabel>(*group, u"Quale camera si costruisce"_s)->text() == u"Camera della finestra"_s);
}

void BuiltChamberDialogsTest::sectionsThatMakeNoChamberAreRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("a negative length") << kL3Name.toString() << u"-5"_s
                                       << u"\"L3 secondo cono divergente (mm)\" non può essere negativo: 0 lascia fuori il tratto."_s;
    QTest::newRow("no outlet") << u"D4 diametro interno (mm)"_s << u"0"_s
                               << u"\"D4 diametro interno (mm)\" deve essere maggiore di zero."_s;
    QTest::newRow("not a number") << u"D2 diametro interno (mm)"_s << u"4x"_s
                                  << u"Il valore di \"D2 diametro interno (mm)\" non è un numero."_s;
    // A cone of no length has no sector to lay flat.
    QTest::newRow("a cone of no length") << kL3Name.toString() << u"0"_s
                                         << u"Con \"L3 secondo cono divergente (mm)\" a 0 mm il cono L3 non ha uno sviluppo"_s;
}

void BuiltChamberDialogsTest::sectionsThatMakeNoChamberAreRefused()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, message);
    ChamberConstructionDialog* dialog = openDialog();
    QVERIFY(dialog);
    const ChamberDimensions before = m_form->chamberFigures()->chamber.dimensions();
    auto* field = named<QLineEdit>(*dialog, name);
    field->setFocus();
    field->setText(text);
    QTest::keyClick(field, Qt::Key_Return);
    QMessageBox* box = shown<QMessageBox>(*dialog);
    QVERIFY(box);
    QVERIFY2(box->text().startsWith(message), qPrintable(box->text()));
    box->accept();
    QVERIFY(QTest::qWaitFor([&] { return dialog->focusWidget() == field; }));
    QVERIFY(m_form->chamberFigures()->chamber.dimensions() == before);
    QCOMPARE(source(), ChamberSource::Window);
}

void BuiltChamberDialogsTest::aSectionTypedReachesEveryOutput()
{
    ChamberConstructionDialog* dialog = openDialog();
    QVERIFY(dialog);
    const QString windowL3 = m_form->textField(u"Text7"_s)->text();
    const Outputs window = Outputs::of(*m_form->chamberFigures());
    const double windowDuct = window.ends.back().x;

    named<QLineEdit>(*dialog, kL3Name.toString())->setText(u"120,5"_s);
    QCOMPARE(source(), ChamberSource::ByHand);
    const Outputs typed = Outputs::of(*m_form->chamberFigures());
    QCOMPARE(typed.l3PatternLength, 120.5);
    QVERIFY(typed.l3CuttingFile != window.l3CuttingFile);
    QCOMPARE(typed.ends[1].x, window.ends[1].x);
    QVERIFY(std::abs(typed.ends[2].x - window.ends[2].x - (120.5 - window.l3PatternLength)) < 1e-9);
    QVERIFY(named<QLabel>(*dialog, u"Quale camera si costruisce"_s)->text().contains(u"L3"_s));

    // Back to the window's with "Come la finestra", and to the typed section with Ctrl+Z.
    buttonCalled(*dialog, u"Come la finestra"_s)->click();
    QCOMPARE(source(), ChamberSource::Window);
    QCOMPARE(Outputs::of(*m_form->chamberFigures()).l3CuttingFile, window.l3CuttingFile);
    undoIn(*dialog, u"L1 collettore (mm)"_s);
    QCOMPARE(source(), ChamberSource::ByHand);
    QCOMPARE(Outputs::of(*m_form->chamberFigures()).l3PatternLength, 120.5);
    QCOMPARE(named<QLineEdit>(*dialog, kL3Name.toString())->text(), u"120,5"_s);
    QCOMPARE(m_form->textField(u"Text7"_s)->text(), windowL3);

    // The waves' duct is the chamber as built, and follows it.
    WavesDialog* waves = analysedWaves();
    QVERIFY(waves);
    QVERIFY(std::abs(waves->setup()->duct.lengthMm() - (windowDuct + 120.5 - window.l3PatternLength)) < 1e-9);
    buttonCalled(*dialog, u"Come la finestra"_s)->click();
    QVERIFY(std::abs(waves->setup()->duct.lengthMm() - windowDuct) < 1e-9);

    // "Calcola" with other figures keeps a chamber typed, and says the window's have changed.
    named<QLineEdit>(*dialog, kL3Name.toString())->setText(u"130"_s);
    m_form->textField(u"Text4"_s)->setText(u"22"_s);
    m_form->calculate();
    QCOMPARE(Outputs::of(*m_form->chamberFigures()).l3PatternLength, 130.0);
    QVERIFY(named<QLabel>(*dialog, u"Quale camera si costruisce"_s)->text().contains(u"cambiati da allora"_s));
}

void BuiltChamberDialogsTest::tunedFromTheWavesDialog()
{
    WavesDialog* waves = analysedWaves();
    QVERIFY(waves);
    const std::vector<FileToSave> before = *waves->csvFiles();
    const ChamberDimensions window = m_form->chamberFigures()->chamber.dimensions();
    QVERIFY(tune(*waves, u"9000"_s));
    const BuiltChamber tuned = m_form->chamberFigures()->chamber;
    QCOMPARE(tuned.source(), ChamberSource::Tuned);
    QCOMPARE(tuned.tuning()->targetRpm, 9000.0);
    QVERIFY(tuned.tuning()->parabolaRpm && std::abs(*tuned.tuning()->parabolaRpm - 9000) <= waves::kTuningToleranceRpm);
    QCOMPARE(tuned.dimensions().L3, window.L3 * tuned.tuning()->factor);
    QCOMPARE(tuned.dimensions().L6, window.L6);
    QVERIFY(named<QLabel>(*waves, u"Esito dell'accordatura"_s)->text().startsWith(u"Camera accordata a 9\u00A0000 giri/min"_s));

    // The tuned chamber's band, with the one before in two more columns.
    QSignalSpy complete(waves, &WavesDialog::analysisComplete);
    QVERIFY(waves->isComplete() || complete.wait(kAnalysisMs));
    const QString band = QString::fromUtf8(waves->csvFiles()->at(1).contents);
    QVERIFY(band.contains(u"Tappo, camera di prima (bar)"_s));
    const QString beforeBand = QString::fromUtf8(before[1].contents);
    const QString firstRow = beforeBand.split(u"\r\n"_s).at(1);
    QVERIFY2(band.split(u"\r\n"_s).at(1).endsWith(firstRow.section(u';', 1)), qPrintable(band.split(u"\r\n"_s).at(1)));
    QVERIFY(waves->csvFiles()->at(1).contents != before[1].contents);

    // One Ctrl+Z in the waves' dialog puts back the window's chamber, and its band alone.
    undoIn(*waves, u"Accorda a (giri/min)"_s);
    QCOMPARE(source(), ChamberSource::Window);
    QVERIFY(waves->isComplete() || complete.wait(kAnalysisMs));
    QCOMPARE(waves->csvFiles()->at(1).contents, before[1].contents);

    // Tuned again, the construction dialog shows the tuned chamber; one Ctrl+Z there puts back the window's.
    QVERIFY(tune(*waves, u"9000"_s));
    QCOMPARE(source(), ChamberSource::Tuned);
    waves->reject();
    m_form->openChamberConstruction();
    auto* dialog = shown<ChamberConstructionDialog>(*m_form);
    QVERIFY(dialog);
    QVERIFY(named<QLabel>(*dialog, u"Quale camera si costruisce"_s)->text().startsWith(u"Camera accordata a 9\u00A0000"_s));
    undoIn(*dialog, kL3Name.toString());
    QCOMPARE(source(), ChamberSource::Window);
    QVERIFY(m_form->chamberFigures()->chamber.dimensions() == window);
}

void BuiltChamberDialogsTest::targetsAreRefusedNamingTheField_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("message");
    QTest::newRow("below the analysis's speeds") << u"900"_s
                                                 << u"\"Accorda a (giri/min)\" deve essere tra 1\u00A0000 e 40\u00A0000"_s;
    QTest::newRow("above them") << u"45.000"_s << u"\"Accorda a (giri/min)\" deve essere tra 1\u00A0000 e 40\u00A0000"_s;
    QTest::newRow("not a number") << u"12,5x"_s << u"Il valore di \"Accorda a (giri/min)\" non è un numero."_s;
}

void BuiltChamberDialogsTest::targetsAreRefusedNamingTheField()
{
    QFETCH(QString, target);
    QFETCH(QString, message);
    WavesDialog* waves = analysedWaves();
    QVERIFY(waves);
    auto* field = named<QLineEdit>(*waves, u"Accorda a (giri/min)"_s);
    field->setText(target);
    buttonCalled(*waves, u"Accorda la camera"_s)->click();
    QVERIFY(!waves->isTuning());
    QMessageBox* box = shown<QMessageBox>(*waves);
    QVERIFY(box);
    QVERIFY2(box->text().startsWith(message), qPrintable(box->text()));
    box->accept();
    QVERIFY(QTest::qWaitFor([&] { return waves->focusWidget() == field; }));
    QCOMPARE(source(), ChamberSource::Window);
}

void BuiltChamberDialogsTest::aTuningOutOfReachChangesNothing()
{
    WavesDialog* waves = analysedWaves();
    QVERIFY(waves);
    const ChamberDimensions window = m_form->chamberFigures()->chamber.dimensions();
    QVERIFY(tune(*waves, u"40000"_s));
    QCOMPARE(source(), ChamberSource::Window);
    QVERIFY(m_form->chamberFigures()->chamber.dimensions() == window);
    const QString said = named<QLabel>(*waves, u"Esito dell'accordatura"_s)->text();
    QVERIFY2(said.startsWith(u"Nessun fattore tra 0,5 e 2 accorda la camera a 40\u00A0000 giri/min"_s), qPrintable(said));
    QVERIFY(said.contains(u"Il più vicino trovato: accordata a"_s) && said.endsWith(u"La camera non è cambiata."_s));
}

void BuiltChamberDialogsTest::anEditDropsATuning()
{
    WavesDialog* waves = analysedWaves();
    QVERIFY(waves);
    named<QLineEdit>(*waves, u"Accorda a (giri/min)"_s)->setText(u"9000"_s);
    QSignalSpy finished(waves, &WavesDialog::tuningFinished);
    buttonCalled(*waves, u"Accorda la camera"_s)->click();
    QVERIFY(waves->isTuning());
    named<QLineEdit>(*waves, rowFor(kEngineFields, &waves::EngineFigures::boreMm).name.toString())->setText(u"41"_s);
    QVERIFY(QTest::qWaitFor([&] { return !waves->isTuning(); }));
    QTest::qWait(3000);
    QVERIFY(finished.isEmpty());
    QCOMPARE(source(), ChamberSource::Window);
    QCOMPARE(named<QLabel>(*waves, u"Esito dell'accordatura"_s)->text(), u"Accordatura interrotta: i dati sono cambiati."_s);
}

QTEST_MAIN(BuiltChamberDialogsTest)
#include "tst_builtchamber_dialogs.moc"
