// The window's single-line fields: an editable line with a classic sunken border, drawn with
// plain lines. It paints its whole box, and costs far less to repaint than a style's rounded,
// antialiased frame, which matters when "Calcola" rewrites eleven fields at once.
#pragma once

#include <QLineEdit>

namespace scaricometro {

class TextField : public QLineEdit {
    Q_OBJECT

public:
    explicit TextField(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

}  // namespace scaricometro
