// Why the waves cannot be analysed, in words that name the figure to mend: a field of the waves'
// dialog, which gets the focus, or one of the window's, which the dialog cannot reach and so names.
#pragma once

#include "sheets/TemplatePlan.h"
#include "ui/BendFields.h"
#include "waves/WaveAnalysis.h"

namespace scaricometro {

class EngineFields;

// `outcome` must hold a refusal or a failure, not a setup; it was prepared from the window's
// `inputs`, which `window` labels as the window does, and the `engine` read from `fields`.
[[nodiscard]] FieldProblem whyNoWaves(const waves::SetupOutcome& outcome, const ChamberInputs& inputs,
                                      const ChamberFigures& window, const waves::EngineFigures& engine,
                                      const EngineFields& fields);

}  // namespace scaricometro
