// The main window on Qt's offscreen platform: its start state, its keyboard path and the
// calculate command, read back as the texts a tuner sees.
#include "ui/Form1.h"

#include <QAccessible>
#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace scaricometro;

namespace {

const QStringList kInputNames{u"Text1"_qs, u"Text2"_qs, u"Text3"_qs, u"Text4"_qs, u"Text15"_qs};
const QStringList kResultNames{u"Text5"_qs,  u"Text6"_qs,  u"Text7"_qs,  u"Text8"_qs,
                               u"Text9"_qs,  u"Text10"_qs, u"Text11"_qs, u"Text12"_qs,
                               u"Text13"_qs, u"Text14"_qs, u"Text16"_qs};
const QStringList kDefaultInputs{u"203"_qs, u"510"_qs, u"12000"_qs, u"39,3"_qs, u"29"_qs};
const QStringList kDefaultResults{u"55"_qs,     u"203"_qs,       u"167,55234"_qs, u"19,55234"_qs,
                                  u"173,34087"_qs, u"245,05"_qs, u"29"_qs,        u"46,4"_qs,
                                  u"108,50806"_qs, u"18,85"_qs,  u"0,78432"_qs};

QStringList texts(const Form1& form, const QStringList& names)
{
    QStringList result;
    for (const QString& name : names)
        result.append(form.textField(name)->text());
    return result;
}

void setInputs(Form1& form, const QStringList& inputs)
{
    for (qsizetype i = 0; i < kInputNames.size(); ++i)
        form.textField(kInputNames.at(i))->setText(inputs.at(i));
}

QMessageBox* openMessage(const Form1& form)
{
    QMessageBox* box = form.findChild<QMessageBox*>();
    return box && box->isVisible() ? box : nullptr;
}

}  // namespace

class Form1Test : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void opensWithDefaults();
    void placesControlsOnThePixelGrid_data();
    void placesControlsOnThePixelGrid();
    void usesTheWindowFonts_data();
    void usesTheWindowFonts();
    void keepsLongText();
    void tabVisitsFieldsInOrder();
    void calculates_data();
    void calculates();
    void rewritesOnlyChangedResults();
    void returnInAnInputFieldCalculates_data();
    void returnInAnInputFieldCalculates();
    void typedResultsStayUntilTheNextCalculation();
    void failureChangesNoResult_data();
    void failureChangesNoResult();
    void newProblemReplacesTheOpenMessage();
    void exposesAccessibleNames_data();
    void exposesAccessibleNames();
    void worksFromTheKeyboardAlone();

private:
    std::unique_ptr<Form1> m_form;
};

void Form1Test::init()
{
    m_form = std::make_unique<Form1>();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void Form1Test::cleanup()
{
    m_form.reset();
}

void Form1Test::opensWithDefaults()
{
    QCOMPARE(m_form->windowTitle(), u"Scaricometro"_qs);
    QCOMPARE(m_form->size(), QSize(674, 493));
    QVERIFY(!m_form->windowIcon().pixmap(32).isNull());
    QCOMPARE(texts(*m_form, kInputNames), kDefaultInputs);
    QCOMPARE(texts(*m_form, kResultNames), kResultNames);  // each shows its own name
    QCOMPARE(m_form->focusWidget(), m_form->textField(u"Text1"));
    QCOMPARE(m_form->findChild<QPushButton*>(u"Command1"_qs)->text(), u"Calcola"_qs);
    QCOMPARE(m_form->findChildren<QLabel*>().size(), 29);
    QCOMPARE(m_form->findChildren<QLineEdit*>().size(), 16);
    // The background, away from every control.
    QCOMPARE(m_form->grab().toImage().pixelColor(640, 40), QColor(0xE0E0E0u));
}

void Form1Test::placesControlsOnThePixelGrid_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("pixels");

    QTest::newRow("mark") << u"Label28"_qs << QRect(8, 8, 73, 33);
    QTest::newRow("three-line input caption") << u"Label2"_qs << QRect(208, 32, 57, 49);
    QTest::newRow("wide input caption") << u"Label5"_qs << QRect(464, 32, 81, 57);
    QTest::newRow("input row heading") << u"Label6"_qs << QRect(8, 96, 105, 17);
    QTest::newRow("first input") << u"Text1"_qs << QRect(112, 96, 73, 19);
    QTest::newRow("header diameter") << u"Text15"_qs << QRect(464, 96, 73, 19);
    QTest::newRow("button") << u"Command1"_qs << QRect(560, 88, 73, 33);
    QTest::newRow("caption L6") << u"Label17"_qs << QRect(600, 272, 17, 17);
    QTest::newRow("result L1") << u"Text5"_qs << QRect(8, 296, 97, 19);
    QTest::newRow("result L6") << u"Text10"_qs << QRect(568, 296, 97, 19);
    QTest::newRow("total length caption") << u"Label29"_qs << QRect(152, 336, 121, 17);
    QTest::newRow("total length") << u"Text16"_qs << QRect(280, 336, 217, 19);
    QTest::newRow("caption D4") << u"Label26"_qs << QRect(496, 368, 17, 17);
    QTest::newRow("result D4") << u"Text14"_qs << QRect(456, 392, 97, 19);
    QTest::newRow("note") << u"Label27"_qs << QRect(120, 440, 441, 49);
}

