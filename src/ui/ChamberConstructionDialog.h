// How the chamber is to be made (sheet thickness, paper, pieces per cone, the bend of each section
// and its plane), with a preview of the chamber as it is typed and where its outlet is, the bends
// found that bring the outlet where it is wanted on the bike; saves the templates as a PDF file
// where the user chooses, every part as a cutting file into a folder, or the chamber's 3D model
// and centre line into a folder, and opens the PDF in the desktop's viewer, or the folder in its
// file manager. It stays open after a save, so that the
// other files are saved from the same entries, and keeps them while the window runs.
#pragma once

#include "sheets/ChamberTemplates.h"
#include "ui/BendFields.h"
#include "ui/FitFields.h"
#include "ui/ProblemMessage.h"

#include <QDialog>
#include <QDir>

#include <optional>
#include <variant>

class QCheckBox;
class QComboBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QThread;

namespace scaricometro {

class ChamberPreview;
class FolderSaver;

class ChamberConstructionDialog : public QDialog {
    Q_OBJECT

public:
    ChamberConstructionDialog(ChamberFigures figures, QWidget* parent);
    ~ChamberConstructionDialog() override;

    // The window's figures, read anew each time the dialog is opened.
    void setFigures(ChamberFigures figures);

    // Where the save dialogs first look: Documents, or home where there is none yet.
    [[nodiscard]] static QDir suggestedFolder();
    // Where the save dialog first proposes to write the PDF.
    [[nodiscard]] static QString suggestedPath();

    // Whether a search for the bends is running.
    [[nodiscard]] bool isSearching() const { return m_search != nullptr; }

Q_SIGNALS:
    void searchFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void chooseFile();
    void chooseCuttingFolder();
    void chooseModelFolder();
    void save(const QString& path);
    void updatePreview();
    void showOutlet(const ChamberRoute& route);
    // The fit, in ChamberConstructionFit.cpp: the search started off the dialog's thread, its
    // bends written or why there are none, and the bends put back as they were.
    void findBends();
    void showFit(const FitOutcome& outcome, const FitRequest& request, const ChamberDevelopment& development, int edits);
    void undoFit();
    [[nodiscard]] QString whyNotFound(const FitFailure& failure, const FitRequest& request, const ChamberRoute& nearest) const;
    // The entries as typed; a field that cannot be read is taken as its default, and its problem
    // added to `problems`, in the order of the fields.
    [[nodiscard]] TemplateOptions readEntries(std::vector<FieldProblem>& problems) const;
    // The same, the first problem told to the user; none where there is one.
    [[nodiscard]] std::optional<TemplateOptions> readOptions();
    void refuse(const DevelopmentFailure& failure, const TemplateOptions& options);
    void refuseBend(const BendFailure& failure, const TemplateOptions& options);
    [[nodiscard]] QString whyNoDevelopment(const DevelopmentFailure& failure, const TemplateOptions& options) const;
    [[nodiscard]] QString whyNoBend(std::size_t section, PieCuts::Refusal reason, const SectionBend& bend) const;
    [[nodiscard]] QFileDialog* fileDialog(const QString& title);
    // After a save: the PDF or the folder opened where asked; whether it could be.
    [[nodiscard]] bool openIfAsked(const QString& path) const;

    ChamberFigures m_figures;
    QLineEdit* m_thickness;
    QComboBox* m_paper;
    QComboBox* m_pieces;
    BendFields* m_bends;
    FitFields* m_fit;
    QCheckBox* m_openWhenSaved;
    ChamberPreview* m_preview;
    QLabel* m_previewNote;
    QLabel* m_outletLine;
    QLabel* m_fitNote;
    QThread* m_search = nullptr;
    int m_edits = 0;  // the edits so far, so that a search's result for other entries is dropped
    bool m_writingFit = false;
    std::optional<BendFields::Snapshot> m_beforeFit;
    std::optional<ChamberTemplates> m_templates;  // planned, waiting for a file name
    ProblemMessage m_problem;
    FolderSaver* m_folderSaver;
};

}  // namespace scaricometro
