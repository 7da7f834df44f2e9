// The chamber drawing at the pixel level: start colours, line widths, and what each click lights
// or clears, read from the window as rendered.
#include "ui/Form1.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>

#include <array>
#include <memory>
#include <set>

using namespace scaricometro;
using namespace Qt::StringLiterals;

namespace {

// The middle of each segment, in window pixels, Line1 first.
constexpr std::array<QPoint, 32> kMidpoints{{
    {72, 216},  {92, 208},  {92, 224},  {112, 216}, {248, 216}, {180, 228}, {180, 204}, {300, 192},
    {300, 240}, {352, 216}, {392, 216}, {372, 248}, {372, 184}, {440, 196}, {440, 236}, {540, 208},
    {488, 216}, {540, 224}, {592, 216}, {72, 184},  {92, 160},  {592, 184}, {112, 184}, {248, 180},
    {352, 172}, {392, 172}, {488, 184}, {180, 160}, {300, 160}, {372, 160}, {440, 160}, {540, 160},
}};
const std::set<int> kDimensionChain{21, 28, 29, 30, 31, 32};
constexpr QPoint kBackground{640, 40};
const QColor kGreyColor(0xE0E0E0u);
const QColor kBlackColor(0x000000u);
const QColor kBlueColor(0x0000FFu);
const QColor kRedColor(0xFF0000u);

QString lineName(int line)
{
    return u"Line"_s + QString::number(line);
}

}  // namespace

class ChamberDrawingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void startsInStartColours();
    void drawsCrispLinesOfTheirWidth_data();
    void drawsCrispLinesOfTheirWidth();
    void drawingCaptionsFitTheirBoxes();
    void lightsTheRowOfTheClickedResult_data();
    void lightsTheRowOfTheClickedResult();
    void followsClickSequences_data();
    void followsClickSequences();
    void lineColoursAreAddressableByName();
    void looksTheSameOnAnyDesktop_data();
    void looksTheSameOnAnyDesktop();

private:
    void perform(const QString& action);
    void verifyLit(const std::set<int>& lit);

    std::unique_ptr<Form1> m_form;
};

void ChamberDrawingTest::init()
{
    m_form = std::make_unique<Form1>();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void ChamberDrawingTest::cleanup()
{
    m_form.reset();
}

// A control's name clicks it; "background" and "line" click the window where there is no
// control, beside and on a segment; "type:TextN" types into a field.
void ChamberDrawingTest::perform(const QString& action)
{
    if (action == u"background"_s)
        QTest::mouseClick(m_form.get(), Qt::LeftButton, {}, kBackground);
    else if (action == u"line"_s)
        QTest::mouseClick(m_form.get(), Qt::LeftButton, {}, kMidpoints[5]);
    else if (action.startsWith(u"type:"_s))
        QTest::keyClicks(m_form->textField(action.mid(5)), u"12,5"_s);
    else
        QTest::mouseClick(m_form->findChild<QWidget*>(action), Qt::LeftButton);
}

// Every segment on screen: red where lit, else the outline black and the rest blue.
void ChamberDrawingTest::verifyLit(const std::set<int>& lit)
{
    const QImage image = m_form->grab().toImage();
    for (int line = 1; line <= 32; ++line) {
        const QColor expected = lit.count(line) ? kRedColor : line <= 19 ? kBlackColor : kBlueColor;
        const QColor onScreen = image.pixelColor(kMidpoints[static_cast<std::size_t>(line - 1)]);
        QVERIFY2(onScreen == expected, qPrintable(lineName(line) + u" is "_s + onScreen.name()));
        QCOMPARE(m_form->lineColor(lineName(line)), expected);
    }
}

void ChamberDrawingTest::startsInStartColours()
{
    verifyLit({});
    for (int caption = 7; caption <= 16; ++caption) {
        const auto* label = m_form->findChild<QLabel*>(u"Label"_s + QString::number(caption));
        const QColor expected = caption >= 11 ? kBlueColor : kBlackColor;
        QCOMPARE(label->palette().color(QPalette::WindowText), expected);
    }
}

void ChamberDrawingTest::drawsCrispLinesOfTheirWidth_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QPoint>("across");  // one pixel step across the segment
    QTest::addColumn<int>("width");

    QTest::newRow("header upper wall") << 2 << QPoint(0, 1) << 2;
    QTest::newRow("belly edge") << 10 << QPoint(1, 0) << 2;
    QTest::newRow("tailpipe lower wall") << 18 << QPoint(0, 1) << 2;
    QTest::newRow("extension line") << 24 << QPoint(1, 0) << 1;
    QTest::newRow("dimension segment") << 31 << QPoint(0, 1) << 1;
}

