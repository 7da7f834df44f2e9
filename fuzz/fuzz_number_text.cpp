// libFuzzer target for the number text. Every input is read as typed text in both kinds of field
// and, when it is long enough, also taken as the bytes of a double; whatever is read is written
// as a result and the written text must then hold:
//  - it is plain: an optional "-", digits, at most one ",", no "-0", no exponent, at most 15
//    significant digits;
//  - it is stable: read back and written again, it is the same text;
//  - it reads back as the value rounded to five places, then to 15 significant digits, which is
//    worked out here a second way, through the standard library's scientific form.
#include "model/NumberText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

using namespace scaricometro;

constexpr DecimalPlaces kPlaces{5};
constexpr int kSignificantDigits = 15;

void require(bool holds, const char* what, const std::string& text)
{
    if (!holds) {
        std::fprintf(stderr, "%s: \"%s\"\n", what, text.c_str());
        std::abort();
    }
}

int significantDigits(std::string_view text)
{
    std::string digits;
    for (char c : text) {
        if (c >= '0' && c <= '9')
            digits += c;
    }
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos)
        return 0;
    // Zeros at the end only hold places, before the comma or after it.
    return static_cast<int>(digits.find_last_not_of('0') + 1 - first);
}

// The value rounded to five places and then to 15 significant digits, through to_chars's
// scientific form and from_chars: a different road from the one the writer takes. Where the
// 15 digits pass the largest double, the writer keeps the largest 15 digits below it.
double expectedReadBack(double value)
{
    std::array<char, 64> scientific{};
    const double rounded = roundHalfEven(value, kPlaces);
    const auto written = std::to_chars(scientific.data(), scientific.data() + scientific.size(), rounded,
                                       std::chars_format::scientific, kSignificantDigits - 1);
    double expected = 0;
    if (std::from_chars(scientific.data(), written.ptr, expected).ec == std::errc::result_out_of_range)
        return std::copysign(1.79769313486231e308, value);
    return expected == 0 ? 0.0 : expected;
}

void checkWritten(double value)
{
    if (!std::isfinite(value))
        return;
    const std::string written = formatRounded(value, kPlaces);
    require(!written.empty(), "empty text", written);
    require(written != "-0", "negative zero", written);
    require(std::all_of(written.begin(), written.end(),
                        [](char c) { return (c >= '0' && c <= '9') || c == ',' || c == '-'; }),
            "a character other than digits, \",\" and \"-\"", written);
    require(std::count(written.begin(), written.end(), ',') <= 1, "more than one comma", written);
    require(written.find('-', 1) == std::string::npos, "a sign past the start", written);
    require(significantDigits(written) <= kSignificantDigits, "more than 15 significant digits", written);

    const std::optional<double> readBack = parseDecimalComma(written);
    require(readBack.has_value(), "the written text does not read back", written);
    require(formatRounded(*readBack, kPlaces) == written, "written again, the text changes", written);
    const double expected = expectedReadBack(value);
    require(*readBack == expected || (*readBack == 0 && expected == 0), "reads back as another value", written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (ThousandsPoints points : {ThousandsPoints::Rejected, ThousandsPoints::Accepted}) {
        if (const std::optional<double> value = parseDecimalComma(text, points)) {
            require(std::isfinite(*value), "read as a non-finite value", std::string(text));
            checkWritten(*value);
        }
    }
    if (size >= sizeof(double)) {
        double value = 0;
        std::memcpy(&value, data, sizeof value);
        checkWritten(value);
    }
    return 0;
}
