#include "views/WaveTexts.h"

#include "model/NumberText.h"
#include "views/QtText.h"
#include "waves/Gas.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

constexpr QChar kNoBreakSpace = u'\u00A0';
constexpr int kDigitsPerGroup = 3;
constexpr int kPeakBarPlaces = 2;
constexpr int kLengthPlaces = 1;

constexpr double kCelsiusZero = 273.15;  // K

// "647 K (374 °C)"
QString wallTemperatureText(double kelvin)
{
    return u"%1 K (%2 °C)"_s.arg(decimals(kelvin, 0), decimals(kelvin - kCelsiusZero, 0));
}

QString rpmText(double rpm)
{
    return groupedWhole(rpm);
}

QString degreesText(double degrees)
{
    return decimals(degrees, 0) + u'°';
}

// The whole degrees from `from` to `to`, both taken in where they fall on one.
struct DegreeSpan {
    std::size_t first;
    std::size_t last;
};

DegreeSpan wholeDegrees(double from, double to)
{
    const auto clamp = [](double degrees) {
        return static_cast<std::size_t>(std::clamp(degrees, 0.0, static_cast<double>(waves::kDegreesPerCycle)));
    };
    return {clamp(std::ceil(from)), clamp(std::floor(to))};
}

// "L2", "L2 e L4", "L2, L4 e L5".
QString sectionList(const std::vector<std::size_t>& sections)
{
    QStringList names;
    for (const std::size_t section : sections)
        names.append(u"L%1"_s.arg(section + 1));
    if (names.size() < 2)
        return names.join(QString());
    const QString last = names.takeLast();
    return names.join(u", "_s) + u" e "_s + last;
}

}  // namespace

QString groupedWhole(double value)
{
    QString digits = QString::fromStdString(formatRounded(value, DecimalPlaces(0)));
    const qsizetype start = digits.startsWith(u'-') ? 1 : 0;
    for (qsizetype at = digits.size() - kDigitsPerGroup; at > start; at -= kDigitsPerGroup)
        digits.insert(at, kNoBreakSpace);
    return digits;
}

QString barText(double pascals, int places)
{
    return QString::fromStdString(formatFixed(pascals / waves::kPascalsPerBar, DecimalPlaces(places)));
}

QString accordSentence(const std::optional<waves::Band>& band, double typedRpm)
{
    const QString typed = u"richiesti "_s + rpmText(typedRpm);
    if (!band) {
        return u"Nessun accordo: il tappo (TC–EC) non sale mai sopra la pressione atmosferica tra %1 e %2 giri/min; %3"_s
            .arg(rpmText(typedRpm * waves::kSweepFromShare), rpmText(typedRpm * waves::kSweepToShare), typed);
    }
    QString sentence = u"Accordata a %1 giri/min"_s.arg(rpmText(band->accordRpm));
    if (band->parabolaRpm)
        sentence += u" (%1 dalla parabola)"_s.arg(rpmText(*band->parabolaRpm));
    sentence += u"; banda %1–%2"_s.arg(rpmText(band->lowRpm), rpmText(band->highRpm));
    if (band->lowIsSweepEnd && band->highIsSweepEnd)
        sentence += u" e forse oltre da entrambe le parti (è tutta la prova)"_s;
    else if (band->lowIsSweepEnd)
        sentence += u" e forse più in basso (la prova comincia a %1)"_s.arg(rpmText(band->lowRpm));
    else if (band->highIsSweepEnd)
        sentence += u" e forse più in alto (la prova finisce a %1)"_s.arg(rpmText(band->highRpm));
    return sentence + u"; "_s + typed;
}

QString peaksSentence(const waves::RpmResult& result, const waves::PortTiming& timing)
{
    const auto& port = result.trace.port;
    const DegreeSpan open = wholeDegrees(timing.exhaustOpens, timing.exhaustCloses);
    const DegreeSpan returning = wholeDegrees(timing.bottomDeadCentre, timing.exhaustCloses);
    if (open.first > open.last || returning.first > returning.last)
        return {};
    const auto begin = port.begin();
    const auto lowest = std::min_element(begin + static_cast<std::ptrdiff_t>(open.first),
                                         begin + static_cast<std::ptrdiff_t>(open.last) + 1);
    const auto highest = std::max_element(begin + static_cast<std::ptrdiff_t>(returning.first),
                                          begin + static_cast<std::ptrdiff_t>(returning.last) + 1);
    return u"Aspirazione più profonda a %1 (%2 bar, la più bassa tra EO ed EC); picco dell'onda di ritorno a %3 "
           u"(%4 bar, il più alto tra PMI ed EC)"_s
        .arg(degreesText(static_cast<double>(lowest - begin)), barText(*lowest, kPeakBarPlaces),
             degreesText(static_cast<double>(highest - begin)), barText(*highest, kPeakBarPlaces));
}

