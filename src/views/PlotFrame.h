// The frame that the wave analysis' plots share: a white ground, the title, the legend, the
// marks named above the plot, the axes with their ticks and numbers, and the mapping of the
// plotted quantities into the painter's units, which may be pixels or millimetres.
#pragma once

#include <QFont>
#include <QPainter>
#include <QRectF>
#include <QRgb>
#include <QString>

#include <functional>
#include <vector>

namespace scaricometro {

inline constexpr double kCurveMm = 0.45;

struct LegendEntry {
    QString text;
    QRgb color = 0;
    Qt::PenStyle style = Qt::SolidLine;
    bool filled = false;  // a shaded area rather than a line
};

// A vertical line across the plot at `x`, named above it; or only the name.
struct PlotMark {
    double x = 0;
    QString label;
    QRgb color = 0;
    Qt::PenStyle style = Qt::DashLine;
    bool line = true;
};

struct AxisLayout {
    double from = 0;
    double to = 1;
    double step = 0;  // between ticks; 0 for none
    QString title;
    std::function<QString(double)> text;  // a tick's number
};

struct PlotLayout {
    QString title;
    AxisLayout x;
    AxisLayout y;
    std::vector<LegendEntry> legend;
    std::vector<PlotMark> marks;
    double rightMm = 0;  // room right of the plot, for a scale
};

// The decimals that write each multiple of `step` exactly (up to a few).
[[nodiscard]] int placesFor(double step);
// A tick step of 1, 2, 2.5 or 5 times a power of ten giving at most `most` steps over the span.
[[nodiscard]] double niceStep(double span, int most);
// The span widened to whole steps.
[[nodiscard]] AxisLayout niceAxis(double low, double high, int mostSteps, QString title,
                                std::function<QString(double)> text);

class PlotFrame {
public:
    PlotFrame(QPainter& painter, const QRectF& area, double unit, PlotLayout layout);

    [[nodiscard]] QRectF plot() const { return m_plot; }
    [[nodiscard]] double mm(double millimetres) const { return millimetres * m_unit; }
    [[nodiscard]] double mapX(double x) const;
    [[nodiscard]] double mapY(double y) const;
    [[nodiscard]] QPointF map(double x, double y) const { return {mapX(x), mapY(y)}; }
    // A font of `points`, whatever the painter's units.
    [[nodiscard]] QFont font(double points, bool bold = false) const;
    void setPen(QRgb color, double widthMm, Qt::PenStyle style = Qt::SolidLine) const;

    // The ground, title, legend, grid, ticks and axes' titles: all but what is plotted.
    void paintFrame() const;
    // The marks' lines and names, and the plot's border, over what is plotted.
    void paintOver() const;
    // A horizontal line across the plot at `y`, named at its right end.
    void horizontalLine(double y, QRgb color, Qt::PenStyle style, const QString& label) const;
    // Text in the middle of the plot, where there is nothing yet to plot.
    void message(const QString& text) const;
    // Draws `text` with its reference point at `at`, aligned by `alignment` around it.
    void label(QPointF at, const QString& text, const QFont& font, Qt::Alignment alignment, QRgb color) const;

private:
    // Where a mark's name `half` wide is centred: over its line, but within the area.
    [[nodiscard]] double labelCentre(double x, double half) const;
    void paintLegend(double top) const;
    void paintTicks() const;

    QPainter& m_painter;
    QRectF m_area;
    double m_unit;
    PlotLayout m_layout;
    QRectF m_plot;
    std::vector<int> m_markRows;  // which row above the plot each mark's name takes
};

}  // namespace scaricometro
