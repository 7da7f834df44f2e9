// Reaching the chamber's construction from the window: Ctrl+P and the background's menu, the
// inputs read as "Calcola" reads them but never written, the dialog's preview, its refusals and
// saves, and what it keeps between one opening and the next.
#include "DialogFixture.h"
#include "model/ChamberRoute.h"
#include "model/NumberText.h"
#include "ui/ChamberConstructionDialog.h"
#include "ui/ChamberPreview.h"
#include "ui/Form1.h"

#include <QAction>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QCryptographicHash>
#include <QFileDialog>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <QUrl>

#include <memory>

using namespace scaricometro;
using namespace Qt::StringLiterals;

namespace {

// The SHA-256 of the default chamber's six cutting files as they were before sections could be
// bent: each file's name, a line feed and its bytes, in the order of their names.
constexpr char kStraightFilesSha256[] = "1ed171a50d789df0e1a1fe11d8b6f1e16191e5954c84ce4ffa3937c5a1ea4070";

const QStringList kFieldNames{u"Text1"_s, u"Text2"_s, u"Text3"_s, u"Text4"_s, u"Text15"_s, u"Text5"_s, u"Text16"_s};

QStringList fieldTexts(const Form1& form)
{
    QStringList texts;
    for (const QString& name : kFieldNames)
        texts.append(form.textField(name)->text());
    return texts;
}

}  // namespace

class ChamberConstructionDialogTest : public DialogFixture {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setUpAll(); }
    void cleanupTestCase() { tearDownAll(); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }
    void unreadableInputOpensNoDialog_data();
    void unreadableInputOpensNoDialog();
    void readsInputsWithoutWritingThem();
    void reachedFromTheBackgroundMenu();
    void drawingTellsHow();
    void refuses_data();
    void refuses();
    void savesAndOpens_data();
    void savesAndOpens();
    void saysWhereWithoutAViewer();
    void qtsOwnTextsAreItalian();
    void savesCuttingFiles_data();
    void savesCuttingFiles();
    void bendsHaveARowEachSection();
    void refusesBends_data();
    void refusesBends();
    void straightBendsChangeNothing();
    void keepsWhatWasTyped();
    void previewShowsTheChamber_data();
    void previewShowsTheChamber();
    void fitsASmallScreen();

private:
    QFileDialog* chooseFolder(ChamberConstructionDialog* dialog);
    void saveAs(ChamberConstructionDialog* dialog, const QString& path, bool folderRemoved);
};

void ChamberConstructionDialogTest::saveAs(ChamberConstructionDialog* dialog, const QString& path, bool folderRemoved)
{
    buttonCalled(*dialog, u"Salva PDF…"_s)->click();
    auto* files = shown<QFileDialog>(*dialog);
    QVERIFY(files);
    const QFileInfo suggested(files->selectedFiles().value(0));
    QCOMPARE(suggested.fileName(), u"scaricometro-sagome.pdf"_s);
    QVERIFY2(suggested.dir().exists(), qPrintable(suggested.filePath()));
    files->selectFile(path);
    // A folder chosen in the file dialog may be gone by the time the file is written.
    if (folderRemoved)
        QDir(QFileInfo(path).path()).removeRecursively();
    static_cast<QDialog*>(files)->accept();  // as the dialog's own button does
}

void ChamberConstructionDialogTest::unreadableInputOpensNoDialog_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    for (const auto& [field, caption] : {std::pair{u"Text1"_s, u"Gradi Scarico"_s}, {u"Text2"_s, u"Velocità onda sonica"_s},
                                         {u"Text4"_s, u"Corsa motore"_s}, {u"Text15"_s, u"diam.interno collettore scarico"_s}}) {
        QTest::newRow(qPrintable(field)) << field << u"3x"_s
                                         << u"Il valore di \"%1\" non è un numero.\nUsare solo cifre, con la virgola "
                                            u"per i decimali: per esempio 39,3."_s.arg(caption);
    }
    QTest::newRow("rpm 0") << u"Text3"_s << u"0"_s << u"\"Giri/min massimi\" deve essere un numero diverso da zero."_s;
}

