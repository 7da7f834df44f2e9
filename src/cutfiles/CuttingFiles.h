// The chamber's cutting files, one part a file, as cutting services take orders: named
// "scaricometro-L3-secondo-cono-divergente.dxf" and so on.
#pragma once

#include "cutfiles/FolderSave.h"
#include "model/ConeDevelopment.h"

#include <QString>

#include <span>
#include <vector>

namespace scaricometro {

// The name carries the section's label and Italian name, how many to cut when more than one, and
// a bent section's piece number and whether to turn it.
[[nodiscard]] QString cuttingFileName(const ChamberPart& part);

// A drawing for each part, as chamberParts gives them, in their order.
[[nodiscard]] std::vector<FileToSave> cuttingFiles(std::span<const ChamberPart> parts);

}  // namespace scaricometro
