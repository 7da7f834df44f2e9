// Scaricometro's one window: five engine figures in, "Calcola", eleven chamber dimensions out,
// and a drawing of the chamber that lights the part a result measures when it is clicked; from it
// the chamber's construction and its waves open in dialogs of their own.
#pragma once

#include "sheets/TemplatePlan.h"
#include "ui/ChamberDrawing.h"
#include "ui/ProblemMessage.h"

#include <QColor>
#include <QPointer>
#include <QString>
#include <QStringView>
#include <QWidget>

#include <array>
#include <optional>

class QContextMenuEvent;

class QLabel;
class QLineEdit;
class QPushButton;

namespace scaricometro {

class ChamberBeingBuilt;
class ChamberConstructionDialog;
class WavesDialog;

class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);

    // The text field called `name` ("Text1" ... "Text16"), or null.
    [[nodiscard]] QLineEdit* textField(QStringView name) const;

    // The colour the segment called `name` ("Line1" ... "Line32") is drawn in; invalid for any
    // other name. Setting it repaints the segment.
    [[nodiscard]] QColor lineColor(QStringView name) const;
    void setLineColor(QStringView name, const QColor& color);

    // The inputs read and the chamber computed as "Calcola" does, without writing any field,
    // labelled as the window shows them. On a failure the user is told which field to mend, and
    // there are none.
    [[nodiscard]] std::optional<ChamberFigures> chamberFigures();

public Q_SLOTS:
    // What "Calcola" does: tidy the decimal fields, read the inputs, compute, write the results.
    // On a failure no result changes; the user is told which field to mend.
    void calculate();

    // Puts the outline and the dimension chain back in their resting colours.
    void Ripristina();

    // Opens the dialog that previews the chamber and saves its templates and cutting files, for
    // the figures the inputs give now, with the entries left in it the last time.
    void openChamberConstruction();

    // Opens the dialog of the waves in the chamber the inputs give now, with the engine's entries
    // left in it the last time, and starts their analysis.
    void openWaves();

protected:
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void fitSizeToState();
    void createControls();
    [[nodiscard]] QWidget* control(QStringView name) const;
    [[nodiscard]] QLineEdit* field(FieldName name) const;
    [[nodiscard]] QLabel* caption(CaptionName name) const;
    [[nodiscard]] QPushButton* button(ButtonName name) const;
    void setTabOrderByIndex();
    void labelFieldsWithTheirCaptions();
    struct Chamber {
        ChamberInputs inputs;
        ChamberDimensions dimensions;
    };
    [[nodiscard]] std::optional<Chamber> readAndCompute();
    // The inputs and results as the window shows them, and the chamber as built, which follows
    // `chamber` while it is the window's.
    [[nodiscard]] ChamberFigures figuresOf(const Chamber& chamber);
    void connectDialogShortcuts();
    void connectHighlights();
    void highlight(const HighlightRow& row);
    void paintLine(int line, const QColor& color);
    [[nodiscard]] bool isBackground(QPoint position) const;

    std::array<QWidget*, kControls.size()> m_controls{};  // in the order of kControls
    ProblemMessage m_problem;
    ChamberDrawing m_drawing;
    bool m_pressedOnBackground = false;
    ChamberBeingBuilt* m_built = nullptr;                // made with the first dialog
    QPointer<ChamberConstructionDialog> m_construction;  // made when first asked for
    QPointer<WavesDialog> m_waves;                       // likewise
};

}  // namespace scaricometro
