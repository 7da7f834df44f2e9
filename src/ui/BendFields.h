// The group "Curve": for each section, its bend in degrees, the pieces it is cut into, and the
// plane it bends in, read as the dialog's other figures are.
#pragma once

#include "model/ConeDevelopment.h"

#include <QGroupBox>
#include <QString>

#include <array>
#include <variant>
#include <vector>

class QLineEdit;
class QSpinBox;

namespace scaricometro {

// A field that cannot be read: what to tell the user, and the field to mend.
struct FieldProblem {
    QString message;
    QLineEdit* field = nullptr;
};

class BendFields : public QGroupBox {
    Q_OBJECT

public:
    explicit BendFields(QWidget* parent);

    // Every section's bend as typed; a row with a field that cannot be read is taken straight, and
    // the field's problem added to `problems`, in the order of the rows.
    [[nodiscard]] ChamberBends read(std::vector<FieldProblem>& problems) const;
    [[nodiscard]] QLineEdit* degreesField(std::size_t section) const { return m_rows[section].degrees; }

    // What each row holds as typed, to put back as it was.
    struct Typed {
        QString degrees;
        int pieces = 0;
        QString plane;
    };
    using Snapshot = std::array<Typed, kChamberSections.size()>;
    [[nodiscard]] Snapshot snapshot() const;
    void restore(const Snapshot& snapshot);
    // The row of `section` set to the bend, its degrees and plane written to as many decimals as
    // they have, up to `decimalPlaces`.
    void write(std::size_t section, const SectionBend& bend, int decimalPlaces);

Q_SIGNALS:
    void edited();

private:
    struct Row {
        QLineEdit* degrees = nullptr;
        QSpinBox* pieces = nullptr;
        QLineEdit* plane = nullptr;
    };

    // Row `section`'s bend, or why one of its fields cannot be read.
    [[nodiscard]] std::variant<SectionBend, FieldProblem> readRow(std::size_t section) const;
    // A plane means nothing to a straight section: its field is off while the bend is 0.
    void showPlaneInUse(const Row& row) const;

    std::array<Row, kChamberSections.size()> m_rows;
};

}  // namespace scaricometro
