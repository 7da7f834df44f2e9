// Thousands of random clicks, key presses and pasted texts on the real window, from a fixed
// seed (printed; SCARICOMETRO_SEED picks another, SCARICOMETRO_STEPS another length), with the
// window's promises checked after every step:
//  - at most one message is open, and at most one highlight row is lit, the extension lines
//    blue and every other segment in its resting colour; keys and pastes change no colour;
//  - an input field changes only when it has the focus and is typed or pasted into, or when a
//    calculation turns its points into commas;
//  - the results stay as they were, or only the focused one changes by typing, or all of them
//    show what a calculation on the current inputs gives.
#include "model/ChamberModel.h"
#include "model/NumberText.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTest>

#include <algorithm>
#include <array>
#include <optional>
#include <random>
#include <set>

using namespace scaricometro;
using namespace Qt::StringLiterals;

namespace {

// The window's expected behaviour, written out here and not taken from its tables.
// A "." typed where the point is a comma becomes ","; elsewhere it can only group thousands.
struct Input { QString field; double ChamberInputs::*value; bool pointIsComma; };
const std::array<Input, 5> kInputs{{
    {u"Text1"_s, &ChamberInputs::exhaustDuration, false},
    {u"Text2"_s, &ChamberInputs::waveSpeed, false},
    {u"Text3"_s, &ChamberInputs::maxRpm, false},
    {u"Text4"_s, &ChamberInputs::stroke, true},
    {u"Text15"_s, &ChamberInputs::headerDiameter, true},
}};
// Each result field with its figure, and the segments that a click on it or its caption lights.
struct Result { QString field; double ChamberDimensions::*value; std::set<int> lit; };
const std::array<Result, 11> kResults{{
    {u"Text5"_s, &ChamberDimensions::L1, {2, 3, 21}},
    {u"Text6"_s, &ChamberDimensions::L2, {28}},
    {u"Text7"_s, &ChamberDimensions::L3, {29}},
    {u"Text8"_s, &ChamberDimensions::L4, {12, 13, 30}},
    {u"Text9"_s, &ChamberDimensions::L5, {31}},
    {u"Text10"_s, &ChamberDimensions::L6, {16, 18, 32}},
    {u"Text11"_s, &ChamberDimensions::D1, {1, 4}},
    {u"Text12"_s, &ChamberDimensions::D2, {5}},
    {u"Text13"_s, &ChamberDimensions::D3, {10, 11}},
    {u"Text14"_s, &ChamberDimensions::D4, {17, 19}},
    {u"Text16"_s, &ChamberDimensions::totalLength, {21, 28, 29, 30, 31, 32}},
}};
constexpr int kLines = 32;
constexpr int kOutlineLines = 19;  // Line1 to Line19 rest black, the others blue
const std::set<int> kExtensionLines{20, 22, 23, 24, 25, 26, 27};

struct Snapshot {
    QStringList inputs;
    QStringList results;
    std::array<QColor, kLines> lines;
    qsizetype openMessages = 0;
};

enum class Action { Click, Key, Paste, TypeFigure, CloseMessage };

struct Step {
    Action action;
    const QWidget* typedInto = nullptr;  // the field that keys, a paste or a figure went to
};

// The results a successful calculation on these inputs shows, or none when it fails.
std::optional<QStringList> calculatedResults(const QStringList& inputs)
{
    ChamberInputs values;
    for (std::size_t i = 0; i < kInputs.size(); ++i) {
        const auto value = parseDecimalComma(inputs.at(static_cast<qsizetype>(i)).toStdString(),
                                             kInputs[i].pointIsComma ? ThousandsPoints::Rejected : ThousandsPoints::Accepted);
        if (!value)
            return std::nullopt;
        values.*kInputs[i].value = *value;
    }
    const ChamberOutcome outcome = computeChamber(values);
    if (!std::holds_alternative<ChamberDimensions>(outcome))
        return std::nullopt;
    QStringList texts;
    for (const Result& result : kResults) {
        const double value = std::get<ChamberDimensions>(outcome).*result.value;
        texts.append(QString::fromStdString(formatRounded(value, DecimalPlaces{5})));
    }
    return texts;
}

}  // namespace

class RandomUseTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void keepsItsPromisesUnderRandomUse();

private:
    [[nodiscard]] Snapshot snapshot() const;
    Step performRandomStep();
    void verifyStep(const Snapshot& before, const Snapshot& after, Step step);

    std::unique_ptr<Form1> m_form;
    std::mt19937 m_random;
    QStringList m_pastes;
    std::array<int, 5> m_actions{};
    int m_calculations = 0;
    int m_refusals = 0;
};