void Form1Test::placesControlsOnThePixelGrid()
{
    QFETCH(QString, name);
    QFETCH(QRect, pixels);

    const QWidget* control = m_form->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), pixels);
}

void Form1Test::usesTheWindowFonts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("fixedPitch");

    QTest::newRow("input caption") << u"Label1"_qs << 13 << true << false;
    QTest::newRow("result caption") << u"Label19"_qs << 13 << true << false;
    QTest::newRow("button") << u"Command1"_qs << 13 << true << false;
    QTest::newRow("field") << u"Text8"_qs << 13 << false << false;
    QTest::newRow("mark") << u"Label28"_qs << 29 << true << true;
}

void Form1Test::usesTheWindowFonts()
{
    QFETCH(QString, name);
    QFETCH(int, pixelSize);
    QFETCH(bool, bold);
    QFETCH(bool, fixedPitch);

    const QFontInfo font(m_form->findChild<QWidget*>(name)->font());
    QCOMPARE(font.pixelSize(), pixelSize);
    QCOMPARE(font.bold(), bold);
    QCOMPARE(font.fixedPitch(), fixedPitch);
    if (!fixedPitch)
        QVERIFY2(font.family() == u"Arial"_qs || font.family() == u"Liberation Sans"_qs, qPrintable(font.family()));
}

void Form1Test::keepsLongText()
{
    const QString longText = u"0,"_qs + QString(100000, u'3');
    QLineEdit* field = m_form->textField(u"Text1");
    field->setText(longText);
    QCOMPARE(field->text(), longText);
}