void ChamberConstructionDialogTest::unreadableInputOpensNoDialog()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, message);

    m_form->textField(field)->setText(text);
    QVERIFY(!openDialog());
    QMessageBox* box = shown<QMessageBox>(*m_form);
    QVERIFY(box);
    QCOMPARE(box->text(), message);
    QCOMPARE(QApplication::focusWidget(), m_form->textField(field));
}

void ChamberConstructionDialogTest::readsInputsWithoutWritingThem()
{
    m_form->textField(u"Text4"_s)->setText(u"41.5"_s);
    m_form->textField(u"Text15"_s)->setText(u"29.5"_s);
    const QStringList before = fieldTexts(*m_form);
    const ChamberConstructionDialog* dialog = openDialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->windowModality(), Qt::WindowModal);
    QCOMPARE(fieldTexts(*m_form), before);
    QVERIFY(!shown<QMessageBox>(*m_form));
}

void ChamberConstructionDialogTest::reachedFromTheBackgroundMenu()
{
    for (const QPoint& at : {QPoint(660, 480), QPoint(200, 205), m_form->textField(u"Text8"_s)->geometry().center()}) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, m_form->mapToGlobal(at));
        QApplication::sendEvent(m_form->childAt(at) ? m_form->childAt(at) : m_form.get(), &event);
        QMenu* menu = shown<QMenu>(*m_form);
        QVERIFY(menu);
        if (m_form->childAt(at)) {
            QVERIFY2(menu->actions().size() > 1, "a field keeps its own menu");
            menu->close();
            continue;
        }
        QCOMPARE(menu->actions().size(), 2);
        QCOMPARE(menu->actions().front()->text(), u"Costruzione della camera…"_s);
        menu->actions().front()->trigger();
        menu->close();
        QVERIFY(shown<ChamberConstructionDialog>(*m_form));
        shown<ChamberConstructionDialog>(*m_form)->reject();
    }
}

void ChamberConstructionDialogTest::drawingTellsHow()
{
    const QPoint onTheDrawing(300, 200);
    QHelpEvent help(QEvent::ToolTip, onTheDrawing, m_form->mapToGlobal(onTheDrawing));
    QApplication::sendEvent(m_form.get(), &help);
    QVERIFY(QToolTip::text().contains(u"Ctrl+P"_s));
    QVERIFY(QToolTip::text().contains(u"tasto destro"_s));
}

void ChamberConstructionDialogTest::refuses_data()
{
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("thickness");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("thicknessToMend");

    const QString notANumber = u"Il valore di \"Spessore lamiera (mm)\" non è un numero.\nUsare solo cifre, con la "
                               u"virgola per i decimali: per esempio 1,5."_s;
    QTest::newRow("letters") << u"29"_s << u"uno"_s << notANumber << true;
    QTest::newRow("empty") << u"29"_s << QString() << notANumber << true;
    QTest::newRow("negative") << u"29"_s << u"-0,5"_s << u"\"Spessore lamiera (mm)\" non può essere negativo."_s
                              << true;
    QTest::newRow("thickness swamps a cone")
        << u"0,00000000000000000001"_s << u"1"_s
        << u"Con uno spessore di 1 mm il cono L2 non ha uno sviluppo: i suoi diametri medi coincidono, o i numeri "
           u"escono dall'intervallo che il programma sa trattare."_s
        << true;
    QTest::newRow("no header") << u"0"_s << u"1"_s
                               << u"Con un diametro interno del collettore di 0 mm non c'è nessun cono da "
                                  u"sviluppare: il diametro deve essere maggiore di zero."_s
                               << false;
    QTest::newRow("too large to print") << u"2000"_s << u"1"_s
                                        << u"La sagoma del cono L2 richiederebbe più di 100 fogli A4.\nScegliere un "
                                           u"foglio più grande, o 2 pezzi per cono."_s
                                        << false;
}

void ChamberConstructionDialogTest::refuses()
{
    QFETCH(QString, header);
    QFETCH(QString, thickness);
    QFETCH(QString, message);
    QFETCH(bool, thicknessToMend);

    m_form->textField(u"Text15"_s)->setText(header);
    ChamberConstructionDialog* dialog = openDialog();
    QVERIFY(dialog);
    auto* field = dialog->findChild<QLineEdit*>();
    field->setText(thickness);
    buttonCalled(*dialog, u"Salva PDF…"_s)->click();
    QVERIFY(!shown<QFileDialog>(*dialog));
    QMessageBox* box = shown<QMessageBox>(*dialog);
    QVERIFY(box);
    QCOMPARE(box->text(), message);
    if (thicknessToMend)
        QCOMPARE(dialog->focusWidget(), field);
}

