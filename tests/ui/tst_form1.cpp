// The main window on Qt's offscreen platform: its start state, its keyboard path and the
// calculate command, read back as the texts a tuner sees.
#include "ui/Form1.h"

#include <QAccessible>
#include <QApplication>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <memory>

using namespace scaricometro;
using namespace Qt::StringLiterals;

namespace {

constexpr QSize kLayoutSize{674, 493};
const QStringList kInputNames{u"Text1"_s, u"Text2"_s, u"Text3"_s, u"Text4"_s, u"Text15"_s};
const QStringList kResultNames{u"Text5"_s,  u"Text6"_s,  u"Text7"_s,  u"Text8"_s,
                               u"Text9"_s,  u"Text10"_s, u"Text11"_s, u"Text12"_s,
                               u"Text13"_s, u"Text14"_s, u"Text16"_s};
const QStringList kDefaultInputs{u"203"_s, u"510"_s, u"12000"_s, u"39,3"_s, u"29"_s};
const QStringList kDefaultResults{u"55"_s,     u"203"_s,       u"167,55234"_s, u"19,55234"_s,
                                  u"173,34087"_s, u"245,05"_s, u"29"_s,        u"46,4"_s,
                                  u"108,50806"_s, u"18,85"_s,  u"0,78432"_s};

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
    void showsEveryControlAsLaidOut_data();
    void showsEveryControlAsLaidOut();
    void keepsLongText();
    void tabVisitsFieldsInOrder();
    void calculates_data();
    void calculates();
    void rewritesOnlyChangedResults();
    void enterCalculates_data();
    void enterCalculates();
    void typedResultsStayUntilTheNextCalculation();
    void failureChangesNoResult_data();
    void failureChangesNoResult();
    void newProblemReplacesTheOpenMessage();
    void exposesAccessibleNames_data();
    void exposesAccessibleNames();
    void worksFromTheKeyboardAlone();
    void survivesWindowStates_data();
    void survivesWindowStates();

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
    QCOMPARE(m_form->windowTitle(), u"Scaricometro"_s);
    QCOMPARE(m_form->size(), kLayoutSize);
    QVERIFY(!m_form->windowIcon().pixmap(32).isNull());
    QCOMPARE(texts(*m_form, kInputNames), kDefaultInputs);
    QCOMPARE(texts(*m_form, kResultNames), kResultNames);  // each shows its own name
    QCOMPARE(m_form->focusWidget(), m_form->textField(u"Text1"));
    QCOMPARE(m_form->findChild<QPushButton*>(u"Command1"_s)->text(), u"Calcola"_s);
    QCOMPARE(m_form->findChildren<QLabel*>().size(), 29);
    QCOMPARE(m_form->findChildren<QLineEdit*>().size(), 16);
    // The background, away from every control.
    QCOMPARE(m_form->grab().toImage().pixelColor(640, 40), QColor(0xE0E0E0u));
}