// Keys go to the window's focus widget, so the test needs no window manager to activate it.
void Form1Test::tabVisitsFieldsInOrder()
{
    const QStringList forward{u"Text1"_qs,  u"Text2"_qs,  u"Text3"_qs,  u"Text4"_qs,    u"Text5"_qs,  u"Text6"_qs,
                              u"Text7"_qs,  u"Text8"_qs,  u"Text9"_qs,  u"Text10"_qs,   u"Text11"_qs, u"Text12"_qs,
                              u"Text13"_qs, u"Text14"_qs, u"Text15"_qs, u"Command1"_qs, u"Text16"_qs, u"Text1"_qs};
    QStringList visited{m_form->focusWidget()->objectName()};
    for (qsizetype i = 1; i < forward.size(); ++i) {
        QTest::keyClick(m_form->focusWidget(), Qt::Key_Tab);
        visited.append(m_form->focusWidget()->objectName());
    }
    QCOMPARE(visited, forward);

    QStringList backward{m_form->focusWidget()->objectName()};
    for (qsizetype i = 1; i < forward.size(); ++i) {
        QTest::keyClick(m_form->focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        backward.prepend(m_form->focusWidget()->objectName());
    }
    QCOMPARE(backward, forward);
}

void Form1Test::calculates_data()
{
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QStringList>("inputsAfter");
    QTest::addColumn<QStringList>("results");

    QTest::newRow("default inputs") << kDefaultInputs << kDefaultInputs << kDefaultResults;
    QTest::newRow("stroke typed with a point")
        << QStringList{u"203"_qs, u"510"_qs, u"12000"_qs, u"39.3"_qs, u"29"_qs} << kDefaultInputs << kDefaultResults;
    QTest::newRow("header typed with a point")
        << QStringList{u"203"_qs, u"510"_qs, u"12000"_qs, u"39,3"_qs, u"29.5"_qs}
        << QStringList{u"203"_qs, u"510"_qs, u"12000"_qs, u"39,3"_qs, u"29,5"_qs}
        << QStringList{u"55"_qs, u"206,5"_qs, u"170,44117"_qs, u"18,94117"_qs, u"176,3295"_qs, u"249,275"_qs,
                       u"29,5"_qs, u"47,2"_qs, u"110,37889"_qs, u"19,175"_qs, u"0,78432"_qs};
    QTest::newRow("header with a zero decimal stays as typed")
        << QStringList{u"203"_qs, u"510"_qs, u"12000"_qs, u"39,3"_qs, u"29,0"_qs}
        << QStringList{u"203"_qs, u"510"_qs, u"12000"_qs, u"39,3"_qs, u"29,0"_qs} << kDefaultResults;
    QTest::newRow("rpm grouped in thousands stays as typed")
        << QStringList{u"203"_qs, u"510"_qs, u"12.000"_qs, u" 39,3 "_qs, u"+29"_qs}
        << QStringList{u"203"_qs, u"510"_qs, u"12.000"_qs, u" 39,3 "_qs, u"+29"_qs} << kDefaultResults;
    QTest::newRow("negative belly and zero header length")
        << QStringList{u"203"_qs, u"510"_qs, u"12000"_qs, u"11.8"_qs, u"40"_qs}
        << QStringList{u"203"_qs, u"510"_qs, u"12000"_qs, u"11,8"_qs, u"40"_qs}
        << QStringList{u"0"_qs, u"280"_qs, u"231,10668"_qs, u"-48,89332"_qs, u"239,09085"_qs, u"338"_qs,
                       u"40"_qs, u"64"_qs, u"149,6663"_qs, u"26"_qs, u"0,78432"_qs};
}

void Form1Test::calculates()
{
    QFETCH(QStringList, inputs);
    QFETCH(QStringList, inputsAfter);
    QFETCH(QStringList, results);

    setInputs(*m_form, inputs);
    m_form->findChild<QPushButton*>(u"Command1"_qs)->click();
    QCOMPARE(texts(*m_form, kInputNames), inputsAfter);
    QCOMPARE(texts(*m_form, kResultNames), results);
    QVERIFY(!openMessage(*m_form));
}

// Calculating again rewrites only the results that change: the others keep their caret, and are
// not repainted.
void Form1Test::rewritesOnlyChangedResults()
{
    m_form->calculate();
    for (const QString& name : kResultNames)
        m_form->textField(name)->setCursorPosition(0);
    m_form->calculate();
    m_form->textField(u"Text4"_qs)->setText(u"41,5"_qs);  // a stroke that moves L1 and L4 alone
    m_form->calculate();
    QStringList rewritten;
    for (const QString& name : kResultNames) {
        if (m_form->textField(name)->cursorPosition() != 0)
            rewritten.append(name);
    }
    QCOMPARE(rewritten, (QStringList{u"Text5"_qs, u"Text8"_qs}));
}

void Form1Test::returnInAnInputFieldCalculates_data()
{
    QTest::addColumn<QString>("field");
    for (const QString& name : kInputNames)
        QTest::newRow(qPrintable(name)) << name;
}

void Form1Test::returnInAnInputFieldCalculates()
{
    QFETCH(QString, field);

    QTest::keyClick(m_form->textField(field), Qt::Key_Return);
    QCOMPARE(texts(*m_form, kResultNames), kDefaultResults);
}

void Form1Test::typedResultsStayUntilTheNextCalculation()
{
    QLineEdit* result = m_form->textField(u"Text8");
    QTest::keyClicks(result, u"abc"_qs);
    m_form->textField(u"Text4")->setText(u"40"_qs);
    QCOMPARE(result->text(), u"Text8abc"_qs);
    m_form->calculate();
    QCOMPARE(result->text(), u"20,95234"_qs);
}

void Form1Test::failureChangesNoResult_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("textAfter");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("fieldToMend");

    const auto notANumber = [](const QString& caption) {
        return u"Il valore di \""_qs + caption
            + u"\" non è un numero.\nUsare solo cifre, con la virgola per i decimali: per esempio 39,3."_qs;
    };
    const QString rpmZero = u"\"Giri/min massimi\" deve essere un numero diverso da zero."_qs;
    const QString outOfRange = u"Con questi dati i risultati escono dall'intervallo dei numeri che il programma sa "
                               "trattare.\nControllare i valori inseriti."_qs;
    QTest::newRow("letter in timing") << u"Text1"_qs << u"2o3"_qs << u"2o3"_qs << notANumber(u"Gradi Scarico"_qs) << u"Text1"_qs;
    QTest::newRow("empty wave speed") << u"Text2"_qs << QString() << QString() << notANumber(u"Velocità onda sonica"_qs)
                                      << u"Text2"_qs;
    QTest::newRow("decimal point in rpm") << u"Text3"_qs << u"12.5"_qs << u"12.5"_qs << notANumber(u"Giri/min massimi"_qs)
                                          << u"Text3"_qs;
    QTest::newRow("exponent in stroke") << u"Text4"_qs << u"4e1"_qs << u"4e1"_qs << notANumber(u"Corsa motore"_qs) << u"Text4"_qs;
    QTest::newRow("two points in header") << u"Text15"_qs << u"1.2.3"_qs << u"1,2,3"_qs
                                          << notANumber(u"diam.interno collettore scarico"_qs) << u"Text15"_qs;
    QTest::newRow("rpm zero") << u"Text3"_qs << u"0"_qs << u"0"_qs << rpmZero << u"Text3"_qs;
    QTest::newRow("rpm minus zero") << u"Text3"_qs << u"-0,0"_qs << u"-0,0"_qs << rpmZero << u"Text3"_qs;
    // No single field is at fault: the focus goes to the first one.
    QTest::newRow("result out of range") << u"Text15"_qs << u"1"_qs + QString(160, u'0') << u"1"_qs + QString(160, u'0')
                                         << outOfRange << u"Text1"_qs;
}