void ChamberConstructionDialogTest::savesAndOpens_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("open");
    QTest::addColumn<bool>("saved");

    QTest::newRow("saved and opened") << u"sagome.pdf"_s << true << true;
    QTest::newRow("saved, not opened") << u"Niccolò/sagome 1.5.pdf"_s << false << true;
    QTest::newRow("a folder that is gone") << u"gone/sagome.pdf"_s << true << false;
}

void ChamberConstructionDialogTest::savesAndOpens()
{
    QFETCH(QString, name);
    QFETCH(bool, open);
    QFETCH(bool, saved);
    if (!saved && QGuiApplication::platformName() == u"windows"_s)
        QSKIP("Under Wine, a folder that Qt's file dialog shows cannot be removed while it is open");

    const QTemporaryDir folder;
    const QString path = folder.filePath(name);
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    ChamberConstructionDialog* dialog = openDialog();
    QVERIFY(dialog);
    dialog->findChild<QLineEdit*>()->setText(u"1.5"_s);
    dialog->findChild<QCheckBox*>()->setChecked(open);
    saveAs(dialog, path, !saved);

    QCOMPARE(QFileInfo::exists(path), saved);
    if (saved) {
        QVERIFY2(dialog->isVisible(), "the dialog stays open for the other files");
        QCOMPARE(m_opened, open ? QList<QUrl>{QUrl::fromLocalFile(path)} : QList<QUrl>{});
        QFile pdf(path);
        QVERIFY(pdf.open(QIODevice::ReadOnly) && pdf.read(5) == "%PDF-");
    } else {
        QMessageBox* box = shown<QMessageBox>(*dialog);
        QVERIFY(box);
        QVERIFY2(box->text().startsWith(u"Impossibile salvare \"%1\""_s.arg(QDir::toNativeSeparators(path))),
                 qPrintable(box->text()));
        QVERIFY(m_opened.isEmpty());
    }
}

// With no viewer to start, as on a bare X server, the message says where the PDF is.
void ChamberConstructionDialogTest::saysWhereWithoutAViewer()
{
    if (QGuiApplication::platformName() == u"windows"_s)
        QSKIP("The Windows shell always has something to open a file with, Wine's included");
    QDesktopServices::unsetUrlHandler(u"file"_s);
    const auto restore = qScopeGuard([this] { QDesktopServices::setUrlHandler(u"file"_s, this, "recordOpened"); });
    const QTemporaryDir folder;
    const QString path = folder.filePath(u"sagome.pdf"_s);
    saveAs(openDialog(), path, false);
    QVERIFY(QFileInfo::exists(path));
    QMessageBox* box = shown<QMessageBox>(*m_form);
    QVERIFY2(box && box->text().contains(QDir::toNativeSeparators(path)), qPrintable(box ? box->text() : QString()));
}

QFileDialog* ChamberConstructionDialogTest::chooseFolder(ChamberConstructionDialog* dialog)
{
    buttonCalled(*dialog, u"Salva DXF…"_s)->click();
    auto* folders = shown<QFileDialog>(*dialog);
    if (folders && folders->fileMode() == QFileDialog::Directory
        && QDir(folders->directory()) == ChamberConstructionDialog::suggestedFolder())
        return folders;
    return nullptr;
}

// Qt's own file dialog, where the desktop has none, speaks Italian to its column headings.
void ChamberConstructionDialogTest::qtsOwnTextsAreItalian()
{
    ChamberConstructionDialog* dialog = openDialog();
    QFileDialog* folders = chooseFolder(dialog);
    QVERIFY(folders);
    const auto* view = folders->findChild<QAbstractItemView*>(u"treeView"_s);
    QVERIFY(view);
    QStringList headings;
    for (int column = 0; column < view->model()->columnCount(); ++column)
        headings.append(view->model()->headerData(column, Qt::Horizontal).toString());
    QCOMPARE(headings, QStringList({u"Nome"_s, u"Dimensione"_s, u"Tipo"_s, u"Data di modifica"_s}));
    folders->reject();
}

