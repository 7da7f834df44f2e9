// The sheet and the paper: the thickness of the sheet steel, the paper the templates are printed
// on, and how many pieces a straight cone is cut into.
#pragma once

#include "sheets/TemplatePlan.h"
#include "ui/BendFields.h"

#include <QWidget>

#include <vector>

class QComboBox;
class QLineEdit;

namespace scaricometro {

inline constexpr QStringView kThicknessCaption = u"Spessore lamiera (mm)";

class SheetFields : public QWidget {
    Q_OBJECT

public:
    explicit SheetFields(QWidget* parent);

    // The thickness, the paper and the pieces per cone into `options`; a thickness that cannot be
    // read is taken as 1 mm and its problem added to `problems`.
    void read(TemplateOptions& options, std::vector<FieldProblem>& problems) const;
    // The thickness as read() takes it, its problem left aside.
    [[nodiscard]] double thickness() const;
    [[nodiscard]] QLineEdit* thicknessField() const { return m_thickness; }
    [[nodiscard]] QString paperName() const;

Q_SIGNALS:
    void edited();

private:
    QLineEdit* m_thickness;
    QComboBox* m_paper;
    QComboBox* m_pieces;
};

}  // namespace scaricometro
