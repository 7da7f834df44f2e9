#include "views/QtText.h"

#include "model/NumberText.h"

namespace scaricometro {

QString fromView(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString decimals(double value, int places)
{
    return QString::fromStdString(formatRounded(value, DecimalPlaces(places)));
}

QString fixedDecimals(double value, int places)
{
    return QString::fromStdString(formatFixed(value, DecimalPlaces(places)));
}

QString twoDecimals(double value)
{
    return fixedDecimals(value, 2);
}

}  // namespace scaricometro
