// The analysis as tables for a spreadsheet: fields between ";", the decimal comma, a heading row,
// UTF-8, as Italian spreadsheets read them.
#pragma once

#include "waves/CycleRun.h"
#include "waves/WaveAnalysis.h"

#include <span>
#include <string>

namespace scaricometro::waves {

// angle; port pressure; cylinder pressure (bar), a row for each whole degree 0 ... 360; the
// cylinder's field empty while the exhaust is closed.
[[nodiscard]] std::string cycleCsv(const CycleTrace& trace);
// rpm; plug; suction (bar), a row for each engine speed; where the band of the chamber before a
// tuning is given, its plug and suction at the same speed in two more columns (empty where it has
// none).
[[nodiscard]] std::string bandCsv(std::span<const BandPoint> points, std::span<const BandPoint> before = {});

}  // namespace scaricometro::waves
