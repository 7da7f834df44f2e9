// The dialogs the window opens, for the figures its inputs give, and how they are reached: a
// shortcut each, the background's menu, and the drawing's tooltip that tells of both.
#include "ui/Form1.h"

#include "model/NumberText.h"
#include "ui/ChamberBeingBuilt.h"
#include "ui/ChamberConstructionDialog.h"
#include "ui/ChamberFields.h"
#include "ui/WavesDialog.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QShortcut>
#include <QToolTip>

namespace scaricometro {
namespace {

// The platform's print key, which the desktop's theme gives once the application is running.
QKeySequence constructionShortcut()
{
    return QKeySequence(QKeySequence::Print);
}

// No standard key of Qt's, on any platform, nor a common one of the desktops and their
// applications: Ctrl+Shift+W closes a browser's or a terminal's window, Ctrl+Alt+W is taken by
// some desktops. "O" for "onde".
constexpr QKeyCombination kWavesShortcut = Qt::CTRL | Qt::SHIFT | Qt::Key_O;

}  // namespace

void Form1::connectDialogShortcuts()
{
    connect(new QShortcut(constructionShortcut(), this), &QShortcut::activated, this, &Form1::openChamberConstruction);
    connect(new QShortcut(QKeySequence(kWavesShortcut), this), &QShortcut::activated, this, &Form1::openWaves);
}

ChamberFigures Form1::figuresOf(const Chamber& chamber)
{
    if (m_built)
        m_built->setWindow(chamber.dimensions);
    else
        m_built = new ChamberBeingBuilt(chamber.dimensions, this);
    ChamberFigures figures;
    figures.chamber = m_built->chamber();
    for (const InputField& input : kInputFields) {
        figures.inputs.append({caption(input.caption)->text(),
                               QString::fromStdString(formatDecimalComma(chamber.inputs.*input.value))});
    }
    for (const ResultField& result : kResultFields)
        figures.results.append({caption(result.caption)->text(), result.textOf(chamber.dimensions)});
    return figures;
}

std::optional<ChamberFigures> Form1::chamberFigures()
{
    const std::optional<Chamber> chamber = readAndCompute();
    if (!chamber)
        return std::nullopt;
    return figuresOf(*chamber);
}

void Form1::openChamberConstruction()
{
    std::optional<ChamberFigures> figures = chamberFigures();
    if (!figures)
        return;
    if (m_construction)
        m_construction->setFigures(std::move(*figures));
    else
        m_construction = new ChamberConstructionDialog(std::move(*figures), m_built, this);
    m_construction->open();
}

void Form1::openWaves()
{
    const std::optional<Chamber> chamber = readAndCompute();
    if (!chamber)
        return;
    // The chamber as built is made with the figures, before the dialog is given it.
    ChamberFigures figures = figuresOf(*chamber);
    if (m_waves)
        m_waves->setChamber(chamber->inputs, std::move(figures));
    else
        m_waves = new WavesDialog(chamber->inputs, std::move(figures), m_built, this);
    // Beside the window rather than over it: the analysis takes seconds, in which the window stays
    // free, and closing the window, the program's last, ends the program and the analysis with it.
    m_waves->show();
    m_waves->raise();
    m_waves->activateWindow();
}

// The dialogs are reached from nothing on the window's surface, so the drawing tells of them.
bool Form1::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    if (const QRect drawing = ChamberDrawing::bounds(); drawing.contains(help->pos())) {
        QToolTip::showText(help->globalPos(),
                           tr("Costruzione della camera, sagome in PDF e file DXF per il taglio: %1\n"
                              "Onde nella camera, pressioni e banda dei regimi: %2\n"
                              "O il tasto destro sul disegno o sullo sfondo")
                               .arg(constructionShortcut().toString(QKeySequence::NativeText),
                                    QKeySequence(kWavesShortcut).toString(QKeySequence::NativeText)),
                           this, drawing);
    } else {
        QToolTip::hideText();
        event->ignore();
    }
    return true;
}

// On the background, the drawing and the captions: a field keeps its own menu.
void Form1::contextMenuEvent(QContextMenuEvent* event)
{
    if (QWidget* under = childAt(event->pos()); under && !qobject_cast<QLabel*>(under)) {
        event->ignore();
        return;
    }
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    connect(menu->addAction(tr("Costruzione della camera…")), &QAction::triggered, this, &Form1::openChamberConstruction);
    connect(menu->addAction(tr("Onde nella camera…")), &QAction::triggered, this, &Form1::openWaves);
    menu->popup(event->globalPos());
}

}  // namespace scaricometro
