// What the tuning of the chamber says in words, for the waves' dialog and the snapshot tool.
#pragma once

#include "waves/ChamberTuning.h"

#include <QString>

namespace scaricometro {

// "L1–L5 × 1,3750"
[[nodiscard]] QString factorText(double factor);
// "passo 2: L1–L5 × 1,3612, accordata a 12 180", or how far the check over the whole band has gone.
[[nodiscard]] QString tuningProgressSentence(const waves::TuningProgress& progress);
// What was found: the factor and the steps; the tuned chamber's accord is the band's sentence's.
[[nodiscard]] QString tuningFoundSentence(const waves::TuningFound& found, double targetRpm);
// Why no factor tunes the chamber to the target, with the nearest accord found and its factor.
[[nodiscard]] QString tuningFailureSentence(const waves::TuningFailure& failure, double targetRpm);

}  // namespace scaricometro
