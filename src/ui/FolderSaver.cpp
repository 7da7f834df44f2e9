#include "ui/FolderSaver.h"

#include "ui/ProblemMessage.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace scaricometro {

FolderSaver::FolderSaver(QWidget* parent, ProblemMessage& problem, FolderDialog folderDialog, OpenFolder openFolder)
    : QObject(parent)
    , m_parent(parent)
    , m_problem(problem)
    , m_folderDialog(std::move(folderDialog))
    , m_openFolder(std::move(openFolder))
{
}

void FolderSaver::start(FileBatch batch)
{
    m_batch = std::move(batch);
    QFileDialog* folders = m_folderDialog(m_batch.folderQuestion);
    folders->setFileMode(QFileDialog::Directory);
    folders->setOption(QFileDialog::ShowDirsOnly);
    connect(folders, &QFileDialog::fileSelected, this, &FolderSaver::saveInto);
    folders->open();
}

void FolderSaver::saveInto(const QString& folder)
{
    const QStringList present = filesPresent(folder, m_batch.files);
    if (present.isEmpty()) {
        write(folder);
        return;
    }
    auto* question = new QMessageBox(
        QMessageBox::Question, m_parent->windowTitle(),
        tr("Nella cartella \"%1\" ci sono già:\n%2\n\nSostituirli con i nuovi?")
            .arg(QDir::toNativeSeparators(folder), present.join(u'\n')),
        QMessageBox::NoButton, m_parent);
    question->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* replace = question->addButton(tr("Sostituisci"), QMessageBox::AcceptRole);
    question->setDefaultButton(question->addButton(tr("Annulla"), QMessageBox::RejectRole));
    connect(replace, &QPushButton::clicked, this, [this, folder] { write(folder); });
    question->open();
}

void FolderSaver::write(const QString& folder)
{
    if (const std::optional<SaveFailure> failure = saveAllOrNone(folder, m_batch.files)) {
        m_problem.show(m_parent, tr("Impossibile salvare \"%1\":\n%2.\nNella cartella non è stato scritto nessun file.")
                                     .arg(QDir::toNativeSeparators(failure->path), failure->reason));
        return;
    }
    QStringList lines{m_batch.savedHeading.arg(QDir::toNativeSeparators(folder))};
    lines.append(m_batch.savedLines);
    if (!m_openFolder(folder))
        lines.append(tr("Su questo desktop non c'è un gestore di file che apra la cartella: i file sono lì."));
    showNotice(m_parent, lines.join(u'\n'));
}

}  // namespace scaricometro
