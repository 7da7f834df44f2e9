// The waves in the chamber as built, for the engine the tuner types: the port's pressure over a
// cycle at the typed speed, the plug and the suction over the band of speeds around it, the wave
// diagram, and what they mean in words; the cycle and the band as CSV files, the whole as a PDF.
// The analysis runs on worker threads, the typed speed first, and each speed is drawn as it is
// ready; an edit starts it again, closing the dialog stops it. "Accorda la camera" tunes the
// chamber to an rpm, off the dialog's thread, and shows the band it had before faintly behind the
// new one. The dialog keeps its entries while the window runs.
#pragma once

#include "cutfiles/FolderSave.h"
#include "sheets/TemplatePlan.h"
#include "ui/BendFields.h"
#include "ui/ProblemMessage.h"
#include "views/WavePlots.h"
#include "waves/ChamberTuning.h"
#include "waves/WaveAnalysis.h"

#include <QDialog>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QFileDialog;
class QLabel;
class QProgressBar;
class QTimer;

namespace scaricometro {

class ChamberBeingBuilt;
class EngineFields;
class FolderSaver;
class TuningFields;
class WavePlotView;

class WavesDialog : public QDialog {
    Q_OBJECT

public:
    // `inputs` as the window reads them, `figures` as it shows them; `built` is the chamber as
    // built, which the dialog analyses and tunes.
    WavesDialog(const ChamberInputs& inputs, ChamberFigures figures, ChamberBeingBuilt* built, QWidget* parent);
    ~WavesDialog() override;

    // The window's figures, read anew each time the dialog is opened; the analysis starts again.
    void setChamber(const ChamberInputs& inputs, ChamberFigures figures);

    // Every speed's run is over.
    [[nodiscard]] bool isComplete() const;
    // Why the entries and the window's figures make no analysis, as shown under the entries.
    [[nodiscard]] std::optional<QString> refusal() const;
    // The cycle and the band as the CSV files "Esporta CSV…" saves, once the analysis is complete
    // and the typed speed's run has not broken down; none otherwise.
    [[nodiscard]] std::optional<std::vector<FileToSave>> csvFiles() const;

    // What the analysis now running, or the last one, is of; none where the entries make none.
    [[nodiscard]] const waves::WaveSetup* setup() const { return m_setup ? &*m_setup : nullptr; }
    // Whether a tuning is being searched for.
    [[nodiscard]] bool isTuning() const { return m_tuner != nullptr; }

    // Closing stops the analysis and any tuning.
    void done(int result) override;

public Q_SLOTS:
    // The analysis begun again from the entries as they are now; where they make none, why is
    // shown under the entries. A tuning being searched for is dropped.
    void restart();
    // Tunes the chamber to the rpm typed under "Accordatura", once the band is complete.
    void tune();
    // Puts back the chamber's sections as they were before the last tuning or return to the
    // window's.
    void undo();

Q_SIGNALS:
    // The typed speed's run is over and drawn.
    void typedSpeedShown();
    // The last speed's run is over.
    void analysisComplete();
    // A tuning has ended, with a chamber tuned or why there is none.
    void tuningFinished();

private:
    void stop();
    // The tuning, in WavesTuning.cpp.
    void stopTuning();
    void showTuning(std::uint64_t generation, const waves::TuningProgress& progress);
    void tuned(std::uint64_t generation, const waves::TuningOutcome& outcome, double target);
    void receive(std::uint64_t generation, std::size_t index, const waves::RpmOutcome& outcome);
    void showResults();
    void showProblem(const std::optional<FieldProblem>& problem);
    // Why the results cannot be saved yet, told to the user; false where they can.
    [[nodiscard]] bool refusedToSave();
    void exportCsv();
    void choosePdf();
    void savePdf(const QString& path);
    [[nodiscard]] QFileDialog* fileDialog(const QString& title);

    ChamberInputs m_inputs;
    ChamberFigures m_figures;
    ChamberBeingBuilt* m_built;
    EngineFields* m_engine;
    TuningFields* m_tuning;
    QLabel* m_accord;
    QLabel* m_peaks;
    QLabel* m_settling;
    QLabel* m_failures;
    QLabel* m_assumptions;
    QLabel* m_problemNote;
    QProgressBar* m_progress;
    std::vector<WavePlotView*> m_plots;
    QTimer* m_restartTimer;
    ProblemMessage m_problem;
    FolderSaver* m_folderSaver;

    // What the analysis now running, or the last one, was made from and has found. A report from
    // an analysis begun before the last restart carries an older generation and is dropped.
    std::uint64_t m_generation = 0;
    std::optional<FieldProblem> m_refusal;
    std::optional<waves::WaveSetup> m_setup;
    waves::EngineFigures m_engineFigures;
    std::vector<double> m_rpms;
    std::size_t m_typedIndex = 0;
    std::vector<std::optional<waves::RpmOutcome>> m_outcomes;
    std::size_t m_done = 0;
    std::optional<waves::RpmResult> m_typed;
    WavePlotData m_plotData;
    // The band of the chamber before the tuning that made it, drawn behind its own while the chamber
    // is that tuning's and the engine and the window's figures are those it was found with.
    std::vector<waves::BandPoint> m_bandBeforeTuning;
    std::uint64_t m_tuningGeneration = 0;
    std::unique_ptr<waves::ChamberTuner> m_tuner;
    std::unique_ptr<waves::WaveAnalysis> m_analysis;  // last, so that it stops before the rest goes
};

}  // namespace scaricometro
