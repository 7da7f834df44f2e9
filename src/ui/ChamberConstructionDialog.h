// How the chamber is to be made (its sections, sheet thickness, paper, pieces per cone, the bend of
// each section and its plane), with a preview of the chamber as it is typed and where its outlet
// is, the bends found that bring the outlet where it is wanted on the bike; saves the templates as a PDF file
// where the user chooses, every part as a cutting file into a folder, or the chamber's 3D model
// and centre line into a folder, and opens the PDF in the desktop's viewer, or the folder in its
// file manager. It stays open after a save, so that the
// other files are saved from the same entries, and keeps them while the window runs.
#pragma once

#include "sheets/ChamberTemplates.h"
#include "ui/BendFields.h"
#include "ui/FitFields.h"
#include "ui/ProblemMessage.h"
#include "ui/SectionFields.h"
#include "ui/SheetFields.h"

#include <QDialog>
#include <QDir>

#include <optional>
#include <variant>

class QCheckBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QThread;

namespace scaricometro {

class ChamberBeingBuilt;
class ChamberPreview;
class FolderSaver;

class ChamberConstructionDialog : public QDialog {
    Q_OBJECT

public:
    // `built` is the chamber as built, which the dialog shows and changes.
    ChamberConstructionDialog(ChamberFigures figures, ChamberBeingBuilt* built, QWidget* parent);
    ~ChamberConstructionDialog() override;

    // The window's figures, read anew each time the dialog is opened.
    void setFigures(ChamberFigures figures);

    // Puts back what the last thing undoable changed: the bends a search wrote, or the sections
    // before the last tuning or return to the window's, whichever came last.
    void undo();

    // Where the save dialogs first look: Documents, or home where there is none yet.
    [[nodiscard]] static QDir suggestedFolder();
    // Where the save dialog first proposes to write the PDF.
    [[nodiscard]] static QString suggestedPath();

    // Whether a search for the bends is running.
    [[nodiscard]] bool isSearching() const { return m_search != nullptr; }

Q_SIGNALS:
    void searchFinished();

private:
    // The sections, in ChamberConstructionSections.cpp: the chamber as built shown in the fields,
    // a figure typed applied to it, or why it cannot be.
    void showChamber(bool undoable);
    void applySection(std::size_t figure);
    [[nodiscard]] std::optional<FieldProblem> sectionProblem(std::size_t figure, double thickness) const;
    // The saves, in ChamberConstructionSaves.cpp.
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
    // A figure in a message, to the window's five places.
    [[nodiscard]] static QString figure(double value);
    // After a save: the PDF or the folder opened where asked; whether it could be.
    [[nodiscard]] bool openIfAsked(const QString& path) const;

    ChamberFigures m_figures;
    ChamberBeingBuilt* m_built;
    SheetFields* m_sheet;
    SectionFields* m_sections;
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
    // Which of the two an undo takes back where both could be.
    enum class Undoable { Fit, Sections };
    Undoable m_lastUndoable = Undoable::Fit;
    std::optional<ChamberTemplates> m_templates;  // planned, waiting for a file name
    ProblemMessage m_problem;
    FolderSaver* m_folderSaver;
};

}  // namespace scaricometro
