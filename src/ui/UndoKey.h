// Ctrl+Z for what a dialog itself can put back, from whichever of its fields has the focus. A
// field would take the key for its own undo: while the dialog has something to put back, the
// dialog's shortcut has it.
#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace scaricometro {

class UndoKey : public QObject {
public:
    // Watches the fields `dialog` holds by now; `canUndo` tells whether the dialog has something to
    // put back, and `undo` puts it back.
    UndoKey(QWidget* dialog, std::function<bool()> canUndo, const std::function<void()>& undo);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<bool()> m_canUndo;
};

}  // namespace scaricometro