void Form1Test::showsEveryControlAsLaidOut_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<int>>("lefts");
    QTest::addColumn<QRect>("box");  // of the first; the others differ only in their left edge
    QTest::addColumn<QFont>("font");
    QTest::addColumn<Qt::Alignment>("alignment");
    QTest::addColumn<QColor>("text");
    QTest::addColumn<QColor>("background");

    const auto face = [](const QString& family, int pixelSize, QFont::Weight weight) {
        QFont font(family);
        font.setPixelSize(pixelSize);
        font.setWeight(weight);
        return font;
    };
    const QFont mark = face(u"Lucida Console"_s, 29, QFont::Bold);
    const QFont caption = face(u"Arial"_s, 13, QFont::Bold);
    const QFont field = face(u"Arial"_s, 13, QFont::Normal);
    const QFont drawing = face(u"Arial"_s, 11, QFont::Normal);
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignTop;
    const Qt::Alignment centred = Qt::AlignHCenter | Qt::AlignTop;
    const QColor black(0x000000u), blue(0x0000FFu), white(0xFFFFFFu), grey(0xE0E0E0u);
    const auto row = [](const char* tag, const QStringList& names, const QList<int>& lefts, QRect box) -> QTestData& {
        return QTest::newRow(tag) << names << lefts << box;
    };

    row("mark", {u"Label28"_s}, {8}, {8, 8, 73, 33}) << mark << left << black << grey;
    row("input captions", {u"Label1"_s, u"Label3"_s, u"Label4"_s}, {120, 296, 384}, {120, 32, 57, 41})
        << caption << centred << black << grey;
    row("three-line input caption", {u"Label2"_s}, {208}, {208, 32, 57, 49}) << caption << centred << black << grey;
    row("wide input caption", {u"Label5"_s}, {464}, {464, 32, 81, 57}) << caption << centred << black << grey;
    row("input row heading", {u"Label6"_s}, {8}, {8, 96, 105, 17}) << caption << left << black << grey;
    row("inputs", kInputNames, {112, 200, 288, 376, 464}, {112, 96, 73, 19})
        << field << Qt::Alignment(Qt::AlignHCenter) << black << white;
    // A button has no alignment of its own: the style centres its caption.
    row("button", {u"Command1"_s}, {560}, {560, 88, 73, 33}) << caption << Qt::Alignment() << black << grey;
    row("D on the drawing", {u"Label7"_s, u"Label8"_s, u"Label9"_s, u"Label10"_s}, {40, 456, 256, 360},
        {40, 208, 17, 17}) << drawing << left << black << grey;
    row("L on the drawing", {u"Label11"_s, u"Label12"_s, u"Label13"_s, u"Label14"_s, u"Label15"_s, u"Label16"_s},
        {88, 168, 296, 368, 432, 536}, {88, 136, 17, 17}) << drawing << left << blue << grey;
    row("length captions", {u"Label22"_s, u"Label21"_s, u"Label20"_s, u"Label19"_s, u"Label18"_s, u"Label17"_s},
        {48, 160, 272, 384, 496, 600}, {48, 272, 17, 17}) << caption << left << black << grey;
    row("lengths", kResultNames.first(6), {8, 120, 232, 344, 456, 568}, {8, 296, 97, 19})
        << field << Qt::Alignment(Qt::AlignHCenter) << black << white;
    row("total length caption", {u"Label29"_s}, {152}, {152, 336, 121, 17}) << caption << left << black << grey;
    row("total length", {u"Text16"_s}, {280}, {280, 336, 217, 19})
        << field << Qt::Alignment(Qt::AlignHCenter) << black << white;
    row("diameter captions", {u"Label23"_s, u"Label24"_s, u"Label25"_s, u"Label26"_s}, {160, 272, 384, 496},
        {160, 368, 17, 17}) << caption << left << black << grey;
    row("diameters", kResultNames.mid(6, 4), {120, 232, 344, 456}, {120, 392, 97, 19})
        << field << Qt::Alignment(Qt::AlignHCenter) << black << white;
    row("note", {u"Label27"_s}, {120}, {120, 440, 441, 49}) << caption << centred << black << grey;
}

