#include "waves/Duct.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace scaricometro::waves {
namespace {

constexpr double kSquareMetresPerSquareMm = 1e-6;
constexpr double kCubicMetresPerCubicMm = 1e-9;

double circleArea(double diameter)
{
    return std::numbers::pi * diameter * diameter / 4;
}

// The volume of a cone's frustum (a cylinder where both diameters agree), exact for a diameter linear in x.
double frustumVolume(double length, double d0, double d1)
{
    return std::numbers::pi * length * (d0 * d0 + d0 * d1 + d1 * d1) / 12;
}

double diameterWithin(const DuctSection& section, double atMm)
{
    const double along = std::clamp((atMm - section.startMm) / section.lengthMm, 0.0, 1.0);
    return section.startDiameterMm + (section.endDiameterMm - section.startDiameterMm) * along;
}

}  // namespace

std::variant<Duct, DuctFailure> Duct::fromChamber(const ChamberDimensions& d)
{
    return fromSections({
        {0, 0, d.L1, d.D1, d.D1},
        {1, 0, d.L2, d.D1, d.D2},
        {2, 0, d.L3, d.D2, d.D3},
        {3, 0, d.L4, d.D3, d.D3},
        {4, 0, d.L5, d.D3, d.D4},
        {5, 0, d.L6, d.D4, d.D4},
    });
}

std::variant<Duct, DuctFailure> Duct::fromSections(std::vector<DuctSection> sections)
{
    Duct duct;
    for (std::size_t i = 0; i < sections.size(); ++i) {
        DuctSection section = sections[i];
        section.index = i;
        // Also refuses a NaN length, which no comparison would.
        if (!(section.lengthMm > 0)) {
            duct.m_leftOut.push_back(i);
            continue;
        }
        if (!(section.startDiameterMm > 0 && section.endDiameterMm > 0))
            return DuctFailure{DuctRefusal::DiameterNotPositive, i, 0};
        section.startMm = duct.m_lengthMm;
        duct.m_lengthMm += section.lengthMm;
        duct.m_sections.push_back(section);
    }
    if (!(duct.m_lengthMm >= kShortestDuctMm))
        return DuctFailure{DuctRefusal::TooShort, 0, duct.m_lengthMm};
    if (!(duct.m_lengthMm <= kLongestDuctMm))
        return DuctFailure{DuctRefusal::TooLong, 0, duct.m_lengthMm};
    return duct;
}

double Duct::diameterMm(double atMm) const
{
    for (const DuctSection& section : m_sections) {
        if (atMm <= section.startMm + section.lengthMm || &section == &m_sections.back())
            return diameterWithin(section, atMm);
    }
    return 0;
}

double Duct::areaM2(double atMm) const
{
    return circleArea(diameterMm(atMm)) * kSquareMetresPerSquareMm;
}

double Duct::volumeM3(double fromMm, double toMm) const
{
    double volume = 0;
    for (const DuctSection& section : m_sections) {
        const double from = std::max(fromMm, section.startMm);
        const double to = std::min(toMm, section.startMm + section.lengthMm);
        if (to > from)
            volume += frustumVolume(to - from, diameterWithin(section, from), diameterWithin(section, to));
    }
    return volume * kCubicMetresPerCubicMm;
}

std::size_t Duct::cellCount(double longestCellMm) const
{
    return static_cast<std::size_t>(std::ceil(m_lengthMm / longestCellMm));
}

}  // namespace scaricometro::waves
