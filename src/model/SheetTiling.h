// Laying a flat pattern over sheets of paper: the turn of the pattern and the paper orientation
// that need the fewest sheets, and which part of the pattern each sheet shows. Millimetres, with
// y pointing down the page.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace scaricometro {

struct Point {
    double x = 0;
    double y = 0;
};

struct Rect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;

    [[nodiscard]] double right() const { return left + width; }
    [[nodiscard]] double bottom() const { return top + height; }
    [[nodiscard]] bool contains(Point point) const
    {
        return point.x >= left && point.x <= right() && point.y >= top && point.y <= bottom();
    }
};

// An annular sector centred on the origin. Unturned it opens upwards, symmetric about the
// upward vertical; turned by some degrees, it turns clockwise on the page.
struct AnnularSector {
    double outerRadius = 0;
    double innerRadius = 0;
    double angleDegrees = 0;

    [[nodiscard]] double outerChord() const;
    // The outline's point at `fraction` (0 to 1) of its length, going round the outer arc, a
    // straight edge, the inner arc and the other straight edge.
    [[nodiscard]] Point outlinePoint(double fraction, double turnDegrees) const;
    [[nodiscard]] double outlineLength() const;
    // The directions, in degrees clockwise from the +x axis, of the two straight edges.
    [[nodiscard]] double firstEdgeDegrees(double turnDegrees) const;
    [[nodiscard]] double lastEdgeDegrees(double turnDegrees) const;
};

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

// The plan with the fewest sheets, or none where every plan needs more than the most allowed.
[[nodiscard]] std::optional<TilePlan> planSheets(const AnnularSector& sector, std::span<const SheetArea> areas,
                                                 double overlap = kSheetOverlapMm);

// Whether the sector turned by `turnDegrees` has any of its outline inside `area`.
[[nodiscard]] bool outlineCrosses(const AnnularSector& sector, double turnDegrees, const Rect& area);

}  // namespace scaricometro
