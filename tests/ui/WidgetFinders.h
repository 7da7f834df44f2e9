// Finding a dialog's controls as a user does: by what they say, or by what screen readers call them.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QWidget>

namespace scaricometro {

// The first of `parent`'s widgets of the kind that is shown.
template <typename Widget>
Widget* shown(const QObject& parent)
{
    for (Widget* widget : parent.findChildren<Widget*>()) {
        if (widget->isVisible())
            return widget;
    }
    return nullptr;
}

inline QPushButton* buttonCalled(const QWidget& parent, const QString& text)
{
    for (QPushButton* button : parent.findChildren<QPushButton*>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

// The control that screen readers call `name`.
template <typename Widget>
Widget* named(const QWidget& parent, const QString& name)
{
    for (Widget* widget : parent.findChildren<Widget*>()) {
        if (widget->accessibleName() == name)
            return widget;
    }
    return nullptr;
}

// The field that a caption names for screen readers.
inline QWidget* fieldCaptioned(const QWidget& parent, const QString& caption)
{
    for (const QLabel* label : parent.findChildren<QLabel*>()) {
        if (label->text() == caption)
            return label->buddy();
    }
    return nullptr;
}

}  // namespace scaricometro
