// The chamber as the gas sees it: a straight duct from the port face to the tailpipe's open end,
// its diameter linear along each cone, cut into cells of equal length for the solver. Bends are
// not the gas's business here, and a section of no length is left out, as the cutting files do.
#pragma once

#include "model/ChamberModel.h"

#include <array>
#include <cstddef>
#include <variant>
#include <vector>

namespace scaricometro::waves {

inline constexpr std::size_t kSectionCount = 6;
inline constexpr double kShortestDuctMm = 50;
// Beyond this the cells and the steps of one run would take minutes; no chamber is so long.
inline constexpr double kLongestDuctMm = 5000;
inline constexpr double kLongestCellMm = 5;

struct DuctSection {
    std::size_t index = 0;  // 0 for L1 ... 5 for L6
    double startMm = 0;     // from the port face
    double lengthMm = 0;
    double startDiameterMm = 0;
    double endDiameterMm = 0;
};

enum class DuctRefusal {
    TooShort,             // the sections together are shorter than kShortestDuctMm
    TooLong,              // ... or longer than kLongestDuctMm
    DiameterNotPositive,  // some section has a diameter of 0 or less
};

struct DuctFailure {
    DuctRefusal reason;
    std::size_t section = 0;  // for DiameterNotPositive: which section (0 for L1)
    double lengthMm = 0;      // for TooShort and TooLong: how long the duct is
};

class Duct {
public:
    // The sections of `dimensions` that have a length, or why they make no duct.
    [[nodiscard]] static std::variant<Duct, DuctFailure> fromChamber(const ChamberDimensions& dimensions);
    // Sections given by their lengths and end diameters, in order from the port face; their
    // `index` and `startMm` are set here. A section of no length is left out.
    [[nodiscard]] static std::variant<Duct, DuctFailure> fromSections(std::vector<DuctSection> sections);

    [[nodiscard]] const std::vector<DuctSection>& sections() const { return m_sections; }
    // Which of L1 ... L6 were left out for having no length.
    [[nodiscard]] const std::vector<std::size_t>& leftOut() const { return m_leftOut; }
    [[nodiscard]] double lengthMm() const { return m_lengthMm; }

    [[nodiscard]] double diameterMm(double atMm) const;
    // Inner cross-section (m²) at `atMm` from the port face.
    [[nodiscard]] double areaM2(double atMm) const;
    // Exact volume (m³) of the duct between two stations.
    [[nodiscard]] double volumeM3(double fromMm, double toMm) const;

    // As many cells of equal length as keep each within `longestCellMm`.
    [[nodiscard]] std::size_t cellCount(double longestCellMm = kLongestCellMm) const;

private:
    Duct() = default;
    std::vector<DuctSection> m_sections;
    std::vector<std::size_t> m_leftOut;
    double m_lengthMm = 0;
};

}  // namespace scaricometro::waves
