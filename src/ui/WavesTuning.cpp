// The waves' dialog's tuning: the search for the factor of L1 to L5 run off the dialog's thread from
// the band it has found, its steps told in words as they are made, the chamber as built tuned where
// a factor is found (one Ctrl+Z puts it back) or why none is, nothing changed; dropped by an edit
// or by closing the dialog.
#include "ui/WavesDialog.h"

#include "ui/ChamberBeingBuilt.h"
#include "ui/TuningFields.h"
#include "views/TuningTexts.h"
#include "views/WaveTexts.h"

#include <QTimer>

#include <thread>

namespace scaricometro {

void WavesDialog::tune()
{
    if (m_tuner)
        return;
    const std::variant<double, FieldProblem> read = m_tuning->read();
    if (const auto* problem = std::get_if<FieldProblem>(&read)) {
        m_problem.show(this, problem->message, problem->field);
        return;
    }
    if (m_restartTimer->isActive())
        restart();
    if (m_refusal) {
        m_problem.show(this, m_refusal->message, m_refusal->field);
        return;
    }
    // The search starts from the accord the band puts the chamber at: the same entries, the same search.
    if (!isComplete()) {
        m_problem.show(this, tr("Il calcolo della banda non è ancora finito: %1 regimi su %2. La ricerca parte "
                                "dall'accordo della camera com'è.\nRiprovare quando la barra è piena.")
                                 .arg(m_done)
                                 .arg(m_rpms.size()));
        return;
    }
    const double target = std::get<double>(read);
    std::optional<double> accordNow;
    if (m_plotData.bandFigures)
        accordNow = m_plotData.bandFigures->parabolaRpm.value_or(m_plotData.bandFigures->accordRpm);
    waves::TuningRequest request{*m_setup, m_figures.chamber.dimensions(), target, accordNow,
                                 std::max(1U, std::thread::hardware_concurrency())};
    const std::uint64_t generation = ++m_tuningGeneration;
    auto progress = [this, generation](const waves::TuningProgress& step) {
        QMetaObject::invokeMethod(this, [this, generation, step] { showTuning(generation, step); }, Qt::QueuedConnection);
    };
    auto finished = [this, generation, target](const waves::TuningOutcome& outcome) {
        QMetaObject::invokeMethod(
            this, [this, generation, outcome, target] { tuned(generation, outcome, target); }, Qt::QueuedConnection);
    };
    m_tuner = std::make_unique<waves::ChamberTuner>(std::move(request), std::move(progress), std::move(finished));
    m_tuning->setSearching(true);
    m_tuning->tell(tr("Accordatura a %1 giri/min in corso…").arg(groupedWhole(target)));
}

// The search stops within a cycle's work; what it reported and is still on its way is dropped.
void WavesDialog::stopTuning()
{
    if (!m_tuner)
        return;
    ++m_tuningGeneration;
    m_tuner.reset();
    m_tuning->setSearching(false);
    m_tuning->tell(tr("Accordatura interrotta: i dati sono cambiati."));
}

void WavesDialog::showTuning(std::uint64_t generation, const waves::TuningProgress& progress)
{
    if (generation == m_tuningGeneration)
        m_tuning->tell(tuningProgressSentence(progress));
}

void WavesDialog::tuned(std::uint64_t generation, const waves::TuningOutcome& outcome, double target)
{
    if (generation != m_tuningGeneration)
        return;
    m_tuner.reset();
    m_tuning->setSearching(false);
    if (const auto* failure = std::get_if<waves::TuningFailure>(&outcome)) {
        m_tuning->tell(tuningFailureSentence(*failure, target));
    } else {
        const auto& found = std::get<waves::TuningFound>(outcome);
        m_tuning->tell(tuningFoundSentence(found, target) + tr(" Ctrl+Z rimette la camera di prima."));
        // The band of the chamber before, to be drawn behind the tuned one's.
        m_bandBeforeTuning = m_plotData.band;
        m_built->tune({target, found.factor, found.accord.bestRpm, found.accord.parabolaRpm});
    }
    Q_EMIT tuningFinished();
}

void WavesDialog::undo()
{
    if (m_built->undo())
        m_tuning->tell({});
}

}  // namespace scaricometro
