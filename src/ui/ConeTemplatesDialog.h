// Asks how the chamber's parts are to be made (sheet thickness, paper, pieces per cone, the bend of
// each section), and saves the templates as a PDF file where the user chooses, or every part as a
// cutting file into a folder; then opens the PDF in the desktop's viewer, or the folder in its
// file manager.
#pragma once

#include "cutfiles/CuttingFiles.h"
#include "sheets/ConeTemplates.h"
#include "ui/ProblemMessage.h"

#include <QDialog>
#include <QDir>

#include <array>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QFileDialog;
class QLineEdit;
class QSpinBox;

namespace scaricometro {

class ConeTemplatesDialog : public QDialog {
    Q_OBJECT

public:
    ConeTemplatesDialog(ChamberFigures figures, QWidget* parent);

    // Where the save dialogs first look: Documents, or home where there is none yet.
    [[nodiscard]] static QDir suggestedFolder();
    // Where the save dialog first proposes to write the PDF.
    [[nodiscard]] static QString suggestedPath();

private:
    void chooseFile();
    void chooseFolder();
    void save(const QString& path);
    void saveCuttingFiles(const QString& folder);
    void writeCuttingFiles(const QString& folder);
    [[nodiscard]] std::optional<TemplateOptions> readOptions();
    void refuse(const DevelopmentFailure& failure, const TemplateOptions& options);
    void refuseBend(const BendFailure& failure, const TemplateOptions& options);
    [[nodiscard]] QString whyNoDevelopment(const DevelopmentFailure& failure, const TemplateOptions& options) const;
    [[nodiscard]] QFileDialog* fileDialog(const QString& title);
    // After a save: the PDF or the folder opened where asked; whether it could be.
    [[nodiscard]] bool openIfAsked(const QString& path) const;

    ChamberFigures m_figures;
    QLineEdit* m_thickness;
    QComboBox* m_paper;
    QComboBox* m_pieces;
    QCheckBox* m_openWhenSaved;
    std::array<QLineEdit*, kChamberSections.size()> m_bendDegrees{};
    std::array<QSpinBox*, kChamberSections.size()> m_bendPieces{};
    std::optional<ConeTemplates> m_templates;  // planned, waiting for a file name
    ChamberDevelopment m_development;           // the parts' figures, for the message once saved
    std::vector<CuttingFile> m_cuttingFiles;    // drawn, waiting for a folder
    ProblemMessage m_problem;
};

}  // namespace scaricometro
