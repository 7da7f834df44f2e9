#include "ui/ProblemMessage.h"

#include "ui/QtItalian.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QMessageBox>

namespace scaricometro {
namespace {

QMessageBox* openMessage(QMessageBox::Icon icon, QWidget* parent, const QString& message)
{
    useQtItalian();
    auto* box = new QMessageBox(icon, parent->window()->windowTitle(), message, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();  // window-modal: the rest of the desktop stays usable
    return box;
}

}  // namespace

void ProblemMessage::show(QWidget* parent, const QString& message, QLineEdit* fieldToMend)
{
    if (m_open)
        m_open->close();
    // The focus returns here when the message closes.
    if (fieldToMend) {
        fieldToMend->setFocus();
        fieldToMend->selectAll();
    }
    m_open = openMessage(QMessageBox::Warning, parent, message);
}

void showNotice(QWidget* parent, const QString& message)
{
    openMessage(QMessageBox::Information, parent, message);
}

QString ProblemMessage::notANumber(const QString& caption, const QString& example)
{
    return QCoreApplication::translate("ProblemMessage",
                                       "Il valore di \"%1\" non è un numero.\n"
                                       "Usare solo cifre, con la virgola per i decimali: per esempio %2.")
        .arg(caption, example);
}

}  // namespace scaricometro
