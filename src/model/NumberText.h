// Numbers as the tuner reads and writes them: decimal comma, no exponent, independent of the
// process locale.
//
// Reading accepts blanks around the text, an optional "+" or "-", decimal digits and at most one
// "," before the decimals (",5" and "5," are read too). Nothing else: no exponent, no "inf" or
// "nan", no hexadecimal, no digits other than ASCII 0-9. Where a caller allows it, "." groups
// the whole part in thousands the Italian way ("12.000", "1.234.567,5"); any other point is an
// error, so "12.5" is never read as 125. A value beyond the double range is rejected; one too
// small to be told from zero reads as zero.
//
// Writing gives at most 15 significant digits, "," before the decimals, no trailing zeros,
// no separator for whole numbers, "-" before negatives, never "-0", and never an exponent:
// a value with more than 15 whole digits keeps its 15 leading significant digits followed by
// zeros ("123456789012346000000"). Every text written reads back; so the few largest doubles,
// whose rounding to 15 digits would pass the largest double, are written as the largest 15-digit
// number below it ("179769313486231" and 294 zeros).
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace scaricometro {

enum class ThousandsPoints {
    Rejected,  // a "." anywhere makes the text unreadable
    Accepted,  // "." may group the whole part in threes: "12.000"
};

[[nodiscard]] std::optional<double> parseDecimalComma(std::string_view text,
                                                      ThousandsPoints points = ThousandsPoints::Rejected);

// How many decimal places to round to: 0 to 30. Out of range, a constant count fails to compile
// and any other throws std::out_of_range, in every build.
class DecimalPlaces {
public:
    static constexpr int kMax = 30;

    constexpr explicit DecimalPlaces(int count)
        : m_count(count)
    {
        if (count < 0 || count > kMax)
            throw std::out_of_range("decimal places must be 0 to 30");
    }
    [[nodiscard]] constexpr int count() const { return m_count; }

private:
    int m_count;
};

// The double nearest to `value` rounded to `places`, taken on the exact binary value, an exact
// half going to the even neighbour. Non-finite values come back unchanged.
[[nodiscard]] double roundHalfEven(double value, DecimalPlaces places);

// `value` must be finite.
[[nodiscard]] std::string formatDecimalComma(double value);

// The text of `value` rounded to `places`: formatDecimalComma(roundHalfEven(value, places)).
// `value` must be finite.
[[nodiscard]] std::string formatRounded(double value, DecimalPlaces places);

// The same with every one of the places written out, as a drawing's figures are: "65,60", "0,00".
// `value` must be finite.
[[nodiscard]] std::string formatFixed(double value, DecimalPlaces places);

}  // namespace scaricometro
