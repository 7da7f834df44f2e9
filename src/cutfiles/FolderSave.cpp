#include "cutfiles/FolderSave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <vector>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

// The set being saved: where each file is written first, beside its place, and where the file it
// replaces is kept until all are in place.
struct Placing {
    QString target;
    QString written;
    QString previous;
    bool placed = false;
};

void undo(const std::vector<Placing>& placings)
{
    for (auto placing = placings.rbegin(); placing != placings.rend(); ++placing) {
        if (placing->placed)
            QFile::remove(placing->target);
        if (!placing->previous.isEmpty())
            QFile::rename(placing->previous, placing->target);
        QFile::remove(placing->written);
    }
}

// A new file beside `target`, with a name of its own: made as any new file of the user's is, with the
// permissions the umask leaves (QTemporaryFile would make it readable by its owner alone).
bool createBeside(QFile& file, const QString& target)
{
    const QFileInfo place(target);
    constexpr int kTries = 100;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        const QString suffix = QString::number(QRandomGenerator::global()->generate(), 16);
        file.setFileName(place.dir().filePath(u".%1.%2"_s.arg(place.fileName(), suffix)));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return true;
        // Another file of that name: try another; anything else is a failure to tell.
        if (!QFileInfo::exists(file.fileName()))
            return false;
    }
    return false;
}

// Why what stands at `target` is not a file that saving may replace; none where it is one, or
// where nothing is there.
std::optional<QString> whyNotReplaceable(const QFileInfo& target)
{
    if (target.isDir())
        return u"al suo posto c'è una cartella con lo stesso nome"_s;
    if (target.exists() && !target.isFile())
        return u"al suo posto c'è qualcosa che non è un file"_s;
    return std::nullopt;
}

// Flushed, then synced to the disk, as QSaveFile commits a file.
bool reachesTheDisk(QFile& file)
{
    if (!file.flush())
        return false;
#ifdef Q_OS_WIN
    return ::_commit(file.handle()) == 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
}

QString reasonWithError(const char* what, const QFileDevice& file)
{
    return QString::fromUtf8(what).arg(file.errorString());
}

}  // namespace

QStringList filesPresent(const QString& folder, std::span<const FileToSave> files)
{
    const QDir dir(folder);
    QStringList present;
    for (const FileToSave& file : files) {
        if (QFileInfo(dir.filePath(file.name)).isFile())
            present.append(file.name);
    }
    return present;
}

std::optional<SaveFailure> saveAllOrNone(const QString& folder, std::span<const FileToSave> files,
                                         const std::function<void(const QString&)>& beforePlacing)
{
    const QDir dir(folder);
    if (!files.empty() && !dir.exists())
        return SaveFailure{dir.filePath(files.front().name), u"la cartella non c'è più"_s};
    for (const FileToSave& file : files) {
        const QFileInfo target(dir.filePath(file.name));
        if (const std::optional<QString> why = whyNotReplaceable(target))
            return SaveFailure{target.filePath(), *why};
    }

    // Every file written in full beside its place before any is put there.
    std::vector<Placing> placings;
    for (const FileToSave& file : files) {
        const QString target = dir.filePath(file.name);
        QFile written;
        if (!createBeside(written, target)) {
            undo(placings);
            return SaveFailure{target, reasonWithError("il file non si può creare (%1)", written)};
        }
        placings.push_back({target, written.fileName(), {}, false});
        const bool complete = written.write(file.contents) == file.contents.size() && reachesTheDisk(written);
        written.close();
        if (!complete || written.error() != QFileDevice::NoError) {
            undo(placings);
            return SaveFailure{target, reasonWithError("il file non si può scrivere (%1)", written)};
        }
    }

    // Then each in its place, the file it replaces kept aside until all are in.
    for (Placing& placing : placings) {
        if (beforePlacing)
            beforePlacing(placing.target);
        // What was checked may have changed since: a folder made meanwhile is not moved aside.
        if (const std::optional<QString> why = whyNotReplaceable(QFileInfo(placing.target))) {
            undo(placings);
            return SaveFailure{placing.target, *why};
        }
        if (QFileInfo::exists(placing.target)) {
            QFile previous(placing.target);
            // A replaced file keeps who may read it.
            QFile::setPermissions(placing.written, previous.permissions());
            if (!previous.rename(placing.written + u".prima"_s)) {
                undo(placings);
                return SaveFailure{placing.target, reasonWithError("il file che c'è non si può sostituire (%1)", previous)};
            }
            placing.previous = previous.fileName();
        }
        QFile written(placing.written);
        if (!written.rename(placing.target)) {
            undo(placings);
            return SaveFailure{placing.target, reasonWithError("il file non si può mettere al suo posto (%1)", written)};
        }
        placing.placed = true;
    }
    for (const Placing& placing : placings) {
        if (!placing.previous.isEmpty())
            QFile::remove(placing.previous);
    }
    return std::nullopt;
}

}  // namespace scaricometro