void ChamberDrawingTest::drawsCrispLinesOfTheirWidth()
{
    QFETCH(int, line);
    QFETCH(QPoint, across);
    QFETCH(int, width);

    m_form->setLineColor(lineName(line), kRedColor);
    const QImage image = m_form->grab().toImage();
    const QPoint middle = kMidpoints[static_cast<std::size_t>(line - 1)];
    int covered = 0;
    for (int step = -3; step <= 3; ++step) {
        const QColor pixel = image.pixelColor(middle + step * across);
        QVERIFY2(pixel == kRedColor || pixel == kGreyColor, qPrintable(pixel.name()));
        covered += pixel == kRedColor ? 1 : 0;
    }
    QCOMPARE(covered, width);
}

void ChamberDrawingTest::drawingCaptionsFitTheirBoxes()
{
    for (int caption = 7; caption <= 16; ++caption) {
        const auto* label = m_form->findChild<QLabel*>(u"Label"_s + QString::number(caption));
        const QFontMetrics metrics(label->font());
        QCOMPARE(label->size(), QSize(17, 17));
        QVERIFY2(metrics.horizontalAdvance(label->text()) <= 17 && metrics.height() <= 17,
                 qPrintable(label->text()));
        QVERIFY(!label->font().bold());
    }
}

void ChamberDrawingTest::lightsTheRowOfTheClickedResult_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("field");
    QTest::addColumn<std::set<int>>("lit");

    QTest::newRow("L1") << u"Label22"_s << u"Text5"_s << std::set<int>{2, 3, 21};
    QTest::newRow("L2") << u"Label21"_s << u"Text6"_s << std::set<int>{28};
    QTest::newRow("L3") << u"Label20"_s << u"Text7"_s << std::set<int>{29};
    QTest::newRow("L4") << u"Label19"_s << u"Text8"_s << std::set<int>{12, 13, 30};
    QTest::newRow("L5") << u"Label18"_s << u"Text9"_s << std::set<int>{31};
    QTest::newRow("L6") << u"Label17"_s << u"Text10"_s << std::set<int>{16, 18, 32};
    QTest::newRow("D1") << u"Label23"_s << u"Text11"_s << std::set<int>{1, 4};
    QTest::newRow("D2") << u"Label24"_s << u"Text12"_s << std::set<int>{5};
    QTest::newRow("D3") << u"Label25"_s << u"Text13"_s << std::set<int>{10, 11};
    QTest::newRow("D4") << u"Label26"_s << u"Text14"_s << std::set<int>{17, 19};
    QTest::newRow("total length") << u"Label29"_s << u"Text16"_s << kDimensionChain;
}

void ChamberDrawingTest::lightsTheRowOfTheClickedResult()
{
    QFETCH(QString, caption);
    QFETCH(QString, field);
    QFETCH(std::set<int>, lit);

    perform(caption);
    verifyLit(lit);
    perform(u"background"_s);
    verifyLit({});
    perform(field);
    verifyLit(lit);
}

