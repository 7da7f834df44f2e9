#include "model/ChamberQuantities.h"

#include <numbers>

namespace scaricometro {

ChamberQuantities chamberQuantities(const ChamberDimensions& dimensions, const ChamberDevelopment& development,
                                    std::span<const ChamberPart> parts)
{
    ChamberQuantities quantities;
    for (std::size_t i = 0; i < kChamberSections.size(); ++i) {
        const ChamberSection& section = kChamberSections[i];
        const double length = dimensions.*section.lengthValue;
        const double start = dimensions.*section.startDiameterValue / 2;
        const double end = dimensions.*section.endDiameterValue / 2;
        if (length > 0)
            quantities.sections[i].innerVolume = std::numbers::pi * length / 3 * (start * start + start * end + end * end);
        quantities.innerVolume += quantities.sections[i].innerVolume;
    }
    for (const ChamberPart& part : parts) {
        SectionQuantities& section = quantities.sections[chamberIndex(*part.section)];
        const double area = part.outline.area();
        section.partAreas.push_back(area);
        section.sheetArea += part.count * area;
        section.parts += part.count;
    }
    for (const SectionQuantities& section : quantities.sections)
        quantities.sheetArea += section.sheetArea;
    quantities.steelMass = quantities.sheetArea * development.thickness * kSteelDensity;
    return quantities;
}

}  // namespace scaricometro
