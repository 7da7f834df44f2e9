// What the analysis of the waves says in words, for the dialog, the PDF and the snapshot tool.
#pragma once

#include "waves/CycleRun.h"
#include "waves/WaveAnalysis.h"

#include <QString>

#include <optional>

namespace scaricometro {

// A whole number with its thousands apart, by a space that no line breaks: "11 750".
[[nodiscard]] QString groupedWhole(double value);
// Pascals as bar, with `places` decimals always written: "1,48".
[[nodiscard]] QString barText(double pascals, int places);

// "Accordata a 11 750 giri/min; banda 10 250–12 750; richiesti 12 000", saying where the band
// reaches an end of the sweep.
[[nodiscard]] QString accordSentence(const std::optional<waves::Band>& band, double typedRpm);
// Where the suction is deepest and where the pressure pulse peaks, in degrees and bar.
[[nodiscard]] QString peaksSentence(const waves::RpmResult& result, const waves::PortTiming& timing);
// How the run settled (periodic, alternating, not in 150 cycles, after how many cycles), how hot
// and how fast the pipe's gas came to be, and the wall's temperature.
[[nodiscard]] QString settlingSentence(const waves::RpmResult& result);
[[nodiscard]] QString failureSentence(const waves::FlowFailure& failure);
// What the model takes in and leaves out: the wall's friction and heat at `wallTemperature` (K;
// 0 where the wall takes no part), the transfers' flow, the bends, and any section left out for
// having no length.
[[nodiscard]] QString assumptionsSentence(const waves::Duct& duct, double wallTemperature);
[[nodiscard]] QString ductFailureSentence(const waves::DuctFailure& failure);

}  // namespace scaricometro
