// The chamber's cutting files, one part a file, as cutting services take orders, and saving them
// into a folder: all of them, or none.
#pragma once

#include "model/ConeDevelopment.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

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

// The name carries the section's label and Italian name, and how many to cut when more than one.
[[nodiscard]] QString cuttingFileName(const ChamberSection& section, int count);

// From the engine end, a drawing for each part that chamberParts gives.
[[nodiscard]] std::vector<CuttingFile> cuttingFiles(const ChamberDevelopment& development, int piecesPerCone);

// The names of the files already in `folder`, which saving them would replace.
[[nodiscard]] QStringList filesPresent(const QString& folder, std::span<const CuttingFile> files);

struct SaveFailure {
    QString path;    // the file at fault
    QString reason;  // in Italian, to follow "Impossibile salvare …:"
};

// Writes every file into `folder`, replacing any of the same name, or, on a failure, leaves the
// folder as it was: no new file, no file replaced.
[[nodiscard]] std::optional<SaveFailure> saveAllOrNone(const QString& folder, std::span<const CuttingFile> files);

}  // namespace scaricometro
