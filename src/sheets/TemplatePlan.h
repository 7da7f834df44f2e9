// What a templates document is made from: the chamber as the window shows it and as built, the
// choices of the dialog, and each section's pattern tiled over its sheets.
#pragma once

#include "model/BuiltChamber.h"
#include "model/ConeDevelopment.h"
#include "model/SheetTiling.h"

#include <QList>
#include <QPageSize>
#include <QString>
#include <QStringView>

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

namespace scaricometro {

struct PaperChoice {
    QStringView name;
    QPageSize::PageSizeId size;
};

inline constexpr std::array kPapers{
    PaperChoice{u"A4", QPageSize::A4},
    PaperChoice{u"A3", QPageSize::A3},
    PaperChoice{u"Letter", QPageSize::Letter},
};

struct LabelledValue {
    QString label;
    QString value;
};

// The chamber as the window shows it: the five inputs as read and the eleven results as written,
// each with its caption; and the chamber as built, which starts as the window's.
struct ChamberFigures {
    QList<LabelledValue> inputs;
    QList<LabelledValue> results;
    BuiltChamber chamber;
};

struct TemplateOptions {
    double thickness = 1;  // mm
    QPageSize::PageSizeId paper = QPageSize::A4;
    int piecesPerCone = 1;  // of a straight cone
    ChamberBends bends{};
};

// One section's pattern and its sheets: a straight cone's sector, or one of its equal pieces; a
// bent section's pieces, each where it lies on the sector or the blank they are cut from.
struct PatternSheets {
    std::size_t section = 0;  // in kChamberSections
    std::vector<ChamberPart> parts;
    std::optional<PieCuts> cuts;  // a bent section's
    TilePlan plan;
};

}  // namespace scaricometro
