// The group "Accordatura" of the waves' dialog: the rpm the chamber is to work at, which starts as
// the window's "Giri/min massimi", the button that tunes the chamber to it, and a line that tells
// how the search goes and what it found.
#pragma once

#include "ui/BendFields.h"

#include <QGroupBox>

#include <variant>

class QLabel;
class QLineEdit;
class QPushButton;

namespace scaricometro {

class TuningFields : public QGroupBox {
    Q_OBJECT

public:
    explicit TuningFields(QWidget* parent);

    // The window's rpm, written into the field unless the tuner has typed his own.
    void setWindowRpm(double rpm);
    // The target as typed, or why it cannot be tuned to.
    [[nodiscard]] std::variant<double, FieldProblem> read() const;
    [[nodiscard]] QLineEdit* targetField() const { return m_target; }
    [[nodiscard]] QLabel* line() const { return m_line; }

    void setSearching(bool searching);
    void tell(const QString& text);

Q_SIGNALS:
    void tuneAsked();

private:
    QLineEdit* m_target;
    QPushButton* m_tune;
    QLabel* m_line;
    bool m_typed = false;
};

}  // namespace scaricometro