void ChamberDrawingTest::followsClickSequences_data()
{
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<std::set<int>>("lit");

    QTest::newRow("L1 then D1") << QStringList{u"Label22"_s, u"Label23"_s} << std::set<int>{1, 4};
    QTest::newRow("total then L2") << QStringList{u"Label29"_s, u"Label21"_s} << std::set<int>{28};
    QTest::newRow("L1 then total") << QStringList{u"Label22"_s, u"Label29"_s} << kDimensionChain;
    QTest::newRow("same caption twice") << QStringList{u"Label19"_s, u"Label19"_s} << std::set<int>{12, 13, 30};
    QTest::newRow("caption then field of another row")
        << QStringList{u"Label26"_s, u"Text7"_s} << std::set<int>{29};
    QTest::newRow("background before anything") << QStringList{u"background"_s} << std::set<int>{};
    QTest::newRow("L4 then background") << QStringList{u"Label19"_s, u"background"_s} << std::set<int>{};
    QTest::newRow("L4 then a segment counts as background")
        << QStringList{u"Label19"_s, u"line"_s} << std::set<int>{};
    QTest::newRow("D3 then Calcola") << QStringList{u"Label25"_s, u"Command1"_s} << std::set<int>{10, 11};
    QTest::newRow("Calcola then L2") << QStringList{u"Command1"_s, u"Label21"_s} << std::set<int>{28};
    QTest::newRow("L4 then L4 on the drawing") << QStringList{u"Label19"_s, u"Label14"_s} << std::set<int>{12, 13, 30};
    QTest::newRow("L4 then D3 on the drawing") << QStringList{u"Label19"_s, u"Label10"_s} << std::set<int>{12, 13, 30};
    QTest::newRow("L4 then an input caption") << QStringList{u"Label1"_s, u"Label19"_s, u"Label1"_s}
                                              << std::set<int>{12, 13, 30};
    QTest::newRow("L4 then the note") << QStringList{u"Label19"_s, u"Label27"_s} << std::set<int>{12, 13, 30};
    QTest::newRow("L4 then an input field") << QStringList{u"Label19"_s, u"Text1"_s} << std::set<int>{12, 13, 30};
    QTest::newRow("L4 then typing into a result field")
        << QStringList{u"Label19"_s, u"type:Text5"_s} << std::set<int>{12, 13, 30};
}

void ChamberDrawingTest::followsClickSequences()
{
    QFETCH(QStringList, actions);
    QFETCH(std::set<int>, lit);

    for (const QString& action : actions)
        perform(action);
    verifyLit(lit);
}

void ChamberDrawingTest::lineColoursAreAddressableByName()
{
    QVERIFY(!m_form->lineColor(u"Line33").isValid());
    QVERIFY(!m_form->lineColor(u"Text5").isValid());
    m_form->setLineColor(u"Line33", kRedColor);
    const QColor green(0x00FF00u);
    m_form->setLineColor(u"Line24", green);
    QCOMPARE(m_form->lineColor(u"Line24"), green);
    QCOMPARE(m_form->grab().toImage().pixelColor(kMidpoints[23]), green);
    m_form->Ripristina();
    QCOMPARE(m_form->lineColor(u"Line24"), green);  // extension lines are not reset
}

void ChamberDrawingTest::looksTheSameOnAnyDesktop_data()
{
    QTest::addColumn<QPalette>("desktopColors");
    QTest::addColumn<QFont>("desktopFont");

    QPalette magenta;
    for (int group = 0; group < QPalette::NColorGroups; ++group) {
        for (int role = 0; role < QPalette::NColorRoles; ++role)
            magenta.setColor(QPalette::ColorGroup(group), QPalette::ColorRole(role), Qt::magenta);
    }
    // Stranger than any dark scheme: no colour of the desktop's may show.
    QTest::newRow("every colour magenta") << magenta << QApplication::font();
    QFont italicSerif(u"DejaVu Serif"_s, 20);
    italicSerif.setItalic(true);
    QTest::newRow("a large italic serif font") << QApplication::palette() << italicSerif;
}

// The window paints its own surface, so whatever colours and font the desktop sets, it shows the
// same picture: here after "Calcola" with L4 lit.
void ChamberDrawingTest::looksTheSameOnAnyDesktop()
{
    QFETCH(QPalette, desktopColors);
    QFETCH(QFont, desktopFont);

    m_form.reset();
    const auto calculatedWithL4Lit = [this] {
        init();
        m_form->findChild<QPushButton*>(u"Command1"_s)->click();
        perform(u"Label19"_s);
        return m_form->grab().toImage();
    };
    const QImage standard = calculatedWithL4Lit();
    const QPalette standardColors = QApplication::palette();
    const QFont standardFont = QApplication::font();
    const auto restore = qScopeGuard([&] {
        QApplication::setPalette(standardColors);
        QApplication::setFont(standardFont);
    });
    QApplication::setPalette(desktopColors);
    QApplication::setFont(desktopFont);
    QCOMPARE(calculatedWithL4Lit(), standard);
}

QTEST_MAIN(ChamberDrawingTest)
#include "tst_chamberdrawing.moc"
