// The chamber's cutting files, one part a file, as cutting services take orders, and saving them
// into a folder: all of them, or none.
#pragma once

#include "model/ConeDevelopment.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace scaricometro {

struct CuttingFile {
    QString name;  // "scaricometro-L3-secondo-cono-divergente.dxf"
    const ChamberSection* section = nullptr;
    int count = 1;  // pieces to cut
    QByteArray contents;
};

// The name carries the section's label and Italian name, how many to cut when more than one, and
// a bent section's piece number and whether to turn it.
[[nodiscard]] QString cuttingFileName(const ChamberPart& part);

// A drawing for each part, as chamberParts gives them.
[[nodiscard]] std::vector<CuttingFile> cuttingFiles(std::span<const ChamberPart> parts);

// The names of the files already in `folder`, which saving them would replace.
[[nodiscard]] QStringList filesPresent(const QString& folder, std::span<const CuttingFile> files);

struct SaveFailure {
    QString path;    // the file at fault
    QString reason;  // in Italian, to follow "Impossibile salvare …:"
};

// Writes every file into `folder`, replacing any of the same name, or, on a failure, leaves the
// folder as it was: no new file, no file replaced. Each file's bytes reach the disk before any is
// put in place, so that a power cut leaves the old files or the new ones, never empty ones.
// `beforePlacing`, for tests, runs just before each file is put in its place, with its path.
[[nodiscard]] std::optional<SaveFailure> saveAllOrNone(const QString& folder, std::span<const CuttingFile> files,
                                                       const std::function<void(const QString&)>& beforePlacing = {});

}  // namespace scaricometro
