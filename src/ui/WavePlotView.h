// One of the waves' three plots on the dialog's screen, painted by the views' own function on a
// white sheet, in pixels with the screen's millimetre for lines and text.
#pragma once

#include "views/WavePlots.h"

#include <QWidget>

namespace scaricometro {

class WavePlotView : public QWidget {
    Q_OBJECT

public:
    using Paint = void (*)(QPainter& painter, const QRectF& area, double unit, const WavePlotData& data);

    // `plotData` is the dialog's, and outlives the view.
    WavePlotView(Paint paint, const WavePlotData& plotData, const QString& name, QWidget* parent);

    [[nodiscard]] QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Paint m_paint;
    const WavePlotData& m_data;
};

}  // namespace scaricometro
