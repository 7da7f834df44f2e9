// Builds the window from its control table, carries out the calculate command, and paints and
// highlights the chamber drawing.
#include "ui/Form1.h"

#include "model/ChamberModel.h"
#include "ui/ChamberBeingBuilt.h"
#include "ui/ChamberFields.h"
#include "ui/ClickWatcher.h"
#include "ui/ControlLayout.h"
#include "ui/TextField.h"
#include "ui/WindowLook.h"

#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>

#include <algorithm>
#include <initializer_list>
#include <variant>
#include <vector>

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

// Every size of the icon compiled in, read as the PNGs they are: left to recognise the files
// itself, Qt would load each of its image format plugins first.
QIcon iconAtEverySize()
{
    const QString folder = QStringLiteral(":/icons/");
    QIcon icon;
    for (const QString& file : QDir(folder).entryList()) {
        QImageReader png(folder + file, "png");
        png.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(png.read()));
    }
    return icon;
}

using RoleFonts = std::array<QFont, kFontRoleCount>;

RoleFonts fontsForEveryRole()
{
    RoleFonts fonts;
    for (std::size_t role = 0; role < fonts.size(); ++role)
        fonts[role] = fontFor(static_cast<FontRole>(role));
    return fonts;
}

// The text comes last, once the control has its font, so that it is laid out once. Controls in
// the window's own font take it from the window.
template <typename Widget>
Widget* withFontAndText(Widget* widget, const Control& control, const RoleFonts& fonts)
{
    if (control.font != FontRole::Window)
        widget->setFont(fonts[static_cast<std::size_t>(control.font)]);
    widget->setText(control.text.toString());
    return widget;
}

QWidget* createControl(const Control& control, const RoleFonts& fonts, QWidget* parent)
{
    switch (control.kind) {
    case ControlKind::Caption: {
        auto* label = new QLabel(parent);
        label->setAlignment(control.alignment | Qt::AlignTop);
        label->setWordWrap(true);
        label->setAutoFillBackground(true);
        if (control.textColor) {
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, QColor::fromRgb(*control.textColor));
            label->setPalette(palette);
        }
        return withFontAndText(label, control, fonts);
    }
    case ControlKind::Field: {
        auto* field = new TextField(parent);
        field->setAlignment(control.alignment);
        return withFontAndText(field, control, fonts);
    }
    case ControlKind::Button: {
        auto* button = new QPushButton(parent);
        button->setAutoDefault(true);  // Return and Enter press it when it has the focus
        return withFontAndText(button, control, fonts);
    }
    }
    return nullptr;
}

}  // namespace

Form1::Form1(QWidget* parent)
    : QWidget(parent)
{
    setWindowTitle(kWindowTitle.toString());
    setWindowIcon(iconAtEverySize());
    setGeometry(toPixels(kClientArea));
    fitSizeToState();
    setFont(fontFor(FontRole::Window));
    setPalette(windowColorScheme());
    setAutoFillBackground(true);

    createControls();
    setTabOrderByIndex();
    labelFieldsWithTheirCaptions();

    for (const InputField& input : kInputFields)
        connect(field(input.field), &QLineEdit::returnPressed, this, &Form1::calculate);
    connect(button(u"Command1"), &QPushButton::clicked, this, &Form1::calculate);
    connectHighlights();

    connectDialogShortcuts();
}

QLineEdit* Form1::textField(QStringView name) const
{
    return qobject_cast<QLineEdit*>(control(name));
}

QWidget* Form1::control(QStringView name) const
{
    const std::optional<std::size_t> index = controlIndex(name);
    return index ? m_controls[*index] : nullptr;
}

// The tables name their controls by kind, checked as they compile, so these casts hold.
QLineEdit* Form1::field(FieldName name) const
{
    return static_cast<QLineEdit*>(m_controls[name.index()]);
}

QLabel* Form1::caption(CaptionName name) const
{
    return static_cast<QLabel*>(m_controls[name.index()]);
}

QPushButton* Form1::button(ButtonName name) const
{
    return static_cast<QPushButton*>(m_controls[name.index()]);
}

QColor Form1::lineColor(QStringView name) const
{
    const std::optional<int> line = ChamberDrawing::lineNumber(name);
    return line ? m_drawing.color(*line) : QColor();
}

void Form1::setLineColor(QStringView name, const QColor& color)
{
    if (const std::optional<int> line = ChamberDrawing::lineNumber(name))
        paintLine(*line, color);
}

void Form1::createControls()
{
    const RoleFonts fonts = fontsForEveryRole();
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const Control& control = kControls[i];
        QWidget* widget = createControl(control, fonts, this);
        m_controls[i] = widget;
        widget->setObjectName(control.name.toString());
        widget->setGeometry(toPixels(control.box));
        // Fields and the button lie above the captions where their boxes touch.
        if (control.kind == ControlKind::Caption)
            widget->lower();
    }
}

void Form1::setTabOrderByIndex()
{
    std::vector<std::size_t> stops;
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        if (kControls[i].kind != ControlKind::Caption)
            stops.push_back(i);
    }
    std::sort(stops.begin(), stops.end(),
              [](std::size_t a, std::size_t b) { return kControls[a].tabIndex < kControls[b].tabIndex; });
    for (std::size_t i = 1; i < stops.size(); ++i)
        setTabOrder(m_controls[stops[i - 1]], m_controls[stops[i]]);
    // The window opens with the focus where the tab order begins.
    m_controls[stops.front()]->setFocus();
}

