// The chamber drawing at the pixel level: every segment as painted, what each click lights or
// clears, and the whole window against the README's picture, read from the window as rendered.
#include "ui/Form1.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>

#include <algorithm>
#include <array>
#include <memory>
#include <set>

using namespace scaricometro;
using namespace Qt::StringLiterals;

namespace {

// Each segment's end points in window pixels, Line1 first. The outline, Line1 to Line19, is two
// pixels wide, the rest one.
struct Ends {
    QPoint from;
    QPoint to;
};
constexpr std::array<Ends, 32> kEnds{{
    {{72, 208}, {72, 224}},   {{112, 208}, {72, 208}},  {{112, 224}, {72, 224}},  {{112, 208}, {112, 224}},
    {{248, 200}, {248, 232}}, {{112, 224}, {248, 232}}, {{112, 208}, {248, 200}}, {{248, 200}, {352, 184}},
    {{352, 248}, {248, 232}}, {{352, 184}, {352, 248}}, {{392, 184}, {392, 248}}, {{352, 248}, {392, 248}},
    {{352, 184}, {392, 184}}, {{392, 184}, {488, 208}}, {{392, 248}, {488, 224}}, {{488, 208}, {592, 208}},
    {{488, 224}, {488, 208}}, {{488, 224}, {592, 224}}, {{592, 224}, {592, 208}}, {{72, 208}, {72, 160}},
    {{72, 160}, {112, 160}},  {{592, 160}, {592, 208}}, {{112, 208}, {112, 160}}, {{248, 200}, {248, 160}},
    {{352, 184}, {352, 160}}, {{392, 184}, {392, 160}}, {{488, 208}, {488, 160}}, {{112, 160}, {248, 160}},
    {{248, 160}, {352, 160}}, {{352, 160}, {392, 160}}, {{392, 160}, {488, 160}}, {{488, 160}, {592, 160}},
}};
const std::set<int> kDimensionChain{21, 28, 29, 30, 31, 32};
constexpr QPoint kBackground{640, 40};
const QColor kBlackColor(0x000000u);
const QColor kBlueColor(0x0000FFu);
const QColor kRedColor(0xFF0000u);

QString lineName(int line)
{
    return u"Line"_s + QString::number(line);
}

const Ends& endsOf(int line)
{
    return kEnds[static_cast<std::size_t>(line - 1)];
}

QPoint midpoint(int line)
{
    return (endsOf(line).from + endsOf(line).to) / 2;
}

}  // namespace

class ChamberDrawingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void startsInStartColours();
    void paintsEverySegmentAsLaidOut();
    void drawingCaptionsFitTheirBoxes();
    void lightsTheRowOfTheClickedResult_data();
    void lightsTheRowOfTheClickedResult();
    void followsClickSequences_data();
    void followsClickSequences();
    void rightButtonOpensTheMenu_data();
    void rightButtonOpensTheMenu();
    void lineColoursAreAddressableByName();
    void matchesTheReferencePictureOnAnyDesktop_data();
    void matchesTheReferencePictureOnAnyDesktop();

private:
    [[nodiscard]] QPoint pointOf(const QString& target) const;
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

// The middle of a control, by its name; "background" and "line" are where there is no control,
// beside and on a segment.
QPoint ChamberDrawingTest::pointOf(const QString& target) const
{
    if (target == u"background"_s)
        return kBackground;
    if (target == u"line"_s)
        return midpoint(6);
    const QWidget* control = m_form->findChild<QWidget*>(target);
    return control->mapTo(m_form.get(), control->rect().center());
}

// A target clicks it, "A>B" presses on A and releases on B, both through the window as a mouse
// would; "right:" and "middle:" before them press that button instead, and close the menu it
// opens; "type:TextN" types into a field.
void ChamberDrawingTest::perform(const QString& action)
{
    if (action.startsWith(u"type:"_s)) {
        QTest::keyClicks(m_form->textField(action.mid(5)), u"12,5"_s);
        return;
    }
    const std::pair<QString, Qt::MouseButton> buttons[] = {{u"right:"_s, Qt::RightButton}, {u"middle:"_s, Qt::MiddleButton}};
    Qt::MouseButton button = Qt::LeftButton;
    QString path = action;
    for (const auto& [prefix, other] : buttons) {
        if (action.startsWith(prefix)) {
            button = other;
            path = action.mid(prefix.size());
        }
    }
    const QStringList targets = path.split(u'>');
    QTest::mousePress(m_form->windowHandle(), button, {}, pointOf(targets.first()));
    QTest::mouseRelease(m_form->windowHandle(), button, {}, pointOf(targets.last()));
    if (QWidget* menu = QApplication::activePopupWidget())
        menu->close();
}

