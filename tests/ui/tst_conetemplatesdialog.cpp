// Reaching the cone templates from the window and saving them: Ctrl+P and the background's menu,
// the inputs read as "Calcola" reads them but never written, and the dialog's refusals and saves.
#include "ui/ConeTemplatesDialog.h"
#include "ui/Form1.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <QUrl>

#include <memory>

using namespace scaricometro;
using namespace Qt::StringLiterals;

namespace {

const QStringList kFieldNames{u"Text1"_s, u"Text2"_s, u"Text3"_s, u"Text4"_s, u"Text15"_s, u"Text5"_s, u"Text16"_s};

template <typename Widget>
Widget* shown(const QObject& parent)
{
    for (Widget* widget : parent.findChildren<Widget*>()) {
        if (widget->isVisible())
            return widget;
    }
    return nullptr;
}

QStringList fieldTexts(const Form1& form)
{
    QStringList texts;
    for (const QString& name : kFieldNames)
        texts.append(form.textField(name)->text());
    return texts;
}

QPushButton* buttonCalled(const QWidget& parent, const QString& text)
{
    for (QPushButton* button : parent.findChildren<QPushButton*>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

}  // namespace

class ConeTemplatesDialogTest : public QObject {
    Q_OBJECT

public Q_SLOTS:
    void recordOpened(const QUrl& url) { m_opened.append(url); }

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void unreadableInputOpensNoDialog_data();
    void unreadableInputOpensNoDialog();
    void readsInputsWithoutWritingThem();
    void reachedFromTheBackgroundMenu();
    void drawingTellsHow();
    void refuses_data();
    void refuses();
    void savesAndOpens_data();
    void savesAndOpens();

private:
    ConeTemplatesDialog* openDialog();
    void saveAs(ConeTemplatesDialog* dialog, const QString& path, bool folderRemoved);

    std::unique_ptr<Form1> m_form;
    QList<QUrl> m_opened;
};

void ConeTemplatesDialogTest::initTestCase()
{
    // Qt's own file dialog, which a test can fill in, also where the platform has one (Windows).
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    // The viewer a saved file would open in is this test.
    QDesktopServices::setUrlHandler(u"file"_s, this, "recordOpened");
}

void ConeTemplatesDialogTest::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(u"file"_s);
}

void ConeTemplatesDialogTest::init()
{
    m_form = std::make_unique<Form1>();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    m_opened.clear();
}

void ConeTemplatesDialogTest::cleanup()
{
    m_form.reset();
}

ConeTemplatesDialog* ConeTemplatesDialogTest::openDialog()
{
    QTest::keyClick(m_form->focusWidget(), Qt::Key_P, Qt::ControlModifier);
    return shown<ConeTemplatesDialog>(*m_form);
}

void ConeTemplatesDialogTest::saveAs(ConeTemplatesDialog* dialog, const QString& path, bool folderRemoved)
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

void ConeTemplatesDialogTest::unreadableInputOpensNoDialog_data()
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

void ConeTemplatesDialogTest::unreadableInputOpensNoDialog()
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

void ConeTemplatesDialogTest::readsInputsWithoutWritingThem()
{
    m_form->textField(u"Text4"_s)->setText(u"41.5"_s);
    m_form->textField(u"Text15"_s)->setText(u"29.5"_s);
    const QStringList before = fieldTexts(*m_form);
    const ConeTemplatesDialog* dialog = openDialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->windowModality(), Qt::WindowModal);
    QCOMPARE(fieldTexts(*m_form), before);
    QVERIFY(!shown<QMessageBox>(*m_form));
}

void ConeTemplatesDialogTest::reachedFromTheBackgroundMenu()
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
        QCOMPARE(menu->actions().size(), 1);
        QCOMPARE(menu->actions().front()->text(), u"Sagome dei coni…"_s);
        menu->actions().front()->trigger();
        menu->close();
        QVERIFY(shown<ConeTemplatesDialog>(*m_form));
        shown<ConeTemplatesDialog>(*m_form)->reject();
    }
}

void ConeTemplatesDialogTest::drawingTellsHow()
{
    const QPoint onTheDrawing(300, 200);
    QHelpEvent help(QEvent::ToolTip, onTheDrawing, m_form->mapToGlobal(onTheDrawing));
    QApplication::sendEvent(m_form.get(), &help);
    QVERIFY(QToolTip::text().contains(u"Ctrl+P"_s));
    QVERIFY(QToolTip::text().contains(u"tasto destro"_s));
}

void ConeTemplatesDialogTest::refuses_data()
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

void ConeTemplatesDialogTest::refuses()
{
    QFETCH(QString, header);
    QFETCH(QString, thickness);
    QFETCH(QString, message);
    QFETCH(bool, thicknessToMend);

    m_form->textField(u"Text15"_s)->setText(header);
    ConeTemplatesDialog* dialog = openDialog();
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

void ConeTemplatesDialogTest::savesAndOpens_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("open");
    QTest::addColumn<bool>("saved");

    QTest::newRow("saved and opened") << u"sagome.pdf"_s << true << true;
    QTest::newRow("saved, not opened") << u"Niccolò/sagome 1.5.pdf"_s << false << true;
    QTest::newRow("a folder that is gone") << u"gone/sagome.pdf"_s << true << false;
}

void ConeTemplatesDialogTest::savesAndOpens()
{
    QFETCH(QString, name);
    QFETCH(bool, open);
    QFETCH(bool, saved);
    if (!saved && QGuiApplication::platformName() == u"windows"_s)
        QSKIP("Under Wine, a folder that Qt's file dialog shows cannot be removed while it is open");

    const QTemporaryDir folder;
    const QString path = folder.filePath(name);
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    ConeTemplatesDialog* dialog = openDialog();
    QVERIFY(dialog);
    dialog->findChild<QLineEdit*>()->setText(u"1.5"_s);
    dialog->findChild<QCheckBox*>()->setChecked(open);
    saveAs(dialog, path, !saved);

    QCOMPARE(QFileInfo::exists(path), saved);
    if (saved) {
        QVERIFY(!dialog->isVisible());
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

QTEST_MAIN(ConeTemplatesDialogTest)
#include "tst_conetemplatesdialog.moc"