void ChamberConstructionDialogTest::savesCuttingFiles_data()
{
    QTest::addColumn<int>("pieces");
    QTest::addColumn<bool>("open");
    QTest::addColumn<QString>("before");  // a file, or with a "/" a folder, already there
    QTest::addColumn<QString>("answer");  // to the question whether to replace it
    QTest::addColumn<bool>("folderRemoved");
    QTest::addColumn<QString>("fault");   // the file named in the message, where nothing is saved

    const QString header = u"scaricometro-L1-collettore.dxf"_s;
    const QString cone = u"scaricometro-L3-secondo-cono-divergente.dxf"_s;
    QTest::newRow("saved, the folder opened") << 1 << true << QString() << QString() << false << QString();
    QTest::newRow("halves, not opened") << 2 << false << QString() << QString() << false << QString();
    QTest::newRow("replacing, as asked") << 1 << false << header << u"Sostituisci"_s << false << QString();
    QTest::newRow("replacing refused") << 1 << false << header << u"Annulla"_s << false << QString();
    QTest::newRow("the folder gone") << 1 << true << QString() << QString() << true << header;
    QTest::newRow("a folder where a file goes") << 1 << true << cone + u'/' << QString() << false << cone;
}

void ChamberConstructionDialogTest::savesCuttingFiles()
{
    QFETCH(int, pieces);
    QFETCH(bool, open);
    QFETCH(QString, before);
    QFETCH(QString, answer);
    QFETCH(bool, folderRemoved);
    QFETCH(QString, fault);
    if (folderRemoved && QGuiApplication::platformName() == u"windows"_s)
        QSKIP("Under Wine, a folder that Qt's file dialog shows cannot be removed while it is open");

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
    qobject_cast<QComboBox*>(fieldCaptioned(*dialog, u"Pezzi per cono:"_s))->setCurrentIndex(pieces - 1);
    dialog->findChild<QCheckBox*>()->setChecked(open);
    QFileDialog* folders = chooseFolder(dialog);
    QVERIFY(folders);
    folders->setDirectory(folder);
    if (folderRemoved)
        QVERIFY(QDir(folder).removeRecursively());
    Q_EMIT folders->fileSelected(folder.path());  // as its own button does, folders->accept()
    folders->close();

    if (!answer.isEmpty()) {
        QMessageBox* question = shown<QMessageBox>(*dialog);
        QVERIFY(question);
        QVERIFY2(question->text().contains(before), qPrintable(question->text()));
        QPushButton* button = buttonCalled(*question, answer);
        QVERIFY(button);
        button->click();
    }
    QMessageBox* message = shown<QMessageBox>(*m_form);
    if (!fault.isEmpty() || answer == u"Annulla"_s) {
        if (!fault.isEmpty()) {
            QVERIFY(message);
            QVERIFY2(message->text().startsWith(u"Impossibile salvare \"%1\""_s.arg(QDir::toNativeSeparators(folder.filePath(fault)))),
                     qPrintable(message->text()));
        }
        QCOMPARE(folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), folderRemoved ? QStringList() : untouched);
        QVERIFY(m_opened.isEmpty());
        return;
    }
    const QStringList saved = folder.entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(saved.size(), 6);
    for (const QString& name : saved) {
        QVERIFY2(name.endsWith(pieces > 1 && name.contains(u"cono"_s) ? u"-tagliarne-2.dxf"_s : u".dxf"_s), qPrintable(name));
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll().contains("TAGLIO"));
        QVERIFY2(message && message->text().contains(name + (name.contains(u"cono"_s) && pieces > 1 ? u": tagliarne 2 pezzi"_s : u": tagliarne 1 pezzo"_s)),
                 qPrintable(message ? message->text() : name));
    }
    QCOMPARE(m_opened, open ? QList<QUrl>{QUrl::fromLocalFile(folder.path())} : QList<QUrl>{});
}

