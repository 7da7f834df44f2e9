// Laying a flat pattern over sheets of paper: the turn of the pattern and the paper orientation
// that need the fewest sheets, and which part of the pattern each sheet shows. Millimetres, with
// y pointing down the page.
#pragma once

#include "model/PartOutline.h"

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace scaricometro {

// The printable area of a sheet in one of the orientations offered.
struct SheetArea {
    double width = 0;
    double height = 0;
};

struct Sheet {
    int row = 0;
    int column = 0;
    Rect area;  // the part of the turned pattern this sheet shows, in the pattern's own place
};

struct TilePlan {
    double turnDegrees = 0;
    std::size_t areaOption = 0;  // which of the offered areas the sheets use
    int rows = 1;
    int columns = 1;
    std::vector<Sheet> sheets;  // row by row; a place of the grid the outline misses has none

    [[nodiscard]] const Sheet* sheetAt(int row, int column) const;
};

// Neighbouring sheets share this much of the pattern, to be glued over each other.
inline constexpr double kSheetOverlapMm = 10;
// A pattern that needs more is no longer a printed template.
inline constexpr std::size_t kMaxSheetsPerPattern = 100;

// The plan with the fewest sheets for a pattern, the outlines of all its parts in a page's axes,
// turned about the origin as the plan says; none where every plan needs more than the most allowed.
[[nodiscard]] std::optional<TilePlan> planSheets(std::span<const PartOutline> pattern, std::span<const SheetArea> areas,
                                                 double overlap = kSheetOverlapMm);

// Whether any of the outline lies inside `area`.
[[nodiscard]] bool outlineCrosses(const PartOutline& outline, const Rect& area);

}  // namespace scaricometro