Snapshot RandomUseTest::snapshot() const
{
    Snapshot state;
    for (const Input& input : kInputs)
        state.inputs.append(m_form->textField(input.field)->text());
    for (const Result& result : kResults)
        state.results.append(m_form->textField(result.field)->text());
    for (int line = 1; line <= kLines; ++line)
        state.lines[static_cast<std::size_t>(line - 1)] = m_form->lineColor(u"Line"_s + QString::number(line));
    for (const QMessageBox* box : m_form->findChildren<QMessageBox*>())
        state.openMessages += box->isVisible() ? 1 : 0;
    return state;
}

Step RandomUseTest::performRandomStep()
{
    const auto chance = [this](int percent) { return static_cast<int>(m_random() % 100) < percent; };
    if (QWidget* box = QApplication::activeModalWidget(); box && chance(80)) {
        QTest::keyClick(box, chance(50) ? Qt::Key_Return : Qt::Key_Escape);
        return {Action::CloseMessage};
    }

    const int kind = static_cast<int>(m_random() % 100);
    if (kind < 30) {
        // Any control, or a point of the window that may be background, a segment or a control.
        const QList<QWidget*> controls = m_form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        if (chance(70)) {
            QWidget* control = controls.at(static_cast<qsizetype>(m_random() % static_cast<unsigned>(controls.size())));
            QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(static_cast<int>(m_random() % static_cast<unsigned>(control->width())),
                                                                  static_cast<int>(m_random() % static_cast<unsigned>(control->height()))));
        } else {
            QTest::mouseClick(m_form.get(), Qt::LeftButton, {},
                              QPoint(static_cast<int>(m_random() % 674), static_cast<int>(m_random() % 493)));
        }
        return {Action::Click};
    }

    if (kind < 65) {
        // What a tuner does most: click an input, select it all and type a figure over it.
        static const char* const figures[] = {"203", "190", "510", "12000", "12.000", "9000", "39,3", "39.3",
                                              "54.5", "11,8", "29", "29.5", "32", "0", "-5", "1.5.2"};
        QLineEdit* field = m_form->textField(kInputs[m_random() % kInputs.size()].field);
        QTest::mouseClick(field, Qt::LeftButton);
        if (QApplication::focusWidget() != field)
            return {Action::Click};  // a message still holds the window
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, QString::fromLatin1(figures[m_random() % std::size(figures)]));
        if (chance(50))
            QTest::keyClick(field, Qt::Key_Return);
        return {Action::TypeFigure, field};
    }

    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : m_form.get();
    if (kind < 90) {
        static const char typed[] = "0123456789,.-+eE a";
        static const std::array<std::pair<Qt::Key, Qt::KeyboardModifiers>, 14> keys{{
            {Qt::Key_Backspace, {}}, {Qt::Key_Delete, {}}, {Qt::Key_Left, {}}, {Qt::Key_Right, {}},
            {Qt::Key_Home, {}}, {Qt::Key_End, {}}, {Qt::Key_Tab, {}}, {Qt::Key_Backtab, Qt::ShiftModifier},
            {Qt::Key_Return, {}}, {Qt::Key_Enter, Qt::KeypadModifier}, {Qt::Key_Escape, {}},
            {Qt::Key_A, Qt::ControlModifier}, {Qt::Key_Z, Qt::ControlModifier}, {Qt::Key_X, Qt::ControlModifier},
        }};
        if (chance(60)) {
            QTest::keyClick(target, typed[m_random() % (sizeof typed - 1)]);
        } else {
            const auto& [key, modifiers] = keys[m_random() % keys.size()];
            QTest::keyClick(target, key, modifiers);
        }
        return {Action::Key, target};
    }

    // A megabyte only now and then: every later key in that field lays the whole text out again.
    const qsizetype choice = chance(1) ? 0 : 1 + static_cast<qsizetype>(m_random() % static_cast<unsigned>(m_pastes.size() - 1));
    QGuiApplication::clipboard()->setText(m_pastes.at(choice));
    QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
    return {Action::Paste, target};
}

