// The schematic side view of the chamber as data: 32 line segments in twips, the colours they
// rest in, and which segments light up for each result. ChamberDrawing keeps the segments'
// current colours and paints them.
#pragma once

#include "model/ChamberModel.h"
#include "ui/ChamberFields.h"
#include "ui/ControlLayout.h"

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QStringView>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>

class QPainter;

namespace scaricometro {

inline constexpr QRgb kHighlightColor = 0xFF0000;

struct Segment {
    QStringView name;
    QPoint from;  // twips
    QPoint to;    // twips
    int width;    // logical pixels
    QRgb startColor;
};

// Outline Line1 to Line19 (engine end on the left), extension lines and the dimension chain above.
inline constexpr std::array kSegments{
    Segment{u"Line1", {1080, 3120}, {1080, 3360}, 2, kBlack},
    Segment{u"Line2", {1680, 3120}, {1080, 3120}, 2, kBlack},
    Segment{u"Line3", {1680, 3360}, {1080, 3360}, 2, kBlack},
    Segment{u"Line4", {1680, 3120}, {1680, 3360}, 2, kBlack},
    Segment{u"Line5", {3720, 3000}, {3720, 3480}, 2, kBlack},
    Segment{u"Line6", {1680, 3360}, {3720, 3480}, 2, kBlack},
    Segment{u"Line7", {1680, 3120}, {3720, 3000}, 2, kBlack},
    Segment{u"Line8", {3720, 3000}, {5280, 2760}, 2, kBlack},
    Segment{u"Line9", {5280, 3720}, {3720, 3480}, 2, kBlack},
    Segment{u"Line10", {5280, 2760}, {5280, 3720}, 2, kBlack},
    Segment{u"Line11", {5880, 2760}, {5880, 3720}, 2, kBlack},
    Segment{u"Line12", {5280, 3720}, {5880, 3720}, 2, kBlack},
    Segment{u"Line13", {5280, 2760}, {5880, 2760}, 2, kBlack},
    Segment{u"Line14", {5880, 2760}, {7320, 3120}, 2, kBlack},
    Segment{u"Line15", {5880, 3720}, {7320, 3360}, 2, kBlack},
    Segment{u"Line16", {7320, 3120}, {8880, 3120}, 2, kBlack},
    Segment{u"Line17", {7320, 3360}, {7320, 3120}, 2, kBlack},
    Segment{u"Line18", {7320, 3360}, {8880, 3360}, 2, kBlack},
    Segment{u"Line19", {8880, 3360}, {8880, 3120}, 2, kBlack},
    Segment{u"Line20", {1080, 3120}, {1080, 2400}, 1, kBlue},
    Segment{u"Line21", {1080, 2400}, {1680, 2400}, 1, kBlue},
    Segment{u"Line22", {8880, 2400}, {8880, 3120}, 1, kBlue},
    Segment{u"Line23", {1680, 3120}, {1680, 2400}, 1, kBlue},
    Segment{u"Line24", {3720, 3000}, {3720, 2400}, 1, kBlue},
    Segment{u"Line25", {5280, 2760}, {5280, 2400}, 1, kBlue},
    Segment{u"Line26", {5880, 2760}, {5880, 2400}, 1, kBlue},
    Segment{u"Line27", {7320, 3120}, {7320, 2400}, 1, kBlue},
    Segment{u"Line28", {1680, 2400}, {3720, 2400}, 1, kBlue},
    Segment{u"Line29", {3720, 2400}, {5280, 2400}, 1, kBlue},
    Segment{u"Line30", {5280, 2400}, {5880, 2400}, 1, kBlue},
    Segment{u"Line31", {5880, 2400}, {7320, 2400}, 1, kBlue},
    Segment{u"Line32", {7320, 2400}, {8880, 2400}, 1, kBlue},
};

// A set of segments by line number (Line1 is 1).
class LineSet {
public:
    constexpr LineSet(std::initializer_list<int> lines)
    {
        for (int line : lines)
            m_bits |= bit(line);
    }
    static constexpr LineSet range(int first, int last)
    {
        LineSet set{};
        for (int line = first; line <= last; ++line)
            set.m_bits |= bit(line);
        return set;
    }
    [[nodiscard]] constexpr bool contains(int line) const { return (m_bits & bit(line)) != 0; }
    // Whether every line lies within Line1 to Line`count`.
    [[nodiscard]] constexpr bool within(int count) const { return (m_bits & ~(range(1, count).m_bits)) == 0; }
    template <typename Function>
    constexpr void forEach(Function&& function) const
    {
        for (int line = 1; line < kCapacity; ++line) {
            if (contains(line))
                function(line);
        }
    }

private:
    static constexpr int kCapacity = 64;
    static constexpr std::uint64_t bit(int line) { return std::uint64_t{1} << line; }
    std::uint64_t m_bits = 0;
};

// The segments a reset puts back, and the colour each group rests in. The extension lines are
// not among them: they stay blue throughout.
struct RestingColor {
    LineSet lines;
    QRgb color;
};
inline constexpr std::array kRestingColors{
    RestingColor{LineSet::range(1, 19), kBlack},                // the outline
    RestingColor{LineSet{21, 28, 29, 30, 31, 32}, kBlue},       // the dimension chain
};

// Clicking a result's caption or its field lights the segments that the figure measures: a length
// of a cylindrical section its two walls and its dimension, a cone its dimension alone, a
// diameter its edges, the total length the whole chain.
struct HighlightRow {
    double ChamberDimensions::*figure;
    LineSet lines;
};
inline constexpr std::array kHighlightRows{
    HighlightRow{&ChamberDimensions::L1, {2, 3, 21}},
    HighlightRow{&ChamberDimensions::L2, {28}},
    HighlightRow{&ChamberDimensions::L3, {29}},
    HighlightRow{&ChamberDimensions::L4, {12, 13, 30}},
    HighlightRow{&ChamberDimensions::L5, {31}},
    HighlightRow{&ChamberDimensions::L6, {32, 16, 18}},
    HighlightRow{&ChamberDimensions::D1, {1, 4}},
    HighlightRow{&ChamberDimensions::D2, {5}},
    HighlightRow{&ChamberDimensions::D3, {10, 11}},
    HighlightRow{&ChamberDimensions::D4, {17, 19}},
    HighlightRow{&ChamberDimensions::totalLength, {21, 28, 29, 30, 31, 32}},
};

static_assert([] {
    constexpr int lineCount = static_cast<int>(kSegments.size());
    for (const RestingColor& resting : kRestingColors) {
        if (!resting.lines.within(lineCount))
            return false;
    }
    for (const HighlightRow& row : kHighlightRows) {
        (void)rowFor(kResultFields, row.figure);  // does not compile for a figure no field shows
        if (!row.lines.within(lineCount))
            return false;
    }
    return true;
}(), "every highlight row names a shown result, and every line set lies within the drawing");

constexpr QPoint toPixels(QPoint twips)
{
    return {twips.x() / kTwipsPerPixel, twips.y() / kTwipsPerPixel};
}

static_assert([] {
    for (const Segment& segment : kSegments) {
        for (QPoint end : {segment.from, segment.to}) {
            if (end.x() % kTwipsPerPixel != 0 || end.y() % kTwipsPerPixel != 0)
                return false;
        }
    }
    return true;
}(), "every segment must end on a whole logical pixel");

class ChamberDrawing {
public:
    // The segment called `name`, as a line number (Line1 is 1).
    [[nodiscard]] static std::optional<int> lineNumber(QStringView name);

    // The box, in logical pixels, that holds every segment.
    [[nodiscard]] static QRect bounds();

    // Invalid for a number that is no segment's.
    [[nodiscard]] QColor color(int line) const;
    // The area to repaint: empty when the colour was already that one.
    QRect setColor(int line, const QColor& color);

    // The segments that reach into `area`, aliased, so every pixel of a segment is exactly its
    // colour.
    void paint(QPainter& painter, const QRect& area) const;

private:
    [[nodiscard]] static std::array<QColor, kSegments.size()> startColors();

    std::array<QColor, kSegments.size()> m_colors = startColors();
};

}  // namespace scaricometro
