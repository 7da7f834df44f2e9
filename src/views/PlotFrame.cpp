#include "views/PlotFrame.h"

#include "views/Canvas.h"

#include <QFontMetricsF>
#include <QPaintDevice>

#include <algorithm>
#include <array>
#include <cmath>

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

constexpr double kMillimetresPerInch = 25.4;
constexpr double kPaddingMm = 2;
constexpr double kTitlePoints = 9;
constexpr double kLegendPoints = 7;
constexpr double kSmallPoints = 6.5;
constexpr double kTitleGapMm = 1.5;
constexpr double kRowGapMm = 1;
constexpr double kTickMm = 1.2;
constexpr double kTickGapMm = 1;
constexpr double kAxisTitleGapMm = 1.5;
constexpr double kLegendSampleMm = 7;
constexpr double kLegendSampleGapMm = 1.5;
constexpr double kLegendEntryGapMm = 5;
constexpr double kFrameLineMm = 0.25;
constexpr double kGridLineMm = 0.12;
constexpr double kMarkLineMm = 0.25;
constexpr double kMarkGapMm = 1.5;
constexpr int kMostMarkRows = 3;
constexpr QRgb kGroundColor = 0xFFFFFF;
constexpr QRgb kFrameColor = 0x303030;
constexpr QRgb kGridColor = 0xDADADA;
constexpr QRgb kMessageColor = 0x707070;
constexpr QRgb kVeilColor = qRgba(255, 255, 255, 200);
constexpr std::array kStepMantissas{1.0, 2.0, 2.5, 5.0, 10.0};
constexpr double kSpanSlack = 1e-9;  // of a step, so that an end already on a tick stays there

}  // namespace

int placesFor(double step)
{
    constexpr int kMostPlaces = 4;
    constexpr double kTolerance = 1e-6;
    int places = 0;
    for (double scaled = step; places < kMostPlaces && std::abs(scaled - std::round(scaled)) > kTolerance * scaled;
         scaled *= 10)
        ++places;
    return places;
}

double niceStep(double span, int most)
{
    if (!(span > 0) || most < 1)
        return 1;
    const double rough = span / most;
    const double decade = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double mantissa : kStepMantissas) {
        if (mantissa * decade >= rough)
            return mantissa * decade;
    }
    return kStepMantissas.back() * decade;
}

AxisLayout niceAxis(double low, double high, int mostSteps, QString title, std::function<QString(double)> text)
{
    if (!(high > low)) {
        const double half = std::max(std::abs(low) * 0.05, 0.05);
        low -= half;
        high += half;
    }
    const double step = niceStep(high - low, mostSteps);
    const double from = std::floor(low / step + kSpanSlack) * step;
    const double to = std::ceil(high / step - kSpanSlack) * step;
    return {from, to, step, std::move(title), std::move(text)};
}

PlotFrame::PlotFrame(QPainter& painter, const QRectF& area, double unit, PlotLayout layout)
    : m_painter(painter)
    , m_area(area)
    , m_unit(unit)
    , m_layout(std::move(layout))
{
    const QFontMetricsF small(font(kSmallPoints), m_painter.device());
    const QFontMetricsF legend(font(kLegendPoints), m_painter.device());
    const QFontMetricsF title(font(kTitlePoints, true), m_painter.device());

    double widestTick = 0;
    if (m_layout.y.step > 0) {
        for (double y = m_layout.y.from; y <= m_layout.y.to + m_layout.y.step * kSpanSlack; y += m_layout.y.step)
            widestTick = std::max(widestTick, small.horizontalAdvance(m_layout.y.text(y)));
    }
    const double left = m_area.left() + mm(kPaddingMm) + legend.height() + mm(kAxisTitleGapMm) + widestTick
        + mm(kTickGapMm + kTickMm);
    const double right = m_area.right() - mm(kPaddingMm + m_layout.rightMm) - small.horizontalAdvance(u"0000"_s) / 2;
    m_plot.setLeft(left);
    m_plot.setRight(std::max(right, left + 1));

    // The legend's rows: entries wrap to a new row where they would pass the right edge.
    double legendRows = m_layout.legend.empty() ? 0 : 1;
    double x = m_plot.left();
    for (const LegendEntry& entry : m_layout.legend) {
        const double width = mm(kLegendSampleMm + kLegendSampleGapMm) + legend.horizontalAdvance(entry.text);
        if (x > m_plot.left() && x + width > m_plot.right()) {
            ++legendRows;
            x = m_plot.left();
        }
        x += width + mm(kLegendEntryGapMm);
    }

    // Each mark's name on the lowest row where it meets no other.
    std::vector<double> rowEnds(kMostMarkRows, -INFINITY);
    int rows = 0;
    for (const PlotMark& mark : m_layout.marks) {
        if (mark.label.isEmpty()) {
            m_markRows.push_back(0);
            continue;
        }
        const double half = small.horizontalAdvance(mark.label) / 2;
        const double centre = labelCentre(mark.x, half);
        int row = 0;
        while (row + 1 < kMostMarkRows && centre - half < rowEnds[static_cast<std::size_t>(row)] + mm(kMarkGapMm))
            ++row;
        rowEnds[static_cast<std::size_t>(row)] = std::max(rowEnds[static_cast<std::size_t>(row)], centre + half);
        m_markRows.push_back(row);
        rows = std::max(rows, row + 1);
    }

    const double top = m_area.top() + mm(kPaddingMm) + title.height() + mm(kTitleGapMm)
        + legendRows * (legend.height() + mm(kRowGapMm)) + rows * small.height() + mm(kRowGapMm);
    const double bottom = m_area.bottom() - mm(kPaddingMm) - legend.height() - mm(kAxisTitleGapMm) - small.height()
        - mm(kTickGapMm + kTickMm);
    m_plot.setTop(top);
    m_plot.setBottom(std::max(bottom, top + 1));
}