// A row a section: the bend's field captioned for screen readers, 0 at first, its pieces and its
// plane beside it, Tab going from one to the next and on to the next section; the plane is off
// while the section is straight.
void ChamberConstructionDialogTest::bendsHaveARowEachSection()
{
    ChamberConstructionDialog* dialog = openDialog();
    QVERIFY(dialog);
    QGroupBox* group = nullptr;
    for (QGroupBox* box : dialog->findChildren<QGroupBox*>()) {
        if (box->title() == u"Curve"_s)
            group = box;
    }
    QVERIFY(group);
    QWidget* previous = nullptr;
    for (const ChamberSection& section : kChamberSections) {
        const QString label = QString::fromUtf8(section.length.data(), qsizetype(section.length.size()));
        auto* degrees = qobject_cast<QLineEdit*>(
            fieldCaptioned(*dialog, label + u' ' + QString::fromUtf8(section.name.data(), qsizetype(section.name.size()))));
        QVERIFY2(degrees && degrees->parent() == group, qPrintable(label));
        QCOMPARE(degrees->text(), u"0"_s);
        QCOMPARE(degrees->accessibleName(), u"Curva %1 (gradi)"_s.arg(label));
        auto* pieces = named<QSpinBox>(*group, u"Pezzi %1"_s.arg(label));
        QVERIFY(pieces && pieces->minimum() == 2 && pieces->maximum() == 12);
        auto* plane = named<QLineEdit>(*group, u"Piano %1 (gradi)"_s.arg(label));
        QVERIFY(plane && plane->text() == u"0"_s);
        QVERIFY2(!plane->isEnabled(), "a straight section has no plane");
        QVERIFY(plane->toolTip().contains(u"Non conta per un tratto diritto"_s));
        degrees->setText(u"-12,5"_s);
        QVERIFY(plane->isEnabled());
        if (previous) {
            previous->setFocus();
            QTest::keyClick(previous, Qt::Key_Tab);
            QCOMPARE(dialog->focusWidget(), degrees);
        }
        degrees->setFocus();
        QTest::keyClick(degrees, Qt::Key_Tab);
        QCOMPARE(dialog->focusWidget(), pieces);
        QTest::keyClick(pieces, Qt::Key_Tab);
        QCOMPARE(dialog->focusWidget(), plane);
        previous = plane;
    }
}

void ChamberConstructionDialogTest::refusesBends_data()
{
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("degrees");
    QTest::addColumn<int>("pieces");
    QTest::addColumn<QString>("plane");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");  // its beginning
    QTest::addColumn<bool>("planeToMend");

    QTest::newRow("letters") << u"29"_s << u"L3"_s << u"trenta"_s << 4 << u"0"_s << u"Salva PDF…"_s
                             << u"Il valore di \"Curva L3 (gradi)\" non è un numero.\nUsare solo cifre, con la "
                                u"virgola per i decimali: per esempio 30."_s
                             << false;
    QTest::newRow("half a turn") << u"29"_s << u"L5"_s << u"-180"_s << 4 << u"0"_s << u"Salva DXF…"_s
                                 << u"\"Curva L5 (gradi)\" deve essere tra -180 e 180, esclusi."_s << false;
    QTest::newRow("cuts that cross") << u"29"_s << u"L4"_s << u"-20"_s << 12 << u"90"_s << u"Salva PDF…"_s
                                     << u"Con una curva di -20° in 12 pezzi i tagli del tratto L4 (pancia) si "
                                        u"incrociano, o incontrano un'estremità del tratto.\nScegliere meno pezzi o "
                                        u"una curva più piccola."_s
                                     << false;
    QTest::newRow("cuts that cross, for the DXF") << u"29"_s << u"L1"_s << u"170"_s << 2 << u"0"_s << u"Salva DXF…"_s
                                                  << u"Con una curva di 170° in 2 pezzi i tagli del tratto L1"_s << false;
    QTest::newRow("a belly of negative length") << u"60"_s << u"L4"_s << u"10"_s << 2 << u"0"_s << u"Salva PDF…"_s
                                                << u"Il tratto L4 (pancia) ha lunghezza -"_s << false;
    QTest::newRow("a plane in letters") << u"29"_s << u"L2"_s << u"15"_s << 3 << u"novanta"_s << u"Salva PDF…"_s
                                        << u"Il valore di \"Piano L2 (gradi)\" non è un numero.\nUsare solo cifre, "
                                           u"con la virgola per i decimali: per esempio 90."_s
                                        << true;
    QTest::newRow("a plane with an exponent") << u"29"_s << u"L6"_s << u"15"_s << 3 << u"9e1"_s << u"Salva DXF…"_s
                                              << u"Il valore di \"Piano L6 (gradi)\" non è un numero."_s << true;
}

