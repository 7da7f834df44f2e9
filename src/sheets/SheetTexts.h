// The wording of the printed figures: numbers as a drawing writes them, and the lines that name a
// section, its sector or blank, and its bend, shared by the data sheet and the pattern pages.
#pragma once

#include "model/ConeDevelopment.h"
#include "sheets/TemplatePlan.h"
#include "views/QtText.h"

#include <QString>
#include <QStringList>

#include <cstddef>

namespace scaricometro {

// Two decimals and the unit: "65,60 mm".
[[nodiscard]] QString millimetres(double value);

// Which chamber is being built: the window's, tuned to an rpm, or changed by hand, and whether the
// window's results have changed since: "Camera accordata a 12 000 giri/min: L1–L5 × 1,3750".
[[nodiscard]] QString builtChamberLine(const BuiltChamber& chamber);
// A figure of the chamber as built, with four decimals: "L1 74,9650".
[[nodiscard]] QString sectionFigureText(std::size_t figure, const ChamberDimensions& dimensions);
// Each figure that differs from the window's, with the window's beside it; and the tuning.
[[nodiscard]] QStringList builtChamberDetails(const BuiltChamber& chamber);

// The five inputs and the thickness, on one line.
[[nodiscard]] QString figuresLine(const ChamberFigures& figures, double thickness);
[[nodiscard]] QString sectorLine(const AnnularSector& sector, const ConePattern& cone);
[[nodiscard]] QString coneTitle(const ChamberSection& section);
[[nodiscard]] QString sectionTitle(const ChamberSection& section, const ChamberDevelopment& development);
// "L3 secondo cono divergente"
[[nodiscard]] QString sectionName(std::size_t section);
[[nodiscard]] QString blankLine(const ChamberSection& section, const ChamberDevelopment& development);
// The development of the section at `section` in kChamberSections, among the cones or the cylinders.
[[nodiscard]] const ConePattern& coneOf(const ChamberDevelopment& development, std::size_t section);
[[nodiscard]] const CylinderDevelopment& cylinderOf(const ChamberDevelopment& development, std::size_t section);

// How a bent section's pattern is cut and which pieces to turn, for its pages' heading.
[[nodiscard]] QString piecesLine(const PieCuts& cuts, const SectionBend& bend);
// The bend as the welder needs it: each joint's angle and the centre line's steps, the length
// along the centre line, and where the seams fall.
[[nodiscard]] QString bendParagraph(std::size_t section, const PieCuts& cuts, const SectionBend& bend);

}  // namespace scaricometro