QString settlingSentence(const waves::RpmResult& result)
{
    const QString cycles = result.cycles == 1 ? u"1 ciclo"_s : u"%1 cicli"_s.arg(result.cycles);
    const QString rule = u"%1 cicli di fila entro lo %2 %"_s.arg(waves::kSettledCyclesInARow)
                             .arg(decimals(100 * waves::kSettledShareOfRange, 1));
    QString sentence;
    switch (result.settling) {
    case waves::Settling::Periodic:
        sentence = u"Periodico dopo %1 (%2): ogni ciclo ripete il precedente"_s.arg(cycles, rule);
        break;
    case waves::Settling::Alternating:
        sentence = u"Due cicli alternati dopo %1 (%2): ciascuno ripete quello di due cicli prima; è mostrato quello "
                   u"con il tappo più alto"_s.arg(cycles, rule);
        break;
    case waves::Settling::Unsettled:
        sentence = u"Non assestato in %1 (mai %2): è mostrato l'ultimo"_s.arg(cycles, rule);
        break;
    }
    sentence += u"; temperatura media nel tubo %1 K, velocità del suono media %2 m/s"_s.arg(
        decimals(result.meanTemperature, 0), decimals(result.meanSoundSpeed, 0));
    if (result.wallTemperature > 0)
        sentence += u"; parete a %1"_s.arg(wallTemperatureText(result.wallTemperature));
    return sentence;
}

QString failureSentence(const waves::FlowFailure& failure)
{
    const QString quantity = failure.quantity == waves::BrokenQuantity::Density ? u"la densità"_s : u"la pressione"_s;
    const QString where = failure.inCylinder
        ? u"nel cilindro"_s
        : u"nel tubo a %1 mm dalla luce"_s.arg(decimals(failure.atMm, 0));
    return u"Calcolo interrotto a %1 giri/min: %2 %3 sarebbe scesa a zero o sotto, a %4 del ciclo %5. "
           u"Controllare le quote della camera e i dati del motore."_s
        .arg(rpmText(failure.rpm), quantity, where, degreesText(failure.crankAngle))
        .arg(failure.cycle);
}

QString assumptionsSentence(const waves::Duct& duct, double wallTemperature)
{
    const QString wall = wallTemperature > 0
        ? u"Il calcolo tiene conto dell'attrito e dello scambio di calore con la parete a %1"_s.arg(
              wallTemperatureText(wallTemperature))
        : u"Il calcolo trascura l'attrito alle pareti e lo scambio di calore"_s;
    QString sentence = wall + u"; il flusso dei travasi non è calcolato (se ne disegnano solo le fasi); le curve sono "
                              u"trattate come tratti diritti"_s;
    const std::vector<std::size_t>& leftOut = duct.leftOut();
    if (!leftOut.empty()) {
        sentence += (leftOut.size() == 1 ? u"; lasciato fuori perché di lunghezza zero: "_s
                                         : u"; lasciati fuori perché di lunghezza zero: "_s)
            + sectionList(leftOut);
    }
    return sentence + u'.';
}

QString ductFailureSentence(const waves::DuctFailure& failure)
{
    switch (failure.reason) {
    case waves::DuctRefusal::TooShort:
        return u"La camera è lunga in tutto %1 mm: per calcolarne le onde ne servono almeno %2. "
               u"Controllare i dati della finestra da cui sono ricavate le lunghezze L1…L6."_s
            .arg(decimals(failure.lengthMm, kLengthPlaces), decimals(waves::kShortestDuctMm, 0));
    case waves::DuctRefusal::TooLong:
        return u"La camera è lunga in tutto %1 mm: oltre %2 mm il calcolo delle onde durerebbe troppo a lungo. "
               u"Controllare i dati della finestra da cui sono ricavate le lunghezze L1…L6."_s
            .arg(decimals(failure.lengthMm, kLengthPlaces), decimals(waves::kLongestDuctMm, 0));
    case waves::DuctRefusal::DiameterNotPositive:
        return u"L%1 ha un diametro di zero o meno: le onde hanno bisogno di un tubo aperto in ogni tratto. "
               u"Controllare i dati della finestra da cui è ricavato."_s
            .arg(failure.section + 1);
    }
    return {};
}

}  // namespace scaricometro
