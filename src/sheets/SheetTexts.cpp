#include "sheets/SheetTexts.h"

#include "views/TuningTexts.h"
#include "views/WaveTexts.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

// The chamber's sections as written beside the window's: to a tenth of a micrometre.
constexpr int kSectionPlaces = 4;

// The place of the section at `section` in kChamberSections among those of its shape.
std::size_t shapeIndex(std::size_t section)
{
    const SectionShape shape = kChamberSections[section].shape;
    return static_cast<std::size_t>(std::count_if(kChamberSections.begin(), kChamberSections.begin() + static_cast<std::ptrdiff_t>(section),
                                                  [&](const ChamberSection& other) { return other.shape == shape; }));
}

// The turned pieces, or the others, after the article for one piece or for more: "i pezzi 2, 4",
// "il pezzo 2".
QString pieceList(const PieCuts& cuts, bool turned, const QString& one, const QString& more)
{
    QStringList pieces;
    for (int piece = 1; piece <= cuts.pieces(); ++piece) {
        if (PieCuts::isTurned(piece) == turned)
            pieces.append(QString::number(piece));
    }
    return pieces.size() == 1 ? u"%1 pezzo %2"_s.arg(one, pieces.front()) : u"%1 pezzi %2"_s.arg(more, pieces.join(u", "_s));
}

QString jointDegrees(const PieCuts& cuts)
{
    return twoDecimals(2 * cuts.tilt() * 180 / std::numbers::pi);
}

// Where a bend goes: up or down the side view, where its plane is 0, or else the way it turns
// from the up carried along the pipe.
QString bendDirection(const SectionBend& bend)
{
    if (bend.plane == 0)
        return bend.degrees > 0 ? u"verso l'alto della vista"_s : u"verso il basso della vista"_s;
    const double towards = std::fmod(bend.degrees > 0 ? bend.plane : bend.plane + 180, 360);
    return u"verso %1° dall'alto (in senso orario, guardando lungo il tubo)"_s.arg(decimals(towards, 5));
}

}  // namespace

QString builtChamberLine(const BuiltChamber& chamber)
{
    QString line;
    switch (chamber.source()) {
    case ChamberSource::Window:
        return u"Camera della finestra"_s;
    case ChamberSource::Tuned:
        line = u"Camera accordata a %1 giri/min: %2"_s.arg(groupedWhole(chamber.tuning()->targetRpm),
                                                           factorText(chamber.tuning()->factor));
        break;
    case ChamberSource::ByHand: {
        QStringList changed;
        for (const std::size_t figure : chamber.changedFigures())
            changed.append(fromView(kSectionFigures[figure].name));
        line = changed.isEmpty() ? u"Camera cambiata a mano"_s : u"Camera cambiata a mano: %1"_s.arg(changed.join(u", "_s));
        break;
    }
    }
    if (chamber.windowChangedSince())
        line += u"; i risultati della finestra sono cambiati da allora"_s;
    return line;
}

QString sectionFigureText(std::size_t figure, const ChamberDimensions& dimensions)
{
    return fromView(kSectionFigures[figure].name) + u' '
        + fixedDecimals(dimensions.*kSectionFigures[figure].value, kSectionPlaces);
}

QStringList builtChamberDetails(const BuiltChamber& chamber)
{
    QStringList details;
    for (const std::size_t figure : chamber.changedFigures()) {
        details.append(u"%1 (finestra %2)"_s.arg(sectionFigureText(figure, chamber.dimensions()),
                                                 fixedDecimals(chamber.window().*kSectionFigures[figure].value,
                                                               kSectionPlaces)));
    }
    if (const std::optional<ChamberTuning>& tuning = chamber.tuning()) {
        QString accord = u"accordata a %1 giri/min"_s.arg(groupedWhole(tuning->accordRpm));
        if (tuning->parabolaRpm)
            accord += u" (%1 dalla parabola)"_s.arg(groupedWhole(*tuning->parabolaRpm));
        details.append(u"Accordatura: richiesti %1 giri/min, %2 della camera di prima, %3"_s.arg(
            groupedWhole(tuning->targetRpm), factorText(tuning->factor), accord));
    }
    return details;
}

