// The group "Adatta alla moto": where the outlet's centre is wanted, in the data sheet's frame, the
// way it is to point if that matters, which sections may bend, and the button that finds the bends.
#pragma once

#include "model/ChamberFit.h"
#include "ui/BendFields.h"

#include <QGroupBox>

#include <array>
#include <optional>
#include <variant>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace scaricometro {

struct FitRequest {
    FitTarget target;
    FreeSections free{};
};

class FitFields : public QGroupBox {
    Q_OBJECT

public:
    explicit FitFields(QWidget* parent);

    // The target and the free sections as typed, or why they cannot be read.
    [[nodiscard]] std::variant<FitRequest, FieldProblem> read() const;
    // The wanted point, where the three fields can be read.
    [[nodiscard]] std::optional<Vector3> wantedPoint() const;
    [[nodiscard]] QPushButton* findButton() const { return m_find; }

Q_SIGNALS:
    void edited();
    void findAsked();

private:
    std::array<QLineEdit*, 3> m_point{};  // X, Y, Z
    QLineEdit* m_plan;
    QLineEdit* m_rise;
    std::array<QCheckBox*, kChamberSections.size()> m_free{};
    QPushButton* m_find;
};

}  // namespace scaricometro