void Form1Test::failureChangesNoResult()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, textAfter);
    QFETCH(QString, message);
    QFETCH(QString, fieldToMend);

    // Results from an earlier calculation, and a normalisation the failure must keep.
    m_form->calculate();
    m_form->textField(u"Text4")->setText(u"39.3"_qs);
    m_form->textField(field)->setText(text);
    m_form->calculate();

    QCOMPARE(texts(*m_form, kResultNames), kDefaultResults);
    QCOMPARE(m_form->textField(field)->text(), textAfter);
    if (field != u"Text4"_qs)
        QCOMPARE(m_form->textField(u"Text4")->text(), u"39,3"_qs);
    QMessageBox* box = openMessage(*m_form);
    QVERIFY(box);
    QCOMPARE(box->windowModality(), Qt::WindowModal);
    QCOMPARE(box->text(), message);
    QCOMPARE(box->icon(), QMessageBox::Warning);
    QCOMPARE(m_form->focusWidget(), m_form->textField(fieldToMend));
    box->accept();
    QTRY_VERIFY(!openMessage(*m_form));
}

void Form1Test::newProblemReplacesTheOpenMessage()
{
    m_form->textField(u"Text1")->setText(u"x"_qs);
    m_form->calculate();
    m_form->textField(u"Text1")->setText(u"203"_qs);
    m_form->textField(u"Text3")->setText(u"0"_qs);
    m_form->calculate();
    QTRY_COMPARE(m_form->findChildren<QMessageBox*>().size(), 1);
    QVERIFY(openMessage(*m_form)->text().contains(u"Giri/min massimi"_qs));
}

