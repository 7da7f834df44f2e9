// The construction dialog driven as a tuner drives it, for the snapshot tool: the bends typed into
// their rows, and the fit to the bike asked of "Adatta alla moto".
#pragma once

#include "model/ConeDevelopment.h"
#include "ui/ChamberConstructionDialog.h"
#include "ui/Form1.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>
#include <utility>
#include <vector>

// What `--sections L1=74.965,L3=228.37,D3=110` types: each figure (into kSectionFigures) and its
// text with a decimal comma; none where one cannot be read.
using SectionsOption = std::vector<std::pair<std::size_t, QString>>;
std::optional<SectionsOption> sectionsOption(const QString& option);

// The sections typed into the construction dialog's group "Sezioni" as a tuner would type them;
// false, with why printed, where the dialog refuses one.
bool typeSections(scaricometro::Form1& window, const SectionsOption& sections, QTextStream& err);

// The construction dialog as the window opens it, the bends typed into it as a tuner would.
scaricometro::ChamberConstructionDialog* dialogWithBends(scaricometro::Form1& window, const scaricometro::ChamberBends& bends);

// What `--fit X,Y,Z[@PLAN,RISE]` and `--free L1,L3,L5` ask the dialog's fields to hold: each
// field's accessible name and its text, the boxes to tick.
struct FitOption {
    std::vector<std::pair<QString, QString>> fields;
    QStringList free;
};

// None where the options cannot be read.
std::optional<FitOption> fitOption(const QString& fit, const QString& free);

// The bends the dialog finds for the fit asked, each printed as it can be typed back; none, with
// the dialog's reason printed, where no bends reach the point. With `picture`, the dialog as the
// search left it.
std::optional<scaricometro::ChamberBends> fittedBends(scaricometro::Form1& window, const scaricometro::ChamberBends& bends,
                                                      const FitOption& fit, QTextStream& out, QTextStream& err,
                                                      QImage* picture);
