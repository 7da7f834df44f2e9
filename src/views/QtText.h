// The model's names and numbers as Qt text, for everything that paints or shows them: the views,
// the printed sheets and the dialogs.
#pragma once

#include <QString>

#include <string_view>

namespace scaricometro {

// The model's names ("L2", "pancia") as Qt text.
[[nodiscard]] QString fromView(std::string_view text);

// Rounded to `places`, with the decimal comma and no trailing zeros: "1,5".
[[nodiscard]] QString decimals(double value, int places);
// `places` decimals, always written out: "1,3750".
[[nodiscard]] QString fixedDecimals(double value, int places);
// Two decimals, always written out, as a tuner reads a drawing: "65,60".
[[nodiscard]] QString twoDecimals(double value);

}  // namespace scaricometro
