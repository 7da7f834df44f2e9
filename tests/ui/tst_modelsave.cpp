// "Salva modello 3D…" as a tuner uses it: the folder asked for where the cutting files' is, the
// two files written as the model makes them for the bends typed, the message saying what each is,
// files of the same names replaced only when the user says so, and the refusals that name what
// to mend.
#include "DialogFixture.h"
#include "cutfiles/ModelFiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace scaricometro;
using namespace Qt::StringLiterals;

class ModelSaveTest : public DialogFixture {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setUpAll(); }
    void cleanupTestCase() { tearDownAll(); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }
    void savesTheModel_data();
    void savesTheModel();
    void refuses_data();
    void refuses();

private:
    static void type(const QWidget& dialog, const QString& field, const QString& text);
};

void ModelSaveTest::type(const QWidget& dialog, const QString& field, const QString& text)
{
    auto* line = named<QLineEdit>(dialog, field);
    QVERIFY2(line, qPrintable(field));
    line->setText(text);
}

void ModelSaveTest::savesTheModel_data()
{
    QTest::addColumn<bool>("open");
    QTest::addColumn<QString>("before");  // a file, or with a "/" a folder, already there
    QTest::addColumn<QString>("answer");  // to the question whether to replace it
    QTest::addColumn<bool>("saved");

    const QString model = kModelFileName.toString();
    const QString line = kCentreLineFileName.toString();
    QTest::newRow("saved, the folder opened") << true << QString() << QString() << true;
    QTest::newRow("saved, not opened") << false << QString() << QString() << true;
    QTest::newRow("replacing, as asked") << true << line << u"Sostituisci"_s << true;
    QTest::newRow("replacing refused") << true << model << u"Annulla"_s << false;
    QTest::newRow("a folder where the model goes") << true << model + u'/' << QString() << false;
}

// With L3 bent 30° towards the viewer in 4 pieces and 1,5 mm sheet: the files are the model's of
// that chamber, byte for byte.
void ModelSaveTest::savesTheModel()
{
    QFETCH(bool, open);
    QFETCH(QString, before);
    QFETCH(QString, answer);
    QFETCH(bool, saved);

    const QTemporaryDir root;
    const QDir folder(root.filePath(u"Niccolò"_s));
    QVERIFY(folder.mkpath(u"."_s));
    if (before.endsWith(u'/')) {
        QVERIFY(folder.mkdir(before));
    } else if (!before.isEmpty()) {
        QFile old(folder.filePath(before));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    }
    const QStringList untouched = folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

    ChamberConstructionDialog* dialog = openDialog();
    QVERIFY(dialog);
    auto* thickness = qobject_cast<QLineEdit*>(fieldCaptioned(*dialog, u"Spessore lamiera (mm)"_s));
    QVERIFY(thickness);
    thickness->setText(u"1,5"_s);
    type(*dialog, u"Curva L3 (gradi)"_s, u"30"_s);
    type(*dialog, u"Piano L3 (gradi)"_s, u"90"_s);
    dialog->findChild<QCheckBox*>()->setChecked(open);
    buttonCalled(*dialog, u"Salva modello 3D…"_s)->click();
    auto* folders = shown<QFileDialog>(*dialog);
    QVERIFY(folders);
    QCOMPARE(folders->fileMode(), QFileDialog::Directory);
    QCOMPARE(QDir(folders->directory()), ChamberConstructionDialog::suggestedFolder());
    Q_EMIT folders->fileSelected(folder.path());
    folders->close();
    if (!answer.isEmpty()) {
        QMessageBox* question = shown<QMessageBox>(*dialog);
        QVERIFY(question && question->text().contains(before));
        buttonCalled(*question, answer)->click();
    }

    QMessageBox* message = shown<QMessageBox>(*m_form);
    if (!saved) {
        if (answer.isEmpty())
            QVERIFY(message && message->text().startsWith(u"Impossibile salvare"_s));
        QCOMPARE(folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), untouched);
        QVERIFY(m_opened.isEmpty());
        return;
    }
    const ChamberDimensions dimensions = m_form->chamberFigures()->chamber.dimensions();
    ChamberBends bends{};
    bends[2] = {30, 4, 90};
    const ChamberRoute route = ChamberRoute::trace(std::get<ChamberDevelopment>(developChamber(dimensions, 1.5)), bends);
    const ChamberMesh mesh = ChamberMesh::faceted(route);
    for (const FileToSave& expected : modelFiles(route, mesh)) {
        QFile file(folder.filePath(expected.name));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(expected.name));
        QVERIFY(file.readAll() == expected.contents);
        QVERIFY2(message && message->text().contains(expected.name + u": "_s), qPrintable(message ? message->text() : QString()));
    }
    QVERIFY(message->text().contains(u"%1 triangoli"_s.arg(mesh.triangles().size())));
    QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden).size(), 2);
    QCOMPARE(m_opened, open ? QList<QUrl>{QUrl::fromLocalFile(folder.path())} : QList<QUrl>{});
    QVERIFY(dialog->isVisible());
}

void ModelSaveTest::refuses_data()
{
    QTest::addColumn<QString>("thickness");
    QTest::addColumn<QString>("degrees");  // L1's
    QTest::addColumn<int>("pieces");
    QTest::addColumn<QString>("message");  // its beginning
    QTest::addColumn<QString>("toMend");   // the field the focus goes back to

    QTest::newRow("no sheet") << u"0"_s << u"0"_s << 4
                              << u"Con uno spessore di 0 mm la camera non ha pareti da modellare"_s
                              << u"Spessore lamiera (mm)"_s;
    QTest::newRow("a thickness in letters") << u"uno"_s << u"0"_s << 4
                                            << u"Il valore di \"Spessore lamiera (mm)\" non è un numero."_s
                                            << u"Spessore lamiera (mm)"_s;
    QTest::newRow("cuts that cross") << u"1"_s << u"170"_s << 2
                                     << u"Con una curva di 170° in 2 pezzi i tagli del tratto L1"_s
                                     << u"Curva L1 (gradi)"_s;
}

void ModelSaveTest::refuses()
{
    QFETCH(QString, thickness);
    QFETCH(QString, degrees);
    QFETCH(int, pieces);
    QFETCH(QString, message);
    QFETCH(QString, toMend);

    ChamberConstructionDialog* dialog = openDialog();
    QVERIFY(dialog);
    qobject_cast<QLineEdit*>(fieldCaptioned(*dialog, u"Spessore lamiera (mm)"_s))->setText(thickness);
    type(*dialog, u"Curva L1 (gradi)"_s, degrees);
    named<QSpinBox>(*dialog, u"Pezzi L1"_s)->setValue(pieces);
    buttonCalled(*dialog, u"Salva modello 3D…"_s)->click();
    QVERIFY(!shown<QFileDialog>(*dialog));
    QMessageBox* box = shown<QMessageBox>(*dialog);
    QVERIFY(box);
    QVERIFY2(box->text().startsWith(message), qPrintable(box->text()));
    box->accept();
    QWidget* expected = toMend.startsWith(u"Spessore"_s) ? fieldCaptioned(*dialog, toMend) : named<QLineEdit>(*dialog, toMend);
    QCOMPARE(dialog->focusWidget(), expected);
}

QTEST_MAIN(ModelSaveTest)
#include "tst_modelsave.moc"
