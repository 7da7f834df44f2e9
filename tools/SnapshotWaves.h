// The waves' dialog driven as a tuner drives it, for the snapshot tool: the engine's figures typed,
// the analysis waited for, and the chamber tuned to an rpm with "Accorda la camera".
#pragma once

#include "ui/Form1.h"
#include "ui/WavesDialog.h"
#include "waves/Engine.h"

#include <QString>
#include <QTextStream>

#include <optional>
#include <utility>
#include <vector>

using EngineTexts = std::vector<std::pair<double scaricometro::waves::EngineFigures::*, QString>>;

// The figures of `--engine bore=40,rod=85,...`, each number with a decimal point, as the dialog's
// fields are to show them; none where one cannot be read.
std::optional<EngineTexts> engineTexts(const QString& option);

// The waves' dialog as the window opens it, the engine's figures typed in, once its analysis is
// over; none, with why printed, where there is none.
scaricometro::WavesDialog* analysedWaves(scaricometro::Form1& window, const EngineTexts& engine, QTextStream& err);

// The chamber tuned to `target` (the window's rpm where none is given) as "Accorda la camera" tunes
// it, the factor and the tuned chamber's sections printed, then its accord as the dialog words it
// once its analysis is over; false, with why printed, where no factor tunes it.
bool tuneInDialog(scaricometro::Form1& window, const EngineTexts& engine, std::optional<double> target,
                  QTextStream& out, QTextStream& err);