// Every control's box, font (weight exactly: DemiBold too reads as bold), alignment and colours,
// in an active and an inactive window, and each field's focus ring as painted.
void Form1Test::showsEveryControlAsLaidOut()
{
    QFETCH(QStringList, names);
    QFETCH(QList<int>, lefts);
    QFETCH(QRect, box);
    QFETCH(QFont, font);
    QFETCH(Qt::Alignment, alignment);
    QFETCH(QColor, text);
    QFETCH(QColor, background);

    QCOMPARE(lefts.size(), names.size());
    for (qsizetype i = 0; i < names.size(); ++i) {
        QWidget* control = m_form->findChild<QWidget*>(names.at(i));
        QVERIFY2(control, qPrintable(names.at(i)));
        QCOMPARE(control->geometry(), box.translated(lefts.at(i) - box.left(), 0));
        QCOMPARE(control->font().family(), font.family());
        QCOMPARE(control->font().pixelSize(), font.pixelSize());
        QCOMPARE(control->font().weight(), font.weight());
        const QFontInfo resolved(control->font());
        QCOMPARE(resolved.pixelSize(), font.pixelSize());
        QCOMPARE(resolved.fixedPitch(), font.family() == u"Lucida Console"_s);
        if (font.family() == u"Arial"_s)
            QVERIFY2(resolved.family() == u"Arial"_s || resolved.family() == u"Liberation Sans"_s, qPrintable(resolved.family()));
        QCOMPARE(control->property("alignment").value<Qt::Alignment>(), alignment);
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {  // and behind another window
            QCOMPARE(control->palette().color(group, control->foregroundRole()), text);
            QCOMPARE(control->palette().color(group, control->backgroundRole()), background);
        }
        if (auto* field = qobject_cast<QLineEdit*>(control)) {
            field->setFocus();
            const QImage painted = field->grab().toImage();
            const QColor ring(0x308CC6u);
            QCOMPARE(painted.pixelColor(1, 1), ring);
            QCOMPARE(painted.pixelColor(field->width() - 2, field->height() - 2), ring);
        }
    }
}

void Form1Test::keepsLongText()
{
    const QString longText = u"0,"_s + QString(100000, u'3');
    QLineEdit* field = m_form->textField(u"Text1");
    field->setText(longText);
    QCOMPARE(field->text(), longText);
}

// Keys go to the window's focus widget, so the test needs no window manager to activate it.
void Form1Test::tabVisitsFieldsInOrder()
{
    const QStringList forward{u"Text1"_s,  u"Text2"_s,  u"Text3"_s,  u"Text4"_s,    u"Text5"_s,  u"Text6"_s,
                              u"Text7"_s,  u"Text8"_s,  u"Text9"_s,  u"Text10"_s,   u"Text11"_s, u"Text12"_s,
                              u"Text13"_s, u"Text14"_s, u"Text15"_s, u"Command1"_s, u"Text16"_s, u"Text1"_s};
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
        << QStringList{u"203"_s, u"510"_s, u"12000"_s, u"39.3"_s, u"29"_s} << kDefaultInputs << kDefaultResults;
    QTest::newRow("header typed with a point")
        << QStringList{u"203"_s, u"510"_s, u"12000"_s, u"39,3"_s, u"29.5"_s}
        << QStringList{u"203"_s, u"510"_s, u"12000"_s, u"39,3"_s, u"29,5"_s}
        << QStringList{u"55"_s, u"206,5"_s, u"170,44117"_s, u"18,94117"_s, u"176,3295"_s, u"249,275"_s,
                       u"29,5"_s, u"47,2"_s, u"110,37889"_s, u"19,175"_s, u"0,78432"_s};
    QTest::newRow("header with a zero decimal stays as typed")
        << QStringList{u"203"_s, u"510"_s, u"12000"_s, u"39,3"_s, u"29,0"_s}
        << QStringList{u"203"_s, u"510"_s, u"12000"_s, u"39,3"_s, u"29,0"_s} << kDefaultResults;
    QTest::newRow("rpm grouped in thousands stays as typed")
        << QStringList{u"203"_s, u"510"_s, u"12.000"_s, u" 39,3 "_s, u"+29"_s}
        << QStringList{u"203"_s, u"510"_s, u"12.000"_s, u" 39,3 "_s, u"+29"_s} << kDefaultResults;
    QTest::newRow("negative belly and zero header length")
        << QStringList{u"203"_s, u"510"_s, u"12000"_s, u"11.8"_s, u"40"_s}
        << QStringList{u"203"_s, u"510"_s, u"12000"_s, u"11,8"_s, u"40"_s}
        << QStringList{u"0"_s, u"280"_s, u"231,10668"_s, u"-48,89332"_s, u"239,09085"_s, u"338"_s,
                       u"40"_s, u"64"_s, u"149,6663"_s, u"26"_s, u"0,78432"_s};
}

