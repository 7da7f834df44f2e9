// Asks how the cone templates are to be made (sheet thickness, paper, pieces per cone), and saves
// them as a PDF file where the user chooses, then opens it in the desktop's viewer.
#pragma once

#include "sheets/ConeTemplates.h"
#include "ui/ProblemMessage.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace scaricometro {

class ConeTemplatesDialog : public QDialog {
    Q_OBJECT

public:
    ConeTemplatesDialog(ChamberFigures figures, QWidget* parent);

    // Where the save dialog first proposes to write the file.
    [[nodiscard]] static QString suggestedPath();

private:
    void chooseFile();
    void save(const QString& path);
    [[nodiscard]] std::optional<TemplateOptions> readOptions();
    [[nodiscard]] QString whyNoTemplates(const ConeTemplates::Outcome& outcome, const TemplateOptions& options) const;

    ChamberFigures m_figures;
    QLineEdit* m_thickness;
    QComboBox* m_paper;
    QComboBox* m_pieces;
    QCheckBox* m_openWhenSaved;
    std::optional<ConeTemplates> m_templates;  // planned, waiting for a file name
    ProblemMessage m_problem;
};

}  // namespace scaricometro