// A bend that cannot be read or made is said, naming the section, and its field is to mend.
void ChamberConstructionDialogTest::refusesBends()
{
    QFETCH(QString, header);
    QFETCH(QString, section);
    QFETCH(QString, degrees);
    QFETCH(int, pieces);
    QFETCH(QString, plane);
    QFETCH(QString, button);
    QFETCH(QString, message);
    QFETCH(bool, planeToMend);

    m_form->textField(u"Text15"_s)->setText(header);
    ChamberConstructionDialog* dialog = openDialog();
    QVERIFY(dialog);
    auto* field = named<QLineEdit>(*dialog, u"Curva %1 (gradi)"_s.arg(section));
    auto* spin = named<QSpinBox>(*dialog, u"Pezzi %1"_s.arg(section));
    auto* planeField = named<QLineEdit>(*dialog, u"Piano %1 (gradi)"_s.arg(section));
    QVERIFY(field && spin && planeField);
    field->setText(degrees);
    spin->setValue(pieces);
    planeField->setText(plane);
    buttonCalled(*dialog, button)->click();
    QVERIFY(!shown<QFileDialog>(*dialog));
    QMessageBox* box = shown<QMessageBox>(*dialog);
    QVERIFY(box);
    QVERIFY2(box->text().startsWith(message), qPrintable(box->text()));
    box->accept();
    QCOMPARE(dialog->focusWidget(), planeToMend ? planeField : field);
}

// Every bend 0, whatever its pieces and its plane: the same cutting files as ever, byte for byte,
// and the same PDF pages, pixel for pixel, as with the bends untouched.
void ChamberConstructionDialogTest::straightBendsChangeNothing()
{
    const QTemporaryDir root;
    const auto straighten = [](ChamberConstructionDialog* dialog, const QString& degrees, int pieces) {
        for (QLineEdit* edit : dialog->findChildren<QLineEdit*>()) {
            if (edit->accessibleName().startsWith(u"Curva"_s))
                edit->setText(degrees);
            // A plane means nothing to a straight section.
            if (edit->accessibleName().startsWith(u"Piano"_s))
                edit->setText(u"45"_s);
        }
        for (QSpinBox* spin : dialog->findChildren<QSpinBox*>())
            spin->setValue(pieces);
        dialog->findChild<QCheckBox*>()->setChecked(false);
    };

    ChamberConstructionDialog* dialog = openDialog();
    QVERIFY(dialog);
    straighten(dialog, u"0,0"_s, 11);
    QFileDialog* folders = chooseFolder(dialog);
    QVERIFY(folders);
    const QDir folder(root.filePath(u"dxf"_s));
    QVERIFY(folder.mkpath(u"."_s));
    Q_EMIT folders->fileSelected(folder.path());
    folders->close();
    QCryptographicHash all(QCryptographicHash::Sha256);
    const QStringList names = folder.entryList(QDir::Files, QDir::Name);
    QCOMPARE(names.size(), 6);
    for (const QString& name : names) {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        all.addData(name.toUtf8() + '\n' + file.readAll());
    }
    QCOMPARE(all.result().toHex(), QByteArray(kStraightFilesSha256));
    QMessageBox* saved = shown<QMessageBox>(*m_form);
    QVERIFY(saved);
    saved->accept();

    if (QGuiApplication::platformName() == u"windows"_s)
        QSKIP("The pages are rendered by poppler, on Linux");
    QList<QImage> untouched;
    for (const bool zeroed : {false, true}) {
        // A new window, whose dialog has never been typed into.
        init();
        dialog = openDialog();
        QVERIFY(dialog);
        if (zeroed)
            straighten(dialog, u"-0"_s, 7);
        else
            dialog->findChild<QCheckBox*>()->setChecked(false);
        const QString stem = zeroed ? u"zeroed"_s : u"untouched"_s;
        saveAs(dialog, root.filePath(stem + u".pdf"_s), false);
        QProcess::execute(u"pdftoppm"_s, {u"-r"_s, u"50"_s, u"-png"_s, root.filePath(stem + u".pdf"_s), root.filePath(stem)});
        QList<QImage> pages;
        for (const QFileInfo& page : QDir(root.path()).entryInfoList({stem + u"-*.png"_s}, QDir::Files, QDir::Name))
            pages.append(QImage(page.filePath()));
        QCOMPARE(pages.size(), 6);
        if (zeroed)
            QVERIFY(pages == untouched);
        untouched = pages;
    }
}

