#include "ui/TextField.h"

#include "ui/QtItalian.h"

#include <QPainter>

#include <limits>

namespace scaricometro {
namespace {

constexpr int kBorderWidth = 2;

}  // namespace

TextField::TextField(QWidget* parent)
    : QLineEdit(parent)
{
    setFrame(false);
    setTextMargins(kBorderWidth, 0, kBorderWidth, 0);
    setMaxLength(std::numeric_limits<int>::max());
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TextField::paintEvent(QPaintEvent* event)
{
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    // Two one-pixel rings, each dark above and left and light below and right: a sunken edge.
    // When the field has the focus, the inner ring takes the highlight colour.
    const QPalette& colors = palette();
    const bool focused = hasFocus();
    const struct {
        QColor topLeft;
        QColor bottomRight;
    } rings[kBorderWidth] = {
        {colors.color(QPalette::Mid), colors.color(QPalette::Light)},
        {focused ? colors.color(QPalette::Highlight) : colors.color(QPalette::Shadow),
         focused ? colors.color(QPalette::Highlight) : colors.color(QPalette::Midlight)},
    };
    QRect ring = rect();
    for (const auto& colorsOfRing : rings) {
        painter.fillRect(ring.left(), ring.top(), ring.width(), 1, colorsOfRing.topLeft);
        painter.fillRect(ring.left(), ring.top() + 1, 1, ring.height() - 1, colorsOfRing.topLeft);
        painter.fillRect(ring.left() + 1, ring.bottom(), ring.width() - 1, 1, colorsOfRing.bottomRight);
        painter.fillRect(ring.right(), ring.top() + 1, 1, ring.height() - 2, colorsOfRing.bottomRight);
        ring.adjust(1, 1, -1, -1);
    }
}

// The edit menu is Qt's own, in Italian.
void TextField::contextMenuEvent(QContextMenuEvent* event)
{
    useQtItalian();
    QLineEdit::contextMenuEvent(event);
}

}  // namespace scaricometro
