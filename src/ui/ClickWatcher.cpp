#include "ui/ClickWatcher.h"

#include <QMouseEvent>
#include <QWidget>

namespace scaricometro {

ClickWatcher::ClickWatcher(QWidget* widget)
    : QObject(widget)
{
    widget->installEventFilter(this);
}

bool ClickWatcher::eventFilter(QObject* watched, QEvent* event)
{
    // A release reaches the widget only when the press began on it, so a release inside it
    // completes a click.
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const auto* widget = static_cast<QWidget*>(watched);
        if (mouse->button() == Qt::LeftButton && widget->rect().contains(mouse->position().toPoint()))
            Q_EMIT clicked();
    }
    return false;
}

}  // namespace scaricometro