// Saved once, the dialog stays open for the other files, and closed and opened again it shows
// what was left in it, for the figures the window has then.
void ChamberConstructionDialogTest::keepsWhatWasTyped()
{
    ChamberConstructionDialog* dialog = openDialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), u"Costruzione della camera"_s);
    const auto fieldNamed = [&](const QString& name) { return named<QLineEdit>(*dialog, name); };
    dialog->findChild<QLineEdit*>()->setText(u"1,5"_s);
    fieldNamed(u"Curva L3 (gradi)"_s)->setText(u"30"_s);
    fieldNamed(u"Piano L3 (gradi)"_s)->setText(u"90.5"_s);
    named<QSpinBox>(*dialog, u"Pezzi L3"_s)->setValue(5);
    dialog->findChild<QCheckBox*>()->setChecked(false);
    const QTemporaryDir root;
    QFileDialog* folders = chooseFolder(dialog);
    QVERIFY(folders);
    Q_EMIT folders->fileSelected(root.path());
    folders->close();
    QMessageBox* saved = shown<QMessageBox>(*dialog);
    QVERIFY2(saved && saved->text().contains(u"pezzo-5-di-5"_s), qPrintable(saved ? saved->text() : QString()));
    saved->accept();
    QVERIFY(dialog->isVisible());
    saveAs(dialog, root.filePath(u"sagome.pdf"_s), false);
    QVERIFY(QFileInfo(root.filePath(u"sagome.pdf"_s)).size() > 0);
    QVERIFY(dialog->isVisible());
    const QString before = dialog->findChild<ChamberPreview*>()->accessibleDescription();
    dialog->reject();

    m_form->textField(u"Text4"_s)->setText(u"45"_s);
    QCOMPARE(openDialog(), dialog);
    QCOMPARE(dialog->findChild<QLineEdit*>()->text(), u"1,5"_s);
    QCOMPARE(fieldNamed(u"Curva L3 (gradi)"_s)->text(), u"30"_s);
    QCOMPARE(fieldNamed(u"Piano L3 (gradi)"_s)->text(), u"90.5"_s);
    QCOMPARE(named<QSpinBox>(*dialog, u"Pezzi L3"_s)->value(), 5);
    QVERIFY(!dialog->findChild<QCheckBox*>()->isChecked());
    QVERIFY2(dialog->findChild<ChamberPreview*>()->accessibleDescription() != before, "the stroke changed the chamber");
}

void ChamberConstructionDialogTest::previewShowsTheChamber_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("degrees");
    QTest::addColumn<int>("pieces");
    QTest::addColumn<QString>("plane");
    QTest::addColumn<QString>("reason");  // under the views, where the bend is refused

    QTest::newRow("straight") << u"L1"_s << u"0"_s << 4 << u"0"_s << QString();
    QTest::newRow("bent towards the viewer") << u"L3"_s << u"30"_s << 4 << u"90"_s << QString();
    QTest::newRow("bent down and away") << u"L5"_s << u"-25,5"_s << 6 << u"-60"_s << QString();
    QTest::newRow("cuts that cross") << u"L4"_s << u"-20"_s << 12 << u"0"_s
                                     << u"Con una curva di -20° in 12 pezzi i tagli del tratto L4 (pancia) si incrociano"_s;
    QTest::newRow("a bend that cannot be read") << u"L2"_s << u"1e3"_s << 4 << u"0"_s
                                                << u"Il valore di \"Curva L2 (gradi)\" non è un numero."_s;
}

