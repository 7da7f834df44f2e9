#include "views/TuningTexts.h"

#include "views/QtText.h"
#include "views/WaveTexts.h"

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

constexpr int kFactorPlaces = 4;

// "tra 0,5 e 2"
QString factorRange()
{
    return u"tra %1 e %2"_s.arg(decimals(waves::kLeastTuningFactor, 1), decimals(waves::kMostTuningFactor, 1));
}

QString nearest(const waves::TuningFailure& failure)
{
    if (!failure.nearestFactor || !failure.nearestAccordRpm)
        return {};
    return u" Il più vicino trovato: accordata a %1 giri/min con %2."_s.arg(groupedWhole(*failure.nearestAccordRpm),
                                                                          factorText(*failure.nearestFactor));
}

}  // namespace

QString factorText(double factor)
{
    return u"L1–L%1 × %2"_s.arg(kTunedLengths).arg(fixedDecimals(factor, kFactorPlaces));
}

QString tuningProgressSentence(const waves::TuningProgress& progress)
{
    if (const auto* step = std::get_if<waves::TuningStep>(&progress)) {
        const QString accord = step->beyondSweep ? u"accordata oltre %1"_s : u"accordata a %1"_s;
        return u"passo %1: %2, %3"_s.arg(step->number).arg(factorText(step->factor), accord.arg(groupedWhole(step->accordRpm)));
    }
    const auto& check = std::get<waves::TuningCheck>(progress);
    return u"verifica su tutta la banda con %1: %2 regimi di %3"_s.arg(factorText(check.factor))
        .arg(check.done)
        .arg(check.count);
}

QString tuningFoundSentence(const waves::TuningFound& found, double targetRpm)
{
    return u"Camera accordata a %1 giri/min con %2, in %3 passi."_s.arg(groupedWhole(targetRpm), factorText(found.factor))
        .arg(found.steps);
}

QString tuningFailureSentence(const waves::TuningFailure& failure, double targetRpm)
{
    const QString target = groupedWhole(targetRpm);
    QString why;
    switch (failure.reason) {
    case waves::TuningFailure::Reason::AboveReach:
        why = u"Nessun fattore %1 accorda la camera a %2 giri/min: anche la più corta lavora più in basso."_s;
        break;
    case waves::TuningFailure::Reason::BelowReach:
        why = u"Nessun fattore %1 accorda la camera a %2 giri/min: anche la più lunga lavora più in alto."_s;
        break;
    case waves::TuningFailure::Reason::NoAccordAt:
        why = u"Nessun fattore %1 accorda la camera a %2 giri/min: l'accordo salta da una parte all'altra del "
              u"regime voluto, o il tappo non ha un massimo vicino."_s;
        break;
    case waves::TuningFailure::Reason::BrokeDown:
        why = u"Nessun fattore %1 accorda la camera a %2 giri/min: il calcolo non è riuscito a nessun regime vicino."_s;
        break;
    }
    return why.arg(factorRange(), target) + nearest(failure) + u" La camera non è cambiata."_s;
}

}  // namespace scaricometro