// A caption that is a field's buddy gives the field its accessible name, so a screen reader says
// "Corsa motore" or "L4" on entering it.
void Form1::labelFieldsWithTheirCaptions()
{
    for (const InputField& input : kInputFields)
        caption(input.caption)->setBuddy(field(input.field));
    for (const ResultField& result : kResultFields)
        caption(result.caption)->setBuddy(field(result.field));
}

void Form1::calculate()
{
    for (const InputField& input : kInputFields) {
        QLineEdit* typed = field(input.field);
        if (input.point == TypedPoint::DecimalComma && typed->text().contains(u'.'))
            typed->setText(typed->text().replace(u'.', u','));
    }

    const std::optional<Chamber> chamber = readAndCompute();
    if (!chamber)
        return;
    if (m_built)
        m_built->setWindow(chamber->dimensions);
    for (const ResultField& result : kResultFields) {
        const QString text = result.textOf(chamber->dimensions);
        // An unchanged result is left alone, so it is not repainted.
        if (QLineEdit* shown = field(result.field); shown->text() != text)
            shown->setText(text);
    }
}

std::optional<Form1::Chamber> Form1::readAndCompute()
{
    Chamber chamber;
    for (const InputField& input : kInputFields) {
        QLineEdit* typed = field(input.field);
        const std::optional<double> value = input.read(typed->text());
        if (!value) {
            m_problem.show(this, ProblemMessage::notANumber(caption(input.caption)->text(), u"39,3"_s), typed);
            return std::nullopt;
        }
        chamber.inputs.*input.value = *value;
    }

    const ChamberOutcome outcome = computeChamber(chamber.inputs);
    if (const auto* failure = std::get_if<ChamberFailure>(&outcome)) {
        switch (*failure) {
        case ChamberFailure::ZeroMaxRpm: {
            constexpr const InputField& rpm = rowFor(kInputFields, &ChamberInputs::maxRpm);
            m_problem.show(this, tr("\"%1\" deve essere un numero diverso da zero.").arg(caption(rpm.caption)->text()),
                           field(rpm.field));
            return std::nullopt;
        }
        case ChamberFailure::ResultOutOfRange:
            m_problem.show(this,
                           tr("Con questi dati i risultati escono dall'intervallo dei numeri che il "
                              "programma sa trattare.\nControllare i valori inseriti."),
                           field(kInputFields.front().field));
            return std::nullopt;
        }
    }
    chamber.dimensions = std::get<ChamberDimensions>(outcome);
    return chamber;
}

void Form1::connectHighlights()
{
    for (const HighlightRow& row : kHighlightRows) {
        const ResultField& result = rowFor(kResultFields, row.figure);
        for (QWidget* clickable : std::initializer_list<QWidget*>{caption(result.caption), field(result.field)}) {
            auto* watcher = new ClickWatcher(clickable);
            connect(watcher, &ClickWatcher::clicked, this, [this, &row] { highlight(row); });
        }
    }
}

void Form1::Ripristina()
{
    for (const RestingColor& resting : kRestingColors)
        resting.lines.forEach([this, &resting](int line) { paintLine(line, QColor::fromRgb(resting.color)); });
}

void Form1::highlight(const HighlightRow& row)
{
    // Nothing is repainted in between, so a segment in both the old and the new row stays red.
    Ripristina();
    row.lines.forEach([this](int line) { paintLine(line, QColor::fromRgb(kHighlightColor)); });
}

void Form1::paintLine(int line, const QColor& color)
{
    update(m_drawing.setColor(line, color));
}

void Form1::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    m_drawing.paint(painter, event->rect());
}

// In its normal state the window keeps the layout's size, and a window manager offers no
// resizing. Maximised or full screen it takes the size it is given, and so does every Wayland
// window: a compositor may require its configured size, and Qt ends the program when a window's
// limits refuse it. The layout stays where it is, and the rest shows the window colour.
void Form1::fitSizeToState()
{
    const bool takesAnySize = (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) != 0
        || QGuiApplication::platformName().startsWith(u"wayland");
    if (takesAnySize) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else {
        setFixedSize(toPixels(kClientArea).size());
    }
}

void Form1::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange)
        fitSizeToState();
    QWidget::changeEvent(event);
}

// The background is what lies under no control: the drawing's segments take no clicks, so a
// click on one reaches the background. Captions without an action of their own keep theirs.
bool Form1::isBackground(QPoint position) const
{
    return rect().contains(position) && childAt(position) == nullptr;
}

void Form1::mousePressEvent(QMouseEvent* event)
{
    m_pressedOnBackground = event->button() == Qt::LeftButton && isBackground(event->position().toPoint());
    QWidget::mousePressEvent(event);
}

void Form1::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_pressedOnBackground && isBackground(event->position().toPoint()))
        Ripristina();
    m_pressedOnBackground = false;
    QWidget::mouseReleaseEvent(event);
}

}  // namespace scaricometro
