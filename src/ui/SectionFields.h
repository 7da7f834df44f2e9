// The group "Sezioni": the ten figures of the chamber as built (L1 to L6, D1 to D4, in mm), each
// with the window's figure in its tooltip; "Come la finestra", which puts every section back to the
// window's results; and the line that says which chamber is being built.
#pragma once

#include "model/BuiltChamber.h"
#include "ui/BendFields.h"

#include <QGroupBox>

#include <array>
#include <variant>

class QLabel;
class QLineEdit;
class QPushButton;

namespace scaricometro {

class SectionFields : public QGroupBox {
    Q_OBJECT

public:
    explicit SectionFields(QWidget* parent);

    // The chamber's figures written into the fields (but for one being typed into that still
    // reads as the same figure), the window's into the tooltips, and the line under them.
    void show(const BuiltChamber& chamber);
    // What field `figure` (into kSectionFigures) holds, or why it cannot be read.
    [[nodiscard]] std::variant<double, FieldProblem> read(std::size_t figure) const;
    // Whether field `figure` holds `value` as the fields write it, to their four decimals.
    [[nodiscard]] bool holds(std::size_t figure, double value) const;
    [[nodiscard]] QLineEdit* field(std::size_t figure) const { return m_fields[figure]; }
    // Tab from `previous` into the fields, along the lengths, then the diameters, then the button.
    void followInTabOrder(QWidget* previous) const;

Q_SIGNALS:
    // Field `figure` was typed into.
    void edited(std::size_t figure);
    // Return was pressed in field `figure`.
    void entered(std::size_t figure);
    void followWindowAsked();

private:
    std::array<QLineEdit*, kSectionFigures.size()> m_fields{};
    QPushButton* m_followWindow;
    QLabel* m_source;
    bool m_showing = false;  // writing the chamber's figures, which is no edit
};

}  // namespace scaricometro