void RandomUseTest::verifyStep(const Snapshot& before, const Snapshot& after, Step step)
{
    QVERIFY(after.openMessages <= 1);
    m_refusals += after.openMessages > before.openMessages ? 1 : 0;

    // Colours: every segment red or resting, extension lines always blue, and exactly one row
    // lit or none; keys and pastes leave them alone.
    std::set<int> lit;
    for (int line = 1; line <= kLines; ++line) {
        const QColor& color = after.lines[static_cast<std::size_t>(line - 1)];
        const QColor resting = line <= kOutlineLines ? QColor(Qt::black) : QColor(Qt::blue);
        QVERIFY2(color == resting || (color == Qt::red && !kExtensionLines.count(line)), qPrintable(QString::number(line)));
        if (color == Qt::red)
            lit.insert(line);
    }
    QVERIFY2(lit.empty() || std::any_of(kResults.begin(), kResults.end(), [&lit](const Result& r) { return r.lit == lit; }),
             "the lit segments are not one row of the highlight table");
    if (step.action == Action::Key || step.action == Action::Paste)
        QVERIFY(after.lines == before.lines);
    ++m_actions[static_cast<std::size_t>(step.action)];

    // Inputs: typed into while focused, or normalised by a calculation.
    for (std::size_t i = 0; i < kInputs.size(); ++i) {
        const auto at = static_cast<qsizetype>(i);
        const QString normalised = QString(before.inputs.at(at)).replace(u'.', u',');
        const bool editedHere = step.typedInto == m_form->textField(kInputs[i].field);
        QVERIFY2(after.inputs.at(at) == before.inputs.at(at) || editedHere
                     || (kInputs[i].pointIsComma && after.inputs.at(at) == normalised),
                 qPrintable(kInputs[i].field));
    }

    // Results: unchanged, or only the focused one typed into, or all of them calculated.
    if (after.results == before.results)
        return;
    qsizetype changed = 0;
    bool onlyTheTypedOne = true;
    for (std::size_t i = 0; i < kResults.size(); ++i) {
        if (after.results.at(static_cast<qsizetype>(i)) != before.results.at(static_cast<qsizetype>(i))) {
            ++changed;
            onlyTheTypedOne = onlyTheTypedOne && step.typedInto == m_form->textField(kResults[i].field);
        }
    }
    if (changed == 1 && onlyTheTypedOne)
        return;
    QCOMPARE(after.results, calculatedResults(after.inputs).value_or(QStringList()));
    ++m_calculations;
}

// The offscreen platform warns each time a message box opens; that says nothing about the window.
QtMessageHandler g_testHandler = nullptr;
void dropSizeHintWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!message.contains(u"propagateSizeHints"_s))
        g_testHandler(type, context, message);
}

void RandomUseTest::keepsItsPromisesUnderRandomUse()
{
    g_testHandler = qInstallMessageHandler(dropSizeHintWarnings);
    const auto restoreHandler = qScopeGuard([] { qInstallMessageHandler(g_testHandler); });
    const unsigned seed = qEnvironmentVariableIsSet("SCARICOMETRO_SEED")
        ? static_cast<unsigned>(qEnvironmentVariableIntValue("SCARICOMETRO_SEED")) : 20261208u;
    const int steps = qEnvironmentVariableIsSet("SCARICOMETRO_STEPS") ? qEnvironmentVariableIntValue("SCARICOMETRO_STEPS") : 4000;
    qInfo("seed %u, %d steps", seed, steps);
    m_random.seed(seed);
    m_pastes = QStringList{
        QString(1 << 20, u'7'),  // a megabyte
        u"12,5"_s, u"39.3"_s, u"-"_s, u","_s, QString(), u" \t"_s, u"1\n2"_s,
        QStringLiteral("\x01\x02\x7f"), u"ñèü"_s, u"١٢٣"_s, u"１２"_s, u"12.000"_s, u"1.234.567,8"_s,
        u"1e308"_s, u"0"_s, u"-0"_s, QString(400, u'9'), u"€ 5"_s, u"😀"_s,
    };

    m_form = std::make_unique<Form1>();
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));

    for (int step = 0; step < steps; ++step) {
        const Snapshot before = snapshot();
        const Step done = performRandomStep();
        QApplication::processEvents();
        // As a window manager would, give the window back its activation once a message closes:
        // the offscreen platform leaves no window active then.
        if (!QApplication::activeWindow()) {
            m_form->activateWindow();
            QApplication::processEvents();
        }
        verifyStep(before, snapshot(), done);
        if (QTest::currentTestFailed()) {
            qWarning("failed at step %d of seed %u", step, seed);
            return;
        }
    }
    qInfo("%d steps passed: %d clicks, %d keys, %d pastes, %d figures typed, %d messages closed; "
          "%d calculations shown, %d refused with a message",
          steps, m_actions[0], m_actions[1], m_actions[2], m_actions[3], m_actions[4], m_calculations, m_refusals);
    m_form.reset();
}

QTEST_MAIN(RandomUseTest)
#include "tst_randomuse.moc"