double PlotFrame::mapX(double x) const
{
    return m_plot.left() + (x - m_layout.x.from) / (m_layout.x.to - m_layout.x.from) * m_plot.width();
}

double PlotFrame::mapY(double y) const
{
    return m_plot.bottom() - (y - m_layout.y.from) / (m_layout.y.to - m_layout.y.from) * m_plot.height();
}

double PlotFrame::labelCentre(double x, double half) const
{
    const double left = m_area.left() + mm(kPaddingMm) + half;
    const double right = m_area.right() - mm(kPaddingMm) - half;
    return left < right ? std::clamp(mapX(x), left, right) : mapX(x);
}

QFont PlotFrame::font(double points, bool bold) const
{
    // Text keeps its size in millimetres whether the painter draws in pixels or in millimetres.
    const double dotsPerMm = m_painter.device()->logicalDpiY() / kMillimetresPerInch;
    return documentFont(points * m_unit / dotsPerMm, bold);
}

void PlotFrame::setPen(QRgb color, double widthMm, Qt::PenStyle style) const
{
    QPen pen(QColor::fromRgb(color), mm(widthMm), style, Qt::FlatCap, Qt::RoundJoin);
    m_painter.setPen(pen);
    m_painter.setBrush(Qt::NoBrush);
}

void PlotFrame::label(QPointF at, const QString& text, const QFont& textFont, Qt::Alignment alignment,
                      QRgb color) const
{
    const QFontMetricsF metrics(textFont, m_painter.device());
    const QSizeF size(metrics.horizontalAdvance(text), metrics.height());
    QPointF topLeft = at;
    if (alignment & Qt::AlignHCenter)
        topLeft.rx() -= size.width() / 2;
    else if (alignment & Qt::AlignRight)
        topLeft.rx() -= size.width();
    if (alignment & Qt::AlignVCenter)
        topLeft.ry() -= size.height() / 2;
    else if (alignment & Qt::AlignBottom)
        topLeft.ry() -= size.height();
    m_painter.setFont(textFont);
    m_painter.setPen(QColor::fromRgb(color));
    m_painter.drawText(QRectF(topLeft, size), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
}

void PlotFrame::paintFrame() const
{
    m_painter.fillRect(m_area, QColor::fromRgb(kGroundColor));
    const QFont titleFont = font(kTitlePoints, true);
    const double titleTop = m_area.top() + mm(kPaddingMm);
    label({m_area.center().x(), titleTop}, m_layout.title, titleFont, Qt::AlignHCenter | Qt::AlignTop, kTextColor);
    paintLegend(titleTop + QFontMetricsF(titleFont, m_painter.device()).height() + mm(kTitleGapMm));
    paintTicks();
}

void PlotFrame::paintLegend(double top) const
{
    const QFont legendFont = font(kLegendPoints);
    const QFontMetricsF metrics(legendFont, m_painter.device());
    double x = m_plot.left();
    double y = top;
    for (const LegendEntry& entry : m_layout.legend) {
        const double width = mm(kLegendSampleMm + kLegendSampleGapMm) + metrics.horizontalAdvance(entry.text);
        if (x > m_plot.left() && x + width > m_plot.right()) {
            x = m_plot.left();
            y += metrics.height() + mm(kRowGapMm);
        }
        const double middle = y + metrics.height() / 2;
        if (entry.filled) {
            const QRectF sample(x, y + metrics.height() / 4, mm(kLegendSampleMm), metrics.height() / 2);
            m_painter.fillRect(sample, QColor::fromRgb(entry.color));
        } else {
            setPen(entry.color, kCurveMm, entry.style);
            m_painter.drawLine(QPointF(x, middle), QPointF(x + mm(kLegendSampleMm), middle));
        }
        label({x + mm(kLegendSampleMm + kLegendSampleGapMm), y}, entry.text, legendFont, Qt::AlignLeft | Qt::AlignTop,
              kTextColor);
        x += width + mm(kLegendEntryGapMm);
    }
}

void PlotFrame::paintTicks() const
{
    const QFont tickFont = font(kSmallPoints);
    const QFont titleFont = font(kLegendPoints);
    const auto ticks = [](const AxisLayout& axis) {
        std::vector<double> values;
        if (axis.step > 0) {
            const double first = std::ceil(axis.from / axis.step - kSpanSlack) * axis.step;
            for (double value = first; value <= axis.to + axis.step * kSpanSlack; value += axis.step)
                values.push_back(value);
        }
        return values;
    };
    for (const double x : ticks(m_layout.x)) {
        const double at = mapX(x);
        setPen(kGridColor, kGridLineMm);
        m_painter.drawLine(QPointF(at, m_plot.top()), QPointF(at, m_plot.bottom()));
        setPen(kFrameColor, kFrameLineMm);
        m_painter.drawLine(QPointF(at, m_plot.bottom()), QPointF(at, m_plot.bottom() + mm(kTickMm)));
        label({at, m_plot.bottom() + mm(kTickMm + kTickGapMm)}, m_layout.x.text(x), tickFont,
              Qt::AlignHCenter | Qt::AlignTop, kTextColor);
    }
    for (const double y : ticks(m_layout.y)) {
        const double at = mapY(y);
        setPen(kGridColor, kGridLineMm);
        m_painter.drawLine(QPointF(m_plot.left(), at), QPointF(m_plot.right(), at));
        setPen(kFrameColor, kFrameLineMm);
        m_painter.drawLine(QPointF(m_plot.left() - mm(kTickMm), at), QPointF(m_plot.left(), at));
        label({m_plot.left() - mm(kTickMm + kTickGapMm), at}, m_layout.y.text(y), tickFont,
              Qt::AlignRight | Qt::AlignVCenter, kTextColor);
    }
    label({m_plot.center().x(), m_area.bottom() - mm(kPaddingMm)}, m_layout.x.title, titleFont,
          Qt::AlignHCenter | Qt::AlignBottom, kTextColor);
    m_painter.save();
    m_painter.translate(m_area.left() + mm(kPaddingMm), m_plot.center().y());
    m_painter.rotate(-90);
    label({0, 0}, m_layout.y.title, titleFont, Qt::AlignHCenter | Qt::AlignTop, kTextColor);
    m_painter.restore();
}

void PlotFrame::paintOver() const
{
    const QFont markFont = font(kSmallPoints);
    const double rowHeight = QFontMetricsF(markFont, m_painter.device()).height();
    for (std::size_t i = 0; i < m_layout.marks.size(); ++i) {
        const PlotMark& mark = m_layout.marks[i];
        const double at = mapX(mark.x);
        if (mark.line) {
            setPen(mark.color, kMarkLineMm, mark.style);
            m_painter.drawLine(QPointF(at, m_plot.top()), QPointF(at, m_plot.bottom()));
        }
        const double bottom = m_plot.top() - mm(kRowGapMm) / 2 - m_markRows[i] * rowHeight;
        const double half = QFontMetricsF(markFont, m_painter.device()).horizontalAdvance(mark.label) / 2;
        label({labelCentre(mark.x, half), bottom}, mark.label, markFont, Qt::AlignHCenter | Qt::AlignBottom, mark.color);
    }
    setPen(kFrameColor, kFrameLineMm);
    m_painter.drawRect(m_plot);
}

void PlotFrame::horizontalLine(double y, QRgb color, Qt::PenStyle style, const QString& text) const
{
    const double at = mapY(y);
    setPen(color, kMarkLineMm, style);
    m_painter.drawLine(QPointF(m_plot.left(), at), QPointF(m_plot.right(), at));
    // On a veil, so that a curve passing behind leaves it legible.
    const QFont textFont = font(kSmallPoints);
    const QFontMetricsF metrics(textFont, m_painter.device());
    const QPointF corner(m_plot.right() - mm(kTickGapMm), at - mm(kRowGapMm) / 2);
    m_painter.fillRect(QRectF(corner - QPointF(metrics.horizontalAdvance(text), metrics.height()),
                              QSizeF(metrics.horizontalAdvance(text), metrics.height())),
                       QColor::fromRgba(kVeilColor));
    label(corner, text, textFont, Qt::AlignRight | Qt::AlignBottom, color);
}

void PlotFrame::message(const QString& text) const
{
    label(m_plot.center(), text, font(kLegendPoints), Qt::AlignCenter, kMessageColor);
}

}  // namespace scaricometro
