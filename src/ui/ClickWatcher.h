// Turns a left-button press and release on a widget into a click, without taking the mouse
// events from the widget: a field still places its caret.
#pragma once

#include <QObject>

class QWidget;

namespace scaricometro {

class ClickWatcher : public QObject {
    Q_OBJECT

public:
    // Watches `widget` for as long as the widget lives.
    explicit ClickWatcher(QWidget* widget);

Q_SIGNALS:
    void clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace scaricometro