QString millimetres(double value)
{
    return twoDecimals(value) + u" mm"_s;
}

QString figuresLine(const ChamberFigures& figures, double thickness)
{
    QStringList parts;
    for (const LabelledValue& input : figures.inputs)
        parts.append(input.label + u' ' + input.value);
    parts.append(u"Spessore lamiera "_s + decimals(thickness, 5) + u" mm"_s);
    return parts.join(u" · "_s);
}

QString sectorLine(const AnnularSector& sector, const ConePattern& cone)
{
    return u"R %1 · r %2 · angolo %3° · apotema %4 · corda esterna %5"_s.arg(
        millimetres(sector.outerRadius), millimetres(sector.innerRadius), twoDecimals(sector.angleDegrees),
        millimetres(cone.slant), millimetres(sector.outerChord()));
}

QString coneTitle(const ChamberSection& section)
{
    return u"Cono %1 (%2, da %3 a %4)"_s.arg(fromView(section.length), fromView(section.name),
                                             fromView(section.startDiameter), fromView(section.endDiameter));
}

const ConePattern& coneOf(const ChamberDevelopment& development, std::size_t section)
{
    return development.cones[shapeIndex(section)];
}

const CylinderDevelopment& cylinderOf(const ChamberDevelopment& development, std::size_t section)
{
    return development.cylinders[shapeIndex(section)];
}

QString sectionTitle(const ChamberSection& section, const ChamberDevelopment& development)
{
    if (section.shape == SectionShape::Cone)
        return coneTitle(section);
    return u"Tratto %1 (%2, %3 %4)"_s.arg(fromView(section.length), fromView(section.name), fromView(section.startDiameter),
                                         millimetres(cylinderOf(development, chamberIndex(section)).innerDiameter));
}

QString sectionName(std::size_t section)
{
    return fromView(kChamberSections[section].length) + u' ' + fromView(kChamberSections[section].name);
}

QString blankLine(const ChamberSection& section, const ChamberDevelopment& development)
{
    const CylinderDevelopment& cylinder = cylinderOf(development, chamberIndex(section));
    return u"sviluppo %1 × lunghezza %2"_s.arg(millimetres(cylinder.developedWidth), millimetres(cylinder.length));
}

QString piecesLine(const PieCuts& cuts, const SectionBend& bend)
{
    return u"Curvato di %1° in %2 pezzi, %3° a ogni giunto: tagliare lungo ogni linea nera e girare di mezzo giro "
           u"%4 prima di saldarli."_s.arg(decimals(std::abs(bend.degrees), 5), QString::number(cuts.pieces()),
                                                   jointDegrees(cuts), pieceList(cuts, true, u"il"_s, u"i"_s));
}

QString bendParagraph(std::size_t section, const PieCuts& cuts, const SectionBend& bend)
{
    QStringList steps;
    double along = cuts.section().length;
    double largest = 0;
    for (int joint = 1; joint < cuts.pieces(); ++joint) {
        steps.append(twoDecimals(cuts.step(joint)));
        along += cuts.step(joint);
        largest = std::max(largest, cuts.step(joint));
    }
    // A cylinder's joints are square across its axis: its centre line does not step.
    const QString stepping = largest < 0.005 ? u"la linea d'asse non fa passi"_s
                                             : u"passo della linea d'asse ai giunti %1 mm"_s.arg(steps.join(u" · "_s));
    return u"%1 %2: %3° %4 in %5 pezzi; %6° a ogni giunto, %7; "
           u"lunghezza lungo la linea d'asse %8. Saldatura longitudinale all'esterno della curva %9; "
           u"all'interno, dopo il mezzo giro, %10."_s.arg(
               fromView(kChamberSections[section].length), fromView(kChamberSections[section].name),
               decimals(std::abs(bend.degrees), 5), bendDirection(bend), QString::number(cuts.pieces()),
               jointDegrees(cuts), stepping, millimetres(along), pieceList(cuts, false, u"sul"_s, u"sui"_s),
               pieceList(cuts, true, u"sul"_s, u"sui"_s));
}

}  // namespace scaricometro
