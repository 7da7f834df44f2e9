// Which window field feeds which model input, and which field shows which result.
#pragma once

#include "model/ChamberModel.h"
#include "model/NumberText.h"

#include <QStringView>

#include <array>

namespace scaricometro {

struct InputField {
    QStringView field;
    QStringView caption;  // names the field in messages to the user
    double ChamberInputs::*value;
    ThousandsPoints points;
};

// Read in this order. The first three are taken as typed, where a point can only group thousands;
// the last two have had every point turned into a decimal comma before they are read.
inline constexpr std::array kInputFields{
    InputField{u"Text1", u"Label1", &ChamberInputs::exhaustDuration, ThousandsPoints::Accepted},
    InputField{u"Text2", u"Label2", &ChamberInputs::waveSpeed, ThousandsPoints::Accepted},
    InputField{u"Text3", u"Label3", &ChamberInputs::maxRpm, ThousandsPoints::Accepted},
    InputField{u"Text4", u"Label4", &ChamberInputs::stroke, ThousandsPoints::Rejected},
    InputField{u"Text15", u"Label5", &ChamberInputs::headerDiameter, ThousandsPoints::Rejected},
};

// Fields where tuners type decimals most, so a point there is taken for a comma and rewritten.
inline constexpr std::array<QStringView, 2> kCommaNormalisedFields{u"Text15", u"Text4"};

struct ResultField {
    QStringView field;
    QStringView caption;
    double ChamberDimensions::*value;
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

inline constexpr int kResultDecimalPlaces = 5;

}  // namespace scaricometro