// Every segment on screen: red where lit, else the outline black and the rest blue.
void ChamberDrawingTest::verifyLit(const std::set<int>& lit)
{
    const QImage image = m_form->grab().toImage();
    for (int line = 1; line <= 32; ++line) {
        const QColor expected = lit.count(line) ? kRedColor : line <= 19 ? kBlackColor : kBlueColor;
        const QColor onScreen = image.pixelColor(midpoint(line));
        QVERIFY2(onScreen == expected, qPrintable(lineName(line) + u" is "_s + onScreen.name()));
        QCOMPARE(m_form->lineColor(lineName(line)), expected);
    }
}

void ChamberDrawingTest::startsInStartColours()
{
    verifyLit({});
}

// Each segment painted alone, every other one transparent, crisp: from end to end, with a square
// cap one pixel short of its width, and as many pixels across as its width.
void ChamberDrawingTest::paintsEverySegmentAsLaidOut()
{
    for (int line = 1; line <= 32; ++line) {
        for (int other = 1; other <= 32; ++other)
            m_form->setLineColor(lineName(other), other == line ? kRedColor : QColor(Qt::transparent));
        const QImage image = m_form->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QRect painted;
        int pixels = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) == kRedColor.rgb()) {
                    painted |= QRect(x, y, 1, 1);
                    ++pixels;
                }
            }
        }
        const int width = line <= 19 ? 2 : 1;
        const QRect ends = QRect(endsOf(line).from, QSize(1, 1)) | QRect(endsOf(line).to, QSize(1, 1));
        const QRect expected = ends.adjusted(1 - width, 1 - width, 0, 0);
        QVERIFY2(painted == expected && pixels == width * std::max(painted.width(), painted.height()),
                 qPrintable(u"%1 covers %2 pixels within %3,%4 %5x%6"_s.arg(lineName(line)).arg(pixels)
                                .arg(painted.x()).arg(painted.y()).arg(painted.width()).arg(painted.height())));
    }
}

void ChamberDrawingTest::drawingCaptionsFitTheirBoxes()
{
    for (int caption = 7; caption <= 16; ++caption) {
        const auto* label = m_form->findChild<QLabel*>(u"Label"_s + QString::number(caption));
        const QFontMetrics metrics(label->font());
        QVERIFY2(metrics.horizontalAdvance(label->text()) <= 17 && metrics.height() <= 17,
                 qPrintable(label->text()));
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
    // A click counts only where the press and the release land on one target.
    QTest::newRow("L4, then pressed on two points of the background")
        << QStringList{u"Label19"_s, u"background>line"_s} << std::set<int>{};
    for (const QString& target : {u"Label22"_s, u"Text5"_s, u"Label29"_s, u"Text16"_s}) {
        QTest::addRow("L4, then pressed on %s, released on the background", qPrintable(target))
            << QStringList{u"Label19"_s, target + u">background"_s} << std::set<int>{12, 13, 30};
        QTest::addRow("L4, then pressed on the background, released on %s", qPrintable(target))
            << QStringList{u"Label19"_s, u"background>"_s + target} << std::set<int>{12, 13, 30};
    }
    for (const QString& target : {u"Label1"_s, u"Label14"_s, u"Label27"_s, u"Text1"_s, u"Command1"_s})
        QTest::addRow("L4, then pressed on %s, released on the background", qPrintable(target))
            << QStringList{u"Label19"_s, target + u">background"_s} << std::set<int>{12, 13, 30};
    QTest::newRow("L4, then pressed on L1, released on D1")
        << QStringList{u"Label19"_s, u"Label22>Label23"_s} << std::set<int>{12, 13, 30};
    // Only the left button clicks: the others neither light a row nor clear one.
    for (const QString& button : {u"right:"_s, u"middle:"_s}) {
        for (const QString& target : {u"Label22"_s, u"Label25"_s, u"Label29"_s, u"Text5"_s, u"Text13"_s, u"Text16"_s}) {
            QTest::addRow("L4, then %s%s", qPrintable(button), qPrintable(target))
                << QStringList{u"Label19"_s, button + target} << std::set<int>{12, 13, 30};
        }
        for (const QString& target : {u"background"_s, u"line"_s, u"Label14"_s}) {
            QTest::addRow("L4, then %s%s", qPrintable(button), qPrintable(target))
                << QStringList{u"Label19"_s, button + target} << std::set<int>{12, 13, 30};
        }
    }
}

// The right button on the background and the drawing opens the menu of the templates, and
// changes no colour.
void ChamberDrawingTest::rightButtonOpensTheMenu_data()
{
    QTest::addColumn<QString>("target");

    for (const QString& target : {u"background"_s, u"line"_s, u"Label14"_s, u"Label19"_s})
        QTest::newRow(qPrintable(target)) << target;
}

void ChamberDrawingTest::rightButtonOpensTheMenu()
{
    QFETCH(QString, target);

    perform(u"Label19"_s);
    QTest::mousePress(m_form->windowHandle(), Qt::RightButton, {}, pointOf(target));
    QTest::mouseRelease(m_form->windowHandle(), Qt::RightButton, {}, pointOf(target));
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu);
    const auto close = qScopeGuard([menu] { menu->close(); });
    QCOMPARE(menu->actions().size(), 2);
    QCOMPARE(menu->actions().front()->text(), u"Costruzione della camera…"_s);
    QCOMPARE(menu->actions().back()->text(), u"Onde nella camera…"_s);
    verifyLit({12, 13, 30});
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
    QCOMPARE(m_form->grab().toImage().pixelColor(midpoint(24)), green);
    m_form->Ripristina();
    QCOMPARE(m_form->lineColor(u"Line24"), green);  // extension lines are not reset
}

