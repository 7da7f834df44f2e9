#include "ui/UndoKey.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>

namespace scaricometro {

UndoKey::UndoKey(QWidget* dialog, std::function<bool()> canUndo, const std::function<void()>& undo)
    : QObject(dialog)
    , m_canUndo(std::move(canUndo))
{
    for (QLineEdit* field : dialog->findChildren<QLineEdit*>())
        field->installEventFilter(this);
    connect(new QShortcut(QKeySequence::Undo, dialog), &QShortcut::activated, this, undo);
}

bool UndoKey::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride && m_canUndo()
        && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Undo)) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace scaricometro
