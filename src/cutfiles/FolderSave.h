// Saving a set of files into a folder: all of them, or none, each on the disk before any is in
// place, as the cutting files and the 3D model are saved.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <span>

namespace scaricometro {

struct FileToSave {
    QString name;  // within the folder
    QByteArray contents;
};

// The names of the files already in `folder`, which saving them would replace.
[[nodiscard]] QStringList filesPresent(const QString& folder, std::span<const FileToSave> files);

struct SaveFailure {
    QString path;    // the file at fault
    QString reason;  // in Italian, to follow "Impossibile salvare …:"
};

// Writes every file into `folder`, replacing any of the same name, or, on a failure, leaves the
// folder as it was: no new file, no file replaced. Each file's bytes reach the disk before any is
// put in place, so that a power cut leaves the old files or the new ones, never empty ones.
// `beforePlacing`, for tests, runs just before each file is put in its place, with its path.
[[nodiscard]] std::optional<SaveFailure> saveAllOrNone(const QString& folder, std::span<const FileToSave> files,
                                                       const std::function<void(const QString&)>& beforePlacing = {});

}  // namespace scaricometro
