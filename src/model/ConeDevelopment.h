// The chamber made from sheet steel: each cone laid flat as the annular sector that rolls into it,
// each cylinder as the rectangle of sheet that rolls into it, and the parts to cut.
#pragma once

#include "model/ChamberModel.h"
#include "model/PartOutline.h"
#include "model/PieCuts.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>
#include <variant>
#include <vector>

namespace scaricometro {

enum class SectionShape { Cylinder, Cone };

// A section of the chamber as the results name it: its length, and its inner diameters at the
// engine end and at the outlet end.
struct ChamberSection {
    std::string_view name;    // what tuners call it, in Italian
    SectionShape shape = SectionShape::Cylinder;
    std::string_view length;  // "L2"
    std::string_view startDiameter;
    std::string_view endDiameter;
    double ChamberDimensions::*lengthValue = nullptr;
    double ChamberDimensions::*startDiameterValue = nullptr;
    double ChamberDimensions::*endDiameterValue = nullptr;
};

// From the cylinder outwards.
inline constexpr std::array kChamberSections{
    ChamberSection{"collettore", SectionShape::Cylinder, "L1", "D1", "D1",
                   &ChamberDimensions::L1, &ChamberDimensions::D1, &ChamberDimensions::D1},
    ChamberSection{"primo cono divergente", SectionShape::Cone, "L2", "D1", "D2",
                   &ChamberDimensions::L2, &ChamberDimensions::D1, &ChamberDimensions::D2},
    ChamberSection{"secondo cono divergente", SectionShape::Cone, "L3", "D2", "D3",
                   &ChamberDimensions::L3, &ChamberDimensions::D2, &ChamberDimensions::D3},
    ChamberSection{"pancia", SectionShape::Cylinder, "L4", "D3", "D3",
                   &ChamberDimensions::L4, &ChamberDimensions::D3, &ChamberDimensions::D3},
    ChamberSection{"cono convergente", SectionShape::Cone, "L5", "D3", "D4",
                   &ChamberDimensions::L5, &ChamberDimensions::D3, &ChamberDimensions::D4},
    ChamberSection{"codino", SectionShape::Cylinder, "L6", "D4", "D4",
                   &ChamberDimensions::L6, &ChamberDimensions::D4, &ChamberDimensions::D4},
};

template <SectionShape Shape>
constexpr auto sectionsShaped()
{
    constexpr auto count = static_cast<std::size_t>(std::ranges::count(kChamberSections, Shape, &ChamberSection::shape));
    std::array<ChamberSection, count> chosen{};
    std::ranges::copy_if(kChamberSections, chosen.begin(),
                         [](const ChamberSection& section) { return section.shape == Shape; });
    return chosen;
}

inline constexpr auto kConeSections = sectionsShaped<SectionShape::Cone>();
inline constexpr auto kCylinderSections = sectionsShaped<SectionShape::Cylinder>();

// Where a section, or its copy among the cones or the cylinders, stands in kChamberSections.
constexpr std::size_t chamberIndex(const ChamberSection& section)
{
    return static_cast<std::size_t>(std::ranges::find(kChamberSections, section.length, &ChamberSection::length)
                                    - kChamberSections.begin());
}
static_assert(chamberIndex(kConeSections[1]) == 2 && chamberIndex(kCylinderSections[2]) == 5);

// A cone and the flat sector it is rolled from. The sheet bends about its mid-thickness, so the
// pattern sits on the mean diameters: inner diameter plus one thickness. Lengths in mm.
struct ConePattern {
    double length = 0;               // axial, h
    double smallInnerDiameter = 0;
    double largeInnerDiameter = 0;
    double smallMeanDiameter = 0;    // Ds
    double largeMeanDiameter = 0;    // Db
    double slant = 0;                // s: the straight edge of the sector
    double outerRadius = 0;          // R: rolls into the circle of diameter Db
    double innerRadius = 0;          // r = R − s: rolls into the circle of diameter Ds
    double angleDegrees = 0;         // the whole sector, 180° · Db / R
    double outerChord = 0;           // 2R · sin(angle / 2), to check a cut sector with a rule

    // The sector of one of `pieces` equal pieces, each with 1 / pieces of the angle: a half is
    // easier to roll.
    [[nodiscard]] AnnularSector piece(int pieces) const;
};

// A cylinder rolled from a rectangle: the developed width π · (D + thickness) by its length.
// A negative length (a short stroke, a long first cone) is kept, and said as such.
struct CylinderDevelopment {
    double length = 0;
    double innerDiameter = 0;
    double developedWidth = 0;

    // A section of no length, or a negative one, has nothing to cut.
    [[nodiscard]] bool hasBlank() const { return length > 0; }
};

struct ChamberDevelopment {
    double thickness = 0;
    std::array<ConePattern, kConeSections.size()> cones;
    std::array<CylinderDevelopment, kCylinderSections.size()> cylinders;
    std::array<Frustum, kChamberSections.size()> sections;  // each on its mean diameters
};

struct DevelopmentFailure {
    enum class Reason {
        HeaderNotPositive,  // no chamber to make: every cone would have a diameter of 0 or less
        ThicknessNegative,
        NoSector,           // this cone's mean diameters do not differ, or its figures overflow
    };
    Reason reason;
    std::size_t cone = 0;  // for NoSector: the index in kConeSections
};

using DevelopmentOutcome = std::variant<ChamberDevelopment, DevelopmentFailure>;

[[nodiscard]] DevelopmentOutcome developChamber(const ChamberDimensions& dimensions, double thickness);

// A part to cut from sheet: its outline in a page's axes, and how many of it make the section.
struct ChamberPart {
    const ChamberSection* section = nullptr;  // in kChamberSections
    int count = 1;
    PartOutline outline;
    int piece = 0;  // of a bent section, from the engine end, out of `pieces`; 0 for a whole one
    int pieces = 0;
    bool turned = false;  // to turn half a turn before welding
};

// The bend of each section, in the order of kChamberSections.
using ChamberBends = std::array<SectionBend, kChamberSections.size()>;

struct BendFailure {
    std::size_t section = 0;  // in kChamberSections
    PieCuts::Refusal reason = PieCuts::Refusal::CutsCross;
};

using PartsOutcome = std::variant<std::vector<ChamberPart>, BendFailure>;

// The section in kChamberSections cut for its bend, or why it cannot be; none for a straight one.
[[nodiscard]] std::variant<std::monostate, PieCuts, PieCuts::Refusal> bentSection(const ChamberDevelopment& development,
                                                                                  std::size_t section,
                                                                                  const SectionBend& bend);

// From the engine end: each straight cone's sector, or one of its `piecesPerCone` equal pieces,
// and the blank of each straight cylinder that has one; each piece of a bent section.
[[nodiscard]] PartsOutcome chamberParts(const ChamberDevelopment& development, int piecesPerCone,
                                        const ChamberBends& bends = {});

}  // namespace scaricometro