void Form1Test::calculates()
{
    QFETCH(QStringList, inputs);
    QFETCH(QStringList, inputsAfter);
    QFETCH(QStringList, results);

    setInputs(*m_form, inputs);
    m_form->findChild<QPushButton*>(u"Command1"_s)->click();
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
    m_form->textField(u"Text4"_s)->setText(u"41,5"_s);  // a stroke that moves L1 and L4 alone
    m_form->calculate();
    QStringList rewritten;
    for (const QString& name : kResultNames) {
        if (m_form->textField(name)->cursorPosition() != 0)
            rewritten.append(name);
    }
    QCOMPARE(rewritten, (QStringList{u"Text5"_s, u"Text8"_s}));
}

void Form1Test::enterCalculates_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("key");
    for (const QString& name : kInputNames)
        QTest::newRow(qPrintable(name)) << name << int(Qt::Key_Return);
    QTest::newRow("Text4, keypad Enter") << u"Text4"_s << int(Qt::Key_Enter);
    QTest::newRow("Calcola") << u"Command1"_s << int(Qt::Key_Return);
    QTest::newRow("Calcola, keypad Enter") << u"Command1"_s << int(Qt::Key_Enter);
}

// Return or Enter in an input field, or on the focused button, presses "Calcola".
void Form1Test::enterCalculates()
{
    QFETCH(QString, control);
    QFETCH(int, key);

    QWidget* focused = m_form->findChild<QWidget*>(control);
    focused->setFocus();
    QTest::keyClick(focused, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    QCOMPARE(texts(*m_form, kResultNames), kDefaultResults);
}

void Form1Test::typedResultsStayUntilTheNextCalculation()
{
    QLineEdit* result = m_form->textField(u"Text8");
    QTest::keyClicks(result, u"abc"_s);
    m_form->textField(u"Text4")->setText(u"40"_s);
    QCOMPARE(result->text(), u"Text8abc"_s);
    m_form->calculate();
    QCOMPARE(result->text(), u"20,95234"_s);
}

void Form1Test::failureChangesNoResult_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("textAfter");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("fieldToMend");

    const auto notANumber = [](const QString& caption) {
        return u"Il valore di \""_s + caption
            + u"\" non è un numero.\nUsare solo cifre, con la virgola per i decimali: per esempio 39,3."_s;
    };
    const QString rpmZero = u"\"Giri/min massimi\" deve essere un numero diverso da zero."_s;
    const QString outOfRange = u"Con questi dati i risultati escono dall'intervallo dei numeri che il programma sa "
                               "trattare.\nControllare i valori inseriti."_s;
    QTest::newRow("letter in timing") << u"Text1"_s << u"2o3"_s << u"2o3"_s << notANumber(u"Gradi Scarico"_s) << u"Text1"_s;
    QTest::newRow("empty wave speed") << u"Text2"_s << QString() << QString() << notANumber(u"Velocità onda sonica"_s)
                                      << u"Text2"_s;
    // Where a point can only group thousands, a decimal point is refused, not taken for a comma.
    QTest::newRow("decimal point in timing") << u"Text1"_s << u"20.3"_s << u"20.3"_s << notANumber(u"Gradi Scarico"_s)
                                             << u"Text1"_s;
    QTest::newRow("decimal point in wave speed")
        << u"Text2"_s << u"51.0"_s << u"51.0"_s << notANumber(u"Velocità onda sonica"_s) << u"Text2"_s;
    QTest::newRow("decimal point in rpm") << u"Text3"_s << u"12.5"_s << u"12.5"_s << notANumber(u"Giri/min massimi"_s)
                                          << u"Text3"_s;
    QTest::newRow("exponent in stroke") << u"Text4"_s << u"4e1"_s << u"4e1"_s << notANumber(u"Corsa motore"_s) << u"Text4"_s;
    QTest::newRow("two points in header") << u"Text15"_s << u"1.2.3"_s << u"1,2,3"_s
                                          << notANumber(u"diam.interno collettore scarico"_s) << u"Text15"_s;
    QTest::newRow("rpm zero") << u"Text3"_s << u"0"_s << u"0"_s << rpmZero << u"Text3"_s;
    QTest::newRow("rpm minus zero") << u"Text3"_s << u"-0,0"_s << u"-0,0"_s << rpmZero << u"Text3"_s;
    // No single field is at fault: the focus goes to the first one.
    QTest::newRow("result out of range") << u"Text15"_s << u"1"_s + QString(160, u'0') << u"1"_s + QString(160, u'0')
                                         << outOfRange << u"Text1"_s;
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
    m_form->textField(u"Text4")->setText(u"39.3"_s);
    m_form->textField(field)->setText(text);
    m_form->calculate();

    QCOMPARE(texts(*m_form, kResultNames), kDefaultResults);
    QCOMPARE(m_form->textField(field)->text(), textAfter);
    if (field != u"Text4"_s)
        QCOMPARE(m_form->textField(u"Text4")->text(), u"39,3"_s);
    QMessageBox* box = openMessage(*m_form);
    QVERIFY(box);
    QCOMPARE(box->windowModality(), Qt::WindowModal);
    QCOMPARE(box->text(), message);
    QCOMPARE(box->icon(), QMessageBox::Warning);
    QCOMPARE(m_form->focusWidget(), m_form->textField(fieldToMend));
    box->accept();
    QVERIFY(QTest::qWaitFor([this] { return !openMessage(*m_form); }));
}

