// Saving a set of files into a folder that the user chooses, for the cutting files and the 3D
// model alike: the folder asked for, files of the same names replaced only when the user says so,
// once for them all, every file written or none, and then what was saved told, with the folder
// opened in the file manager where the user asked for it.
#pragma once

#include "cutfiles/FolderSave.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <vector>

class QFileDialog;
class QWidget;

namespace scaricometro {

class ProblemMessage;

struct FileBatch {
    QString folderQuestion;  // the folder dialog's title
    std::vector<FileToSave> files;
    QString savedHeading;    // the message's first line, "%1" the folder
    QStringList savedLines;  // what the message tells after it
};

class FolderSaver : public QObject {
    Q_OBJECT

public:
    using FolderDialog = std::function<QFileDialog*(const QString& title)>;
    using OpenFolder = std::function<bool(const QString& folder)>;

    // The messages and dialogs go over `parent`; `openFolder` opens a saved folder where asked,
    // and says whether it could.
    FolderSaver(QWidget* parent, ProblemMessage& problem, FolderDialog folderDialog, OpenFolder openFolder);

    // Asks for the folder, then saves the batch into it; a batch still waiting is dropped.
    void start(FileBatch batch);

private:
    void saveInto(const QString& folder);
    void write(const QString& folder);

    QWidget* m_parent;
    ProblemMessage& m_problem;
    FolderDialog m_folderDialog;
    OpenFolder m_openFolder;
    FileBatch m_batch;
};

}  // namespace scaricometro
