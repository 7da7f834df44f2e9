// The pattern pages: each section's sector or blank at full size, its cutting line black, tiled
// over sheets that carry alignment marks where they join, with the cone's centre, and a bent
// section's pieces numbered and those to turn marked.
#pragma once

#include "sheets/SheetPage.h"
#include "sheets/TemplatePlan.h"

#include <QStringList>

#include <cstddef>

namespace scaricometro {

// What sheet `sheet` of the pattern is, for its page's heading.
[[nodiscard]] QStringList patternHeadingLines(const PatternSheets& pattern, std::size_t sheet,
                                              const ChamberDevelopment& development, const TemplateOptions& options);
// The part of the pattern that `sheet` shows, in the page's `area`.
void paintPatternSheet(const Page& page, const PatternSheets& pattern, const Sheet& sheet, const Rect& area);

}  // namespace scaricometro
