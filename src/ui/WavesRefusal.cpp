#include "ui/WavesRefusal.h"

#include "ui/ChamberFields.h"
#include "ui/EngineFields.h"
#include "views/QtText.h"
#include "views/WaveTexts.h"
#include "waves/Gas.h"

#include <QCoreApplication>

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;
using waves::EngineFigures;
using waves::EngineRefusal;

constexpr int kPlaces = 5;

QString tr(const char* text)
{
    return QCoreApplication::translate("WavesDialog", text);
}

// What the messages need of the window: its captions, as it shows them, and its figures.
struct Window {
    const ChamberInputs& inputs;
    const ChamberFigures& figures;

    [[nodiscard]] QString caption(double ChamberInputs::*value) const
    {
        for (std::size_t i = 0; i < kInputFields.size(); ++i) {
            if (kInputFields[i].value == value)
                return figures.inputs.value(static_cast<qsizetype>(i)).label;
        }
        return {};
    }
};

// `why` names the window's field as "%1".
FieldProblem inWindow(const Window& window, double ChamberInputs::*value, const QString& why)
{
    return {why.arg(window.caption(value)) + u'\n'
                + tr("Correggerlo nella finestra del programma e riaprire \"Onde nella camera\"."),
            nullptr};
}

// `why` names the dialog's field as "%1".
FieldProblem inDialog(const EngineFields& fields, double EngineFigures::*value, const QString& why)
{
    return {why.arg(rowFor(kEngineFields, value).caption), fields.field(value)};
}

FieldProblem whyNoEngine(EngineRefusal refusal, const Window& window, const EngineFigures& engine,
                         const EngineFields& fields)
{
    const QString mustBePositive = tr("\"%1\" deve essere maggiore di zero.");
    switch (refusal) {
    case EngineRefusal::ExhaustDurationOutOfRange:
        return inWindow(window, &ChamberInputs::exhaustDuration, tr("\"%1\" deve essere maggiore di 0 e minore di 360."));
    case EngineRefusal::WaveSpeedOutOfRange:
        return inWindow(window, &ChamberInputs::waveSpeed,
                        tr("Le onde si calcolano con \"%1\" da %2 a %3 m/s: la velocità del suono nei gas di scarico, "
                           "dall'aria fredda ai gas più caldi.")
                            .arg(u"%1"_s, groupedWhole(waves::kSlowestWave), groupedWhole(waves::kFastestWave)));
    case EngineRefusal::RpmOutOfRange:
        return inWindow(window, &ChamberInputs::maxRpm,
                        tr("Le onde si calcolano con \"%1\" da %2 a %3: sotto, ogni regime richiederebbe minuti di "
                           "calcolo; sopra, nessun motore a due tempi gira.")
                            .arg(u"%1"_s, groupedWhole(waves::kLowestRpm), groupedWhole(waves::kHighestRpm)));
    case EngineRefusal::StrokeNotPositive:
        return inWindow(window, &ChamberInputs::stroke, mustBePositive);
    case EngineRefusal::BoreNotPositive:
        return inDialog(fields, &EngineFigures::boreMm, mustBePositive);
    case EngineRefusal::RodNotLongerThanCrank:
        return inDialog(fields, &EngineFigures::rodMm,
                        tr("\"%1\" deve essere più lunga di metà della \"%2\", %3 mm: altrimenti l'albero non può "
                           "girare.")
                            .arg(u"%1"_s, window.caption(&ChamberInputs::stroke),
                                 decimals(window.inputs.stroke / 2, kPlaces)));
    case EngineRefusal::CompressionRatioNotAboveOne:
        return inDialog(fields, &EngineFigures::compressionRatio, tr("\"%1\" deve essere maggiore di 1."));
    case EngineRefusal::PortWidthNotPositive:
        return inDialog(fields, &EngineFigures::portWidthMm, mustBePositive);
    case EngineRefusal::PortWiderThanBore:
        return inDialog(fields, &EngineFigures::portWidthMm,
                        tr("\"%1\" non può superare \"%2\", %3 mm.")
                            .arg(u"%1"_s, rowFor(kEngineFields, &EngineFigures::boreMm).caption,
                                 decimals(engine.boreMm, kPlaces)));
    case EngineRefusal::TransferDurationNotPositive:
        return inDialog(fields, &EngineFigures::transferDuration, mustBePositive);
    case EngineRefusal::TransferLongerThanExhaust:
        return inDialog(fields, &EngineFigures::transferDuration,
                        tr("\"%1\" non può superare \"%2\" della finestra, %3: i travasi si aprono dopo lo scarico "
                           "e si chiudono prima.")
                            .arg(u"%1"_s, window.caption(&ChamberInputs::exhaustDuration),
                                 decimals(window.inputs.exhaustDuration, kPlaces)));
    case EngineRefusal::ReleaseNotAboveAtmosphere:
        return inDialog(fields, &EngineFigures::releasePressureBar,
                        tr("\"%1\" deve superare la pressione atmosferica, %2 bar assoluti.")
                            .arg(u"%1"_s, decimals(waves::kAtmosphere / waves::kPascalsPerBar, kPlaces)));
    }
    return {};
}

}  // namespace

FieldProblem whyNoWaves(const waves::SetupOutcome& outcome, const ChamberInputs& inputs, const ChamberFigures& window,
                        const EngineFigures& engine, const EngineFields& fields)
{
    const Window chamber{inputs, window};
    if (const auto* refusal = std::get_if<EngineRefusal>(&outcome))
        return whyNoEngine(*refusal, chamber, engine, fields);
    if (const auto* failure = std::get_if<waves::DuctFailure>(&outcome)) {
        return {ductFailureSentence(*failure) + u'\n'
                    + tr("Correggere i dati nella finestra del programma e riaprire \"Onde nella camera\"."),
                nullptr};
    }
    return {};
}

}  // namespace scaricometro