// The preview follows every edit: it says where the outlet is, as the route of the chamber typed
// puts it, and paints a refused section red with the reason under the views.
void ChamberConstructionDialogTest::previewShowsTheChamber()
{
    QFETCH(QString, section);
    QFETCH(QString, degrees);
    QFETCH(int, pieces);
    QFETCH(QString, plane);
    QFETCH(QString, reason);

    ChamberConstructionDialog* dialog = openDialog();
    QVERIFY(dialog);
    dialog->findChild<QLineEdit*>()->setText(u"1.5"_s);
    named<QLineEdit>(*dialog, u"Curva %1 (gradi)"_s.arg(section))->setText(degrees);
    named<QSpinBox>(*dialog, u"Pezzi %1"_s.arg(section))->setValue(pieces);
    named<QLineEdit>(*dialog, u"Piano %1 (gradi)"_s.arg(section))->setText(plane);

    auto* preview = dialog->findChild<ChamberPreview*>();
    QVERIFY(preview && preview->accessibleName() == u"Anteprima della camera"_s);
    ChamberBends bends{};
    const std::size_t index = static_cast<std::size_t>(section.back().digitValue() - 1);
    const std::optional<double> bend = parseDecimalComma(degrees.toStdString());
    bends[index] = {bend.value_or(0), pieces, withinTurn(parseDecimalComma(plane.toStdString()).value_or(0))};
    const ChamberDimensions dimensions = m_form->chamberFigures()->chamber.dimensions();
    const ChamberRoute route = ChamberRoute::trace(std::get<ChamberDevelopment>(developChamber(dimensions, 1.5)), bends);
    const auto twoDecimals = [](double value) {
        return QString::fromStdString(formatFixed(value, DecimalPlaces(2)));
    };
    const Vector3 outlet = route.outlet().point;
    QVERIFY2(preview->accessibleDescription().contains(
                 u"X %1, Y %2, Z %3 mm"_s.arg(twoDecimals(outlet.x), twoDecimals(outlet.y), twoDecimals(outlet.z))),
             qPrintable(preview->accessibleDescription()));

    QLabel* note = nullptr;
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
        if (label->wordWrap() && label->accessibleName().isEmpty())
            note = label;
    }
    QVERIFY(note);
    QCOMPARE(note->isVisible(), !reason.isEmpty());
    QVERIFY2(note->text().startsWith(reason), qPrintable(note->text()));

    const QImage picture = preview->grab().toImage().convertToFormat(QImage::Format_RGB32);
    // Where the check fails, the picture is left beside the test to be looked at.
    const QString kept = QDir::current().absoluteFilePath(
        u"preview-"_s + QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-') + u".png"_s);
    const auto keep = qScopeGuard([&] {
        if (QTest::currentTestFailed())
            picture.save(kept);
    });
    int red = 0;
    int drawn = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QColor pixel = picture.pixelColor(x, y);
            red += pixel.red() > pixel.green() + 50 && pixel.red() > pixel.blue() + 50 ? 1 : 0;
            drawn += pixel != Qt::white ? 1 : 0;
        }
    }
    QVERIFY2(drawn > picture.width() * picture.height() / 50, qPrintable(u"the views are not drawn: %1"_s.arg(kept)));
    const bool refused = std::ranges::any_of(route.sections(), [](const RouteSection& s) { return s.refusal.has_value(); });
    QVERIFY2(refused == (red > 0), qPrintable(u"%1 red pixels: %2"_s.arg(red).arg(kept)));
}

// However large its preview would like to be, the dialog fits a 1366 × 768 screen with its frame.
void ChamberConstructionDialogTest::fitsASmallScreen()
{
    ChamberConstructionDialog* dialog = openDialog();
    QVERIFY(dialog);
    constexpr int kTitleBarAndTaskBar = 80;
    QVERIFY2(dialog->sizeHint().width() <= 1366 && dialog->sizeHint().height() <= 768 - kTitleBarAndTaskBar,
             qPrintable(u"%1 × %2"_s.arg(dialog->sizeHint().width()).arg(dialog->sizeHint().height())));
    QVERIFY(dialog->minimumSizeHint().height() <= 768 - kTitleBarAndTaskBar);
}

QTEST_MAIN(ChamberConstructionDialogTest)
#include "tst_chamberconstructiondialog.moc"
