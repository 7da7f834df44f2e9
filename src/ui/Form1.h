// Scaricometro's one window: five engine figures in, "Calcola", eleven chamber dimensions out,
// and a drawing of the chamber that lights the part a result measures when it is clicked.
#pragma once

#include "ui/ChamberDrawing.h"

#include <QColor>
#include <QPointer>
#include <QString>
#include <QStringView>
#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QMessageBox;
class QPushButton;

namespace scaricometro {

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

public Q_SLOTS:
    // What "Calcola" does: tidy the decimal fields, read the inputs, compute, write the results.
    // On a failure no result changes; the user is told which field to mend.
    void calculate();

    // Puts the outline and the dimension chain back in their resting colours.
    void Ripristina();

protected:
    void changeEvent(QEvent* event) override;
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
    void reportProblem(const QString& message, QLineEdit* fieldToMend);
    void connectHighlights();
    void highlight(const HighlightRow& row);
    void paintLine(int line, const QColor& color);
    [[nodiscard]] bool isBackground(QPoint position) const;

    std::array<QWidget*, kControls.size()> m_controls{};  // in the order of kControls
    QPointer<QMessageBox> m_problemMessage;
    ChamberDrawing m_drawing;
    bool m_pressedOnBackground = false;
};

}  // namespace scaricometro
