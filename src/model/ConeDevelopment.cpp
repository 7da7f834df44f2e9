#include "model/ConeDevelopment.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numbers>
#include <optional>

namespace scaricometro {
namespace {

bool allFinite(std::initializer_list<double> values)
{
    return std::all_of(values.begin(), values.end(), [](double value) { return std::isfinite(value); });
}

std::optional<ConePattern> coneBetween(double length, double startDiameter, double endDiameter, double thickness)
{
    ConePattern cone;
    cone.length = length;
    cone.smallInnerDiameter = std::min(startDiameter, endDiameter);
    cone.largeInnerDiameter = std::max(startDiameter, endDiameter);
    cone.smallMeanDiameter = cone.smallInnerDiameter + thickness;
    cone.largeMeanDiameter = cone.largeInnerDiameter + thickness;
    const double widening = cone.largeMeanDiameter - cone.smallMeanDiameter;
    // A thickness far larger than the change of diameter leaves the two mean diameters equal:
    // a cylinder, with no sector to roll.
    if (!(length > 0 && cone.smallMeanDiameter > 0 && widening > 0))
        return std::nullopt;

    const double halfWidening = widening / 2;
    cone.slant = std::sqrt(length * length + halfWidening * halfWidening);
    cone.outerRadius = cone.slant * cone.largeMeanDiameter / widening;
    cone.innerRadius = cone.outerRadius - cone.slant;
    cone.angleDegrees = 180 * cone.largeMeanDiameter / cone.outerRadius;
    cone.outerChord = cone.piece(1).outerChord();
    if (!allFinite({cone.slant, cone.outerRadius, cone.innerRadius, cone.angleDegrees, cone.outerChord})
        || !(cone.angleDegrees > 0))
        return std::nullopt;
    return cone;
}

}  // namespace

AnnularSector ConePattern::piece(int pieces) const
{
    return {outerRadius, innerRadius, angleDegrees / std::max(pieces, 1)};
}

DevelopmentOutcome developChamber(const ChamberDimensions& dimensions, double thickness)
{
    if (!(dimensions.D1 > 0))
        return DevelopmentFailure{DevelopmentFailure::Reason::HeaderNotPositive};
    if (!(thickness >= 0))
        return DevelopmentFailure{DevelopmentFailure::Reason::ThicknessNegative};

    ChamberDevelopment development;
    development.thickness = thickness;
    for (std::size_t i = 0; i < kConeSections.size(); ++i) {
        const ChamberSection& section = kConeSections[i];
        const std::optional<ConePattern> cone = coneBetween(
            dimensions.*section.lengthValue, dimensions.*section.startDiameterValue,
            dimensions.*section.endDiameterValue, thickness);
        if (!cone)
            return DevelopmentFailure{DevelopmentFailure::Reason::NoSector, i};
        development.cones[i] = *cone;
    }
    for (std::size_t i = 0; i < kCylinderSections.size(); ++i) {
        const ChamberSection& section = kCylinderSections[i];
        const double diameter = dimensions.*section.startDiameterValue;
        development.cylinders[i] = {dimensions.*section.lengthValue, diameter,
                                    std::numbers::pi * (diameter + thickness)};
    }
    for (std::size_t i = 0; i < kChamberSections.size(); ++i) {
        const ChamberSection& section = kChamberSections[i];
        development.sections[i] = {dimensions.*section.lengthValue, (dimensions.*section.startDiameterValue + thickness) / 2,
                                   (dimensions.*section.endDiameterValue + thickness) / 2};
    }
    return development;
}

std::variant<std::monostate, PieCuts, PieCuts::Refusal> bentSection(const ChamberDevelopment& development,
                                                                     std::size_t section, const SectionBend& bend)
{
    if (bend.isStraight())
        return std::monostate{};
    PieCuts::Refusal why{};
    if (std::optional<PieCuts> cuts = PieCuts::cut(development.sections[section], bend, &why))
        return *cuts;
    return why;
}

PartsOutcome chamberParts(const ChamberDevelopment& development, int piecesPerCone, const ChamberBends& bends)
{
    std::vector<ChamberPart> parts;
    auto cone = development.cones.begin();
    auto cylinder = development.cylinders.begin();
    for (std::size_t i = 0; i < kChamberSections.size(); ++i) {
        const ChamberSection& section = kChamberSections[i];
        const bool isCone = section.shape == SectionShape::Cone;
        const auto bent = bentSection(development, i, bends[i]);
        if (const auto* why = std::get_if<PieCuts::Refusal>(&bent))
            return BendFailure{i, *why};
        if (const auto* cuts = std::get_if<PieCuts>(&bent)) {
            for (int piece = 1; piece <= cuts->pieces(); ++piece) {
                parts.push_back({&section, 1, cuts->pieceOutline(piece), piece, cuts->pieces(), PieCuts::isTurned(piece)});
            }
        } else if (isCone) {
            parts.push_back({&section, std::max(piecesPerCone, 1), sectorOutline(cone->piece(piecesPerCone))});
        } else if (cylinder->hasBlank()) {
            parts.push_back({&section, 1, rectangleOutline(cylinder->developedWidth, cylinder->length)});
        }
        if (isCone)
            ++cone;
        else
            ++cylinder;
    }
    return parts;
}

}  // namespace scaricometro