void Form1Test::newProblemReplacesTheOpenMessage()
{
    m_form->textField(u"Text1")->setText(u"x"_s);
    m_form->calculate();
    m_form->textField(u"Text1")->setText(u"203"_s);
    m_form->textField(u"Text3")->setText(u"0"_s);
    m_form->calculate();
    QVERIFY(QTest::qWaitFor([this] { return m_form->findChildren<QMessageBox*>().size() == 1; }));
    QVERIFY(openMessage(*m_form)->text().contains(u"Giri/min massimi"_s));
}

void Form1Test::exposesAccessibleNames_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QAccessible::Role>("role");
    QTest::addColumn<QString>("name");

    const QStringList inputCaptions{u"Gradi Scarico"_s, u"Velocità onda sonica"_s, u"Giri/min massimi"_s,
                                    u"Corsa motore"_s, u"diam.interno collettore scarico"_s};
    for (qsizetype i = 0; i < kInputNames.size(); ++i)
        QTest::newRow(qPrintable(kInputNames.at(i))) << kInputNames.at(i) << QAccessible::EditableText << inputCaptions.at(i);
    const QStringList resultCaptions{u"L1"_s, u"L2"_s, u"L3"_s, u"L4"_s, u"L5"_s, u"L6"_s,
                                     u"D1"_s, u"D2"_s, u"D3"_s, u"D4"_s, u"Lunghezza Totale"_s};
    for (qsizetype i = 0; i < kResultNames.size(); ++i)
        QTest::newRow(qPrintable(kResultNames.at(i))) << kResultNames.at(i) << QAccessible::EditableText << resultCaptions.at(i);
    QTest::newRow("button") << u"Command1"_s << QAccessible::Button << u"Calcola"_s;
    QTest::newRow("input caption") << u"Label2"_s << QAccessible::StaticText << u"Velocità onda sonica"_s;
    QTest::newRow("result caption") << u"Label29"_s << QAccessible::StaticText << u"Lunghezza Totale"_s;
    QTest::newRow("drawing caption") << u"Label14"_s << QAccessible::StaticText << u"L4"_s;
    QTest::newRow("mark") << u"Label28"_s << QAccessible::StaticText << u"TQV"_s;
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

    for (const QString& figure : {u"190"_s, u"500"_s, u"9.000"_s, u"54.5"_s}) {
        typeOver(figure);
        tab(1);
    }
    tab(10);  // past the results to the header diameter
    typeOver(u"32"_s);
    QTest::keyClick(focused(), Qt::Key_Return);
    QCOMPARE(texts(*m_form, kInputNames), (QStringList{u"190"_s, u"500"_s, u"9.000"_s, u"54,5"_s, u"32"_s}));

    QStringList heard;
    tab(2);  // Calcola, then the total length
    heard.append(QAccessible::queryAccessibleInterface(focused())->text(QAccessible::Value));
    tab(5);  // round to the first result, L1
    for (int result = 0; result < 10; ++result) {
        heard.append(QAccessible::queryAccessibleInterface(focused())->text(QAccessible::Value));
        tab(1);
    }
    QCOMPARE(heard, (QStringList{u"0,9596"_s, u"85,4"_s, u"224"_s, u"184,88534"_s, u"46,28534"_s, u"191,27268"_s,
                                 u"270,4"_s, u"32"_s, u"51,2"_s, u"119,73304"_s, u"20,8"_s}));
}

