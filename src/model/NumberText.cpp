// Decimal-comma reading and writing on top of std::from_chars and std::to_chars, which are
// exact (correctly rounded both ways) and never consult the locale.
#include "model/NumberText.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <charconv>
#include <cmath>
#include <limits>

namespace scaricometro {
namespace {

constexpr char kDecimalComma = ',';
constexpr char kThousandsPoint = '.';
constexpr std::size_t kGroupSize = 3;
constexpr int kSignificantDigits = 15;
constexpr int kLargestExponent = std::numeric_limits<double>::max_exponent10;
constexpr std::string_view kPastLargestDouble = "179769313486232";     // × 10^308
constexpr std::string_view kLargestReadableDigits = "179769313486231";  // × 10^308

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool allDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), isDigit);
}

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The whole part's digits with any thousands points taken out, or nothing when the points
// stand anywhere but between groups of three. A leading group of "0" is refused too: "0.125"
// is a decimal typed with a point, not a grouped 125.
std::optional<std::string> wholeDigits(std::string_view whole, ThousandsPoints points)
{
    if (whole.find(kThousandsPoint) == std::string_view::npos)
        return allDigits(whole) ? std::optional<std::string>(whole) : std::nullopt;
    if (points == ThousandsPoints::Rejected)
        return std::nullopt;

    const std::size_t leadLength = whole.find(kThousandsPoint);
    const std::string_view lead = whole.substr(0, leadLength);
    if (lead.empty() || lead.size() > kGroupSize || lead.front() == '0' || !allDigits(lead))
        return std::nullopt;
    std::string digits(lead);
    for (std::string_view rest = whole.substr(leadLength); !rest.empty(); rest.remove_prefix(1 + kGroupSize)) {
        const std::string_view group = rest.substr(1, kGroupSize);
        if (rest.front() != kThousandsPoint || group.size() != kGroupSize || !allDigits(group))
            return std::nullopt;
        digits += group;
    }
    return digits;
}

}  // namespace

std::optional<double> parseDecimalComma(std::string_view text, ThousandsPoints points)
{
    text = trimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }

    const std::size_t comma = text.find(kDecimalComma);
    const std::string_view decimals =
        comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    const std::optional<std::string> whole = wholeDigits(text.substr(0, comma), points);
    if (!whole || !allDigits(decimals) || (whole->empty() && decimals.empty()))
        return std::nullopt;

    // from_chars wants the C form: "-", digits, ".", digits.
    std::string plain;
    plain.reserve(whole->size() + decimals.size() + 3);
    if (negative)
        plain += '-';
    plain += whole->empty() ? std::string_view("0") : std::string_view(*whole);
    if (!decimals.empty()) {
        plain += '.';
        plain += decimals;
    }

    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value,
                                              std::chars_format::fixed);
    if (end != plain.data() + plain.size())
        return std::nullopt;
    if (error == std::errc::result_out_of_range) {
        // Past the largest double is an error; below the smallest, the value is as good as zero.
        const bool wholePartIsZero = std::all_of(whole->begin(), whole->end(), [](char c) { return c == '0'; });
        if (!wholePartIsZero)
            return std::nullopt;
        return negative ? -0.0 : 0.0;
    }
    if (error != std::errc())
        return std::nullopt;
    return value;
}

double roundHalfEven(double value, DecimalPlaces places)
{
    if (!std::isfinite(value))
        return value;
    // Sign, 309 whole digits of the largest double, point and decimals.
    std::array<char, 1 + std::numeric_limits<double>::max_exponent10 + 1 + 1 + DecimalPlaces::kMax> text{};
    const auto written = std::to_chars(text.data(), text.data() + text.size(), value,
                                       std::chars_format::fixed, places.count());
    assert(written.ec == std::errc());
    double rounded = 0;
    std::from_chars(text.data(), written.ptr, rounded, std::chars_format::fixed);
    return rounded;
}

std::string formatDecimalComma(double value)
{
    assert(std::isfinite(value));
    // Scientific form with 14 decimals is the value rounded to exactly 15 significant digits,
    // for instance "-1.23450000000000e-05"; lay those digits out again without the exponent.
    std::array<char, 32> scientific{};
    const auto written = std::to_chars(scientific.data(), scientific.data() + scientific.size(), value,
                                       std::chars_format::scientific, kSignificantDigits - 1);
    assert(written.ec == std::errc());
    const std::string_view form(scientific.data(), static_cast<std::size_t>(written.ptr - scientific.data()));

    const bool negative = form.front() == '-';
    const std::size_t exponentMark = form.find('e');
    std::string digits;
    for (char c : form.substr(0, exponentMark)) {
        if (isDigit(c))
            digits += c;
    }
    digits.erase(digits.find_last_not_of('0') + 1);
    if (digits.empty())
        return "0";  // also for -0 and for negatives that round to zero: never "-0"

    const std::string_view exponentText = form.substr(exponentMark + 1);
    int exponent = 0;
    std::from_chars(exponentText.data() + (exponentText.front() == '+' ? 1 : 0),
                    exponentText.data() + exponentText.size(), exponent);
    // The largest doubles round up past the largest double, to a text no double can hold; those
    // keep the largest 15 digits that can be read back.
    if (exponent == kLargestExponent && digits == kPastLargestDouble)
        digits = kLargestReadableDigits;

    std::string text = negative ? "-" : "";
    const auto digitCount = static_cast<int>(digits.size());
    if (exponent < 0) {
        text += "0";
        text += kDecimalComma;
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
        text += digits;
    } else if (exponent + 1 >= digitCount) {
        text += digits;
        text.append(static_cast<std::size_t>(exponent + 1 - digitCount), '0');
    } else {
        const auto wholeLength = static_cast<std::size_t>(exponent + 1);
        text += std::string_view(digits).substr(0, wholeLength);
        text += kDecimalComma;
        text += std::string_view(digits).substr(wholeLength);
    }
    return text;
}

std::string formatRounded(double value, DecimalPlaces places)
{
    return formatDecimalComma(roundHalfEven(value, places));
}

std::string formatFixed(double value, DecimalPlaces places)
{
    std::string text = formatRounded(value, places);
    if (places.count() == 0)
        return text;
    std::size_t comma = text.find(',');
    if (comma == std::string::npos) {
        comma = text.size();
        text += ',';
    }
    text.append(comma + 1 + static_cast<std::size_t>(places.count()) - text.size(), '0');
    return text;
}

}  // namespace scaricometro
