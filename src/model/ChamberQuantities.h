// What a chamber holds and what it takes to make: each section's inner volume, the sheet of its
// parts, and the steel's mass. Millimetres, square and cubic, and grams.
#pragma once

#include "model/ConeDevelopment.h"

#include <array>
#include <span>
#include <vector>

namespace scaricometro {

// Mild steel sheet, g/mm³ (7.85 g/cm³).
inline constexpr double kSteelDensity = 7.85e-3;

struct SectionQuantities {
    double innerVolume = 0;  // mm³; none for a section of no length
    double sheetArea = 0;    // mm², of all its parts, each as many times as it is cut
    int parts = 0;           // pieces to cut
    std::vector<double> partAreas;  // mm², of each part, from the engine end
};

struct ChamberQuantities {
    std::array<SectionQuantities, kChamberSections.size()> sections;
    double innerVolume = 0;
    double sheetArea = 0;
    double steelMass = 0;  // g, at the development's thickness
};

// The inner volume of each section, a cone's as the frustum on its inner diameters, and the
// area of each part as chamberParts gives them.
[[nodiscard]] ChamberQuantities chamberQuantities(const ChamberDimensions& dimensions, const ChamberDevelopment& development,
                                                  std::span<const ChamberPart> parts);

}  // namespace scaricometro