void Form1Test::survivesWindowStates_data()
{
    QTest::addColumn<QList<int>>("requests");

    QTest::newRow("maximise, restore") << QList<int>{Qt::WindowMaximized, Qt::WindowNoState};
    QTest::newRow("full screen, restore") << QList<int>{Qt::WindowFullScreen, Qt::WindowNoState};
    QTest::newRow("maximise, full screen, restore")
        << QList<int>{Qt::WindowMaximized, Qt::WindowFullScreen, Qt::WindowNoState};
}

// What a window manager or compositor may ask (CTest runs this under weston, and under Xvfb with
// openbox, too): the program survives it, the figures and the layout stay, and the window is grey
// wherever it is larger than the layout. X11 window managers may refuse to maximise a window of
// fixed size. In its normal state the window keeps the layout's size, except under Wayland, where
// like a maximised or full-screen window it takes whatever size it is given.
void Form1Test::survivesWindowStates()
{
    QFETCH(QList<int>, requests);

    m_form->textField(u"Text4")->setText(u"41.5"_s);
    m_form->calculate();
    const QStringList figures = texts(*m_form, kInputNames + kResultNames);
    const QRect box = m_form->textField(u"Text16")->geometry();
    const bool maximiseMayBeRefused = QGuiApplication::platformName() == u"xcb"_s;
    const bool anySizeInEveryState = QGuiApplication::platformName().startsWith(u"wayland"_s);
    for (int request : QList<int>{Qt::WindowNoState} + requests) {
        m_form->setWindowState(Qt::WindowState(request));
        const auto settled = [this, request, maximiseMayBeRefused] {
            const QSize size = m_form->size();
            if (request == Qt::WindowNoState)
                return size == kLayoutSize;
            if (request == Qt::WindowFullScreen)
                return size == m_form->screen()->geometry().size();
            return (size.width() > kLayoutSize.width() && size.height() > kLayoutSize.height())
                || (maximiseMayBeRefused && size == kLayoutSize);
        };
        QVERIFY2(QTest::qWaitFor(settled), qPrintable(u"%1 x %2"_s.arg(m_form->width()).arg(m_form->height())));
        QTest::qWait(100);  // and whatever the platform sends after it
        const bool anySize = anySizeInEveryState || (m_form->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen));
        QCOMPARE(m_form->minimumSize(), anySize ? QSize(0, 0) : kLayoutSize);
        QCOMPARE(m_form->maximumSize(), anySize ? QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX) : kLayoutSize);
        QCOMPARE(texts(*m_form, kInputNames + kResultNames), figures);
        QCOMPARE(m_form->textField(u"Text16")->geometry(), box);
        QCOMPARE(m_form->grab().toImage().pixelColor(m_form->width() - 1, m_form->height() - 1), QColor(0xE0E0E0u));
    }
}

QTEST_MAIN(Form1Test)
#include "tst_form1.moc"