void ChamberDrawingTest::matchesTheReferencePictureOnAnyDesktop_data()
{
    QTest::addColumn<QPalette>("desktopColors");
    QTest::addColumn<QFont>("desktopFont");

    QTest::newRow("this desktop") << QApplication::palette() << QApplication::font();
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

// The README's picture, made by scaricometro-snapshot: the window after "Calcola" with L4 lit,
// pixel for pixel. The window paints its own surface, so no colour or font of the desktop's shows.
// A failure leaves the differing pixels, magenta on the window as shown, in a picture of its own.
void ChamberDrawingTest::matchesTheReferencePictureOnAnyDesktop()
{
    if (QGuiApplication::platformName() == u"windows"_s)
        QSKIP("Windows rasterises text and draws the button in its own way; tests/windows compares the rest");
    QFETCH(QPalette, desktopColors);
    QFETCH(QFont, desktopFont);

    const QPalette standardColors = QApplication::palette();
    const QFont standardFont = QApplication::font();
    const auto restore = qScopeGuard([&] {
        QApplication::setPalette(standardColors);
        QApplication::setFont(standardFont);
    });
    QApplication::setPalette(desktopColors);
    QApplication::setFont(desktopFont);
    m_form.reset();
    init();
    m_form->findChild<QPushButton*>(u"Command1"_s)->click();
    perform(u"Label19"_s);
    m_form->focusWidget()->clearFocus();  // the snapshot shows the window before it is activated
    QImage shown = m_form->grab().toImage().convertToFormat(QImage::Format_RGB32);

    const QString referencePath = QStringLiteral(SCARICOMETRO_REFERENCE_PICTURE);
    const QImage reference = QImage(referencePath).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.size(), reference.size());
    QRect differing;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            if (shown.pixel(x, y) != reference.pixel(x, y)) {
                differing |= QRect(x, y, 1, 1);
                shown.setPixel(x, y, 0xFFFF00FF);
            }
        }
    }
    if (!differing.isEmpty()) {
        const QString differences = QDir::current().absoluteFilePath(
            u"differences-"_s + QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-') + u".png"_s);
        shown.save(differences);
        QFAIL(qPrintable(u"the window differs from %1 within %2,%3 %4x%5: see %6"_s.arg(referencePath)
                             .arg(differing.x()).arg(differing.y()).arg(differing.width()).arg(differing.height())
                             .arg(differences)));
    }
}

QTEST_MAIN(ChamberDrawingTest)
#include "tst_chamberdrawing.moc"
