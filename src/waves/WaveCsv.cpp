#include "waves/WaveCsv.h"

#include "model/NumberText.h"
#include "waves/Gas.h"

#include <algorithm>
#include <cmath>

namespace scaricometro::waves {
namespace {

// A byte order mark first: without it Excel reads a CSV file in the system's legacy code page and
// garbles "°"; LibreOffice takes the mark as UTF-8 too.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// CR LF, as a CSV file is written on Windows and as RFC 4180 has it; LibreOffice reads it as well.
constexpr std::string_view kLineEnd = "\r\n";
constexpr char kSeparator = ';';
constexpr DecimalPlaces kBarPlaces{4};
constexpr DecimalPlaces kWholePlaces{0};

std::string bar(double pascals)
{
    return formatFixed(pascals / kPascalsPerBar, kBarPlaces);
}

}  // namespace

std::string cycleCsv(const CycleTrace& trace)
{
    std::string text(kByteOrderMark);
    text += "Angolo (°);Pressione alla luce (bar);Pressione nel cilindro (bar)";
    text += kLineEnd;
    for (std::size_t degree = 0; degree < kTracePoints; ++degree) {
        text += formatFixed(static_cast<double>(degree), kWholePlaces);
        text += kSeparator;
        text += bar(trace.port[degree]);
        text += kSeparator;
        if (std::isfinite(trace.cylinder[degree]))
            text += bar(trace.cylinder[degree]);
        text += kLineEnd;
    }
    return text;
}

std::string bandCsv(std::span<const BandPoint> points, std::span<const BandPoint> before)
{
    std::string text(kByteOrderMark);
    text += "Giri/min;Tappo (bar);Aspirazione (bar)";
    if (!before.empty())
        text += ";Tappo, camera di prima (bar);Aspirazione, camera di prima (bar)";
    text += kLineEnd;
    for (const BandPoint& point : points) {
        text += formatFixed(point.rpm, kWholePlaces);
        text += kSeparator;
        text += bar(point.plug);
        text += kSeparator;
        text += bar(point.suction);
        if (!before.empty()) {
            const auto same = std::find_if(before.begin(), before.end(),
                                           [&](const BandPoint& earlier) { return sameRpm(earlier.rpm, point.rpm); });
            text += kSeparator;
            if (same != before.end())
                text += bar(same->plug);
            text += kSeparator;
            if (same != before.end())
                text += bar(same->suction);
        }
        text += kLineEnd;
    }
    return text;
}

}  // namespace scaricometro::waves
