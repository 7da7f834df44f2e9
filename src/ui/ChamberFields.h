// Which window field feeds which model input, and which field shows which result.
#pragma once

#include "model/ChamberModel.h"
#include "model/NumberText.h"
#include "ui/ControlLayout.h"

#include <QString>

#include <array>
#include <cstddef>
#include <optional>

namespace scaricometro {

// What a "." typed into an input field stands for.
enum class TypedPoint {
    ThousandsSeparator,  // read as typed: "12.000" is twelve thousand, "12.5" is refused
    DecimalComma,        // rewritten as "," in the field before it is read
};

struct InputField {
    FieldName field;
    CaptionName caption;  // names the field in messages to the user
    double ChamberInputs::*value;
    TypedPoint point;

    [[nodiscard]] constexpr ThousandsPoints thousandsPoints() const
    {
        return point == TypedPoint::ThousandsSeparator ? ThousandsPoints::Accepted : ThousandsPoints::Rejected;
    }
    // The field's text read as a number, a typed point taken as the field's rule says.
    [[nodiscard]] std::optional<double> read(QString text) const
    {
        if (point == TypedPoint::DecimalComma)
            text.replace(u'.', u',');
        return parseDecimalComma(text.toStdString(), thousandsPoints());
    }
};

// Read in this order. Tuners type decimals mostly into the stroke and the header diameter, so a
// point there is taken for a comma.
inline constexpr std::array kInputFields{
    InputField{u"Text1", u"Label1", &ChamberInputs::exhaustDuration, TypedPoint::ThousandsSeparator},
    InputField{u"Text2", u"Label2", &ChamberInputs::waveSpeed, TypedPoint::ThousandsSeparator},
    InputField{u"Text3", u"Label3", &ChamberInputs::maxRpm, TypedPoint::ThousandsSeparator},
    InputField{u"Text4", u"Label4", &ChamberInputs::stroke, TypedPoint::DecimalComma},
    InputField{u"Text15", u"Label5", &ChamberInputs::headerDiameter, TypedPoint::DecimalComma},
};

inline constexpr DecimalPlaces kResultDecimalPlaces{5};

struct ResultField {
    FieldName field;
    CaptionName caption;
    double ChamberDimensions::*value;

    // The result as the window writes it.
    [[nodiscard]] QString textOf(const ChamberDimensions& dimensions) const
    {
        return QString::fromStdString(formatRounded(dimensions.*value, kResultDecimalPlaces));
    }
};

// Written in this order.
inline constexpr std::array kResultFields{
    ResultField{u"Text5", u"Label22", &ChamberDimensions::L1},
    ResultField{u"Text6", u"Label21", &ChamberDimensions::L2},
    ResultField{u"Text7", u"Label20", &ChamberDimensions::L3},
    ResultField{u"Text8", u"Label19", &ChamberDimensions::L4},
    ResultField{u"Text9", u"Label18", &ChamberDimensions::L5},
    ResultField{u"Text10", u"Label17", &ChamberDimensions::L6},
    ResultField{u"Text11", u"Label23", &ChamberDimensions::D1},
    ResultField{u"Text12", u"Label24", &ChamberDimensions::D2},
    ResultField{u"Text13", u"Label25", &ChamberDimensions::D3},
    ResultField{u"Text14", u"Label26", &ChamberDimensions::D4},
    ResultField{u"Text16", u"Label29", &ChamberDimensions::totalLength},
};

// The row of an input or result table that holds `member`. Where the lookup is a constant, a
// member that no row holds does not compile.
template <typename Row, std::size_t Size, typename Member>
constexpr const Row& rowFor(const std::array<Row, Size>& table, Member member)
{
    for (const Row& row : table) {
        if (row.value == member)
            return row;
    }
    throw "no row of the table holds this member";
}

// A figure typed into one of the dialogs, read as the stroke is: a point taken for the decimal comma.
[[nodiscard]] inline std::optional<double> readDialogFigure(const QString& text)
{
    constexpr const InputField& stroke = rowFor(kInputFields, &ChamberInputs::stroke);
    return stroke.read(text);
}

}  // namespace scaricometro
