// The chamber as the dialog's entries make it: the side view and, under it, the top view, and the
// dimetric view beside them or under them, wherever the chamber comes out larger; drawn by the
// data sheet's own views at the scale that fits, a section whose bend is refused in red.
#pragma once

#include "views/ChamberViews.h"
#include "views/PictorialView.h"

#include <QWidget>

#include <optional>

namespace scaricometro {

class ChamberPreview : public QWidget {
    Q_OBJECT

public:
    explicit ChamberPreview(QWidget* parent);

    // Draws the chamber of `route`, or nothing where there is none; where the outlet is wanted, marked.
    void showRoute(const ChamberRoute& route, const ChamberBends& bends, std::optional<Vector3> wanted = {});
    void showNothing();

    [[nodiscard]] QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<ChamberViews> m_views;
    std::optional<PictorialView> m_pictorial;
};

}  // namespace scaricometro