void Form1Test::exposesAccessibleNames_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QAccessible::Role>("role");
    QTest::addColumn<QString>("name");

    const QStringList inputCaptions{u"Gradi Scarico"_qs, u"Velocità onda sonica"_qs, u"Giri/min massimi"_qs,
                                    u"Corsa motore"_qs, u"diam.interno collettore scarico"_qs};
    for (qsizetype i = 0; i < kInputNames.size(); ++i)
        QTest::newRow(qPrintable(kInputNames.at(i))) << kInputNames.at(i) << QAccessible::EditableText << inputCaptions.at(i);
    const QStringList resultCaptions{u"L1"_qs, u"L2"_qs, u"L3"_qs, u"L4"_qs, u"L5"_qs, u"L6"_qs,
                                     u"D1"_qs, u"D2"_qs, u"D3"_qs, u"D4"_qs, u"Lunghezza Totale"_qs};
    for (qsizetype i = 0; i < kResultNames.size(); ++i)
        QTest::newRow(qPrintable(kResultNames.at(i))) << kResultNames.at(i) << QAccessible::EditableText << resultCaptions.at(i);
    QTest::newRow("button") << u"Command1"_qs << QAccessible::Button << u"Calcola"_qs;
    QTest::newRow("input caption") << u"Label2"_qs << QAccessible::StaticText << u"Velocità onda sonica"_qs;
    QTest::newRow("result caption") << u"Label29"_qs << QAccessible::StaticText << u"Lunghezza Totale"_qs;
    QTest::newRow("drawing caption") << u"Label14"_qs << QAccessible::StaticText << u"L4"_qs;
    QTest::newRow("mark") << u"Label28"_qs << QAccessible::StaticText << u"TQV"_qs;
}

void Form1Test::exposesAccessibleNames()
{
    QFETCH(QString, control);
    QFETCH(QAccessible::Role, role);
    QFETCH(QString, name);

    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(m_form->findChild<QWidget*>(control));
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), role);
    QCOMPARE(accessible->text(QAccessible::Name), name);
}

void Form1Test::worksFromTheKeyboardAlone()
{
    const auto focused = [this] { return m_form->focusWidget(); };
    const auto typeOver = [focused](const QString& text) {
        QTest::keyClick(focused(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(focused(), text);
    };
    const auto tab = [focused](int times) {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(focused(), Qt::Key_Tab);
    };

    for (const QString& figure : {u"190"_qs, u"500"_qs, u"9.000"_qs, u"54.5"_qs}) {
        typeOver(figure);
        tab(1);
    }
    tab(10);  // past the results to the header diameter
    typeOver(u"32"_qs);
    QTest::keyClick(focused(), Qt::Key_Return);
    QCOMPARE(texts(*m_form, kInputNames), (QStringList{u"190"_qs, u"500"_qs, u"9.000"_qs, u"54,5"_qs, u"32"_qs}));

    QStringList heard;
    tab(2);  // Calcola, then the total length
    heard.append(QAccessible::queryAccessibleInterface(focused())->text(QAccessible::Value));
    tab(5);  // round to the first result, L1
    for (int result = 0; result < 10; ++result) {
        heard.append(QAccessible::queryAccessibleInterface(focused())->text(QAccessible::Value));
        tab(1);
    }
    QCOMPARE(heard, (QStringList{u"0,9596"_qs, u"85,4"_qs, u"224"_qs, u"184,88534"_qs, u"46,28534"_qs, u"191,27268"_qs,
                                 u"270,4"_qs, u"32"_qs, u"51,2"_qs, u"119,73304"_qs, u"20,8"_qs}));
}

QTEST_MAIN(Form1Test)
#include "tst_form1.moc"
