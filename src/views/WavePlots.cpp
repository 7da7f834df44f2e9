#include "views/WavePlots.h"

#include "model/NumberText.h"
#include "views/Canvas.h"
#include "views/PlotFrame.h"
#include "views/QtText.h"
#include "views/WaveTexts.h"
#include "waves/Gas.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

constexpr QRgb kPortColor = 0x1F4E9C;
constexpr QRgb kCylinderColor = 0xD96C00;
constexpr QRgb kAtmosphereColor = 0x606060;
constexpr QRgb kEventColor = 0x6A6A6A;
constexpr QRgb kPlugColor = 0xC0392B;
constexpr QRgb kSuctionColor = 0x1F4E9C;
// The same curves of the chamber before a tuning, faint behind them.
constexpr QRgb kPlugBeforeColor = 0xE9A9A2;
constexpr QRgb kSuctionBeforeColor = 0xA3B8DA;
constexpr QRgb kTypedColor = 0x1E8449;
constexpr QRgb kAccordColor = 0x7D3C98;
constexpr QRgb kBandFill = 0xE4F2DC;
constexpr QRgb kThresholdColor = 0x7D3C98;
constexpr QRgb kBoundaryColor = 0x202020;

constexpr int kMostSteps = 6;
constexpr double kCycleStepDegrees = 30;
constexpr double kDiagramStepDegrees = 60;
constexpr double kPointMm = 0.6;
constexpr double kBoundaryMm = 0.2;
constexpr double kBarMargin = 0.05;  // of the span, above and below the curves
constexpr double kScaleRightMm = 26;
constexpr double kEventTickMm = 1.5;
constexpr double kScaleGapMm = 8;
constexpr double kScaleWidthMm = 3.5;
constexpr double kScaleTextMm = 1;
constexpr int kScaleSteps = 256;
constexpr std::array kScaleMarks{-1.0, -0.5, 0.0, 0.5, 1.0};
constexpr int kScalePlaces = 2;
constexpr int kAtmospherePlaces = 3;
constexpr double kSmallPoints = 6.5;

const QString kPending = u"Calcolo in corso…"_s;

// The diverging colour map: deep blue for the deepest suction, white at the atmosphere, deep red
// for the highest pressure; `share` from −1 to 1.
struct ColourStop {
    double at;
    QRgb colour;
};
constexpr std::array kColourStops{
    ColourStop{-1.0, 0x163A8C}, ColourStop{-0.5, 0x6CA6DC}, ColourStop{0.0, 0xFFFFFF},
    ColourStop{0.5, 0xEB8A72}, ColourStop{1.0, 0xA3161E},
};

QRgb pressureColour(double share)
{
    share = std::clamp(share, -1.0, 1.0);
    std::size_t i = 1;
    while (i + 1 < kColourStops.size() && share > kColourStops[i].at)
        ++i;
    const ColourStop& low = kColourStops[i - 1];
    const ColourStop& high = kColourStops[i];
    const double t = (share - low.at) / (high.at - low.at);
    const auto mix = [t](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * t)); };
    return qRgb(mix(qRed(low.colour), qRed(high.colour)), mix(qGreen(low.colour), qGreen(high.colour)),
                mix(qBlue(low.colour), qBlue(high.colour)));
}

double bar(double pascals)
{
    return pascals / waves::kPascalsPerBar;
}

std::function<QString(double)> fixedText(double step)
{
    const int places = placesFor(step);
    return [places](double value) { return QString::fromStdString(formatFixed(value, DecimalPlaces(places))); };
}

// An axis in bar round `values` (Pa) and the atmosphere.
template<typename Values>
AxisLayout barAxis(const Values& values, const QString& title)
{
    double low = bar(waves::kAtmosphere);
    double high = low;
    for (const double value : values) {
        if (std::isfinite(value)) {
            low = std::min(low, bar(value));
            high = std::max(high, bar(value));
        }
    }
    const double margin = (high - low) * kBarMargin;
    AxisLayout axis = niceAxis(low - margin, high + margin, kMostSteps, title, {});
    axis.text = fixedText(axis.step);
    return axis;
}

std::vector<PlotMark> eventMarks(const waves::PortTiming& timing)
{
    const std::array<std::pair<double, QString>, 5> events{{
        {timing.exhaustOpens, u"EO"_s},
        {timing.transfersOpen, u"TO"_s},
        {timing.bottomDeadCentre, u"PMI"_s},
        {timing.transfersClose, u"TC"_s},
        {timing.exhaustCloses, u"EC"_s},
    }};
    std::vector<PlotMark> marks;
    for (const auto& [angle, name] : events)
        marks.push_back({angle, name, kEventColor, Qt::DashLine, true});
    std::sort(marks.begin(), marks.end(), [](const PlotMark& a, const PlotMark& b) { return a.x < b.x; });
    return marks;
}

QString degreesText(double degrees)
{
    return decimals(degrees, 0);
}

// The curve through the finite values, broken where they are not.
QPainterPath tracePath(const PlotFrame& frame, const std::array<double, waves::kTracePoints>& values)
{
    QPainterPath path;
    bool drawing = false;
    for (std::size_t degree = 0; degree < values.size(); ++degree) {
        if (!std::isfinite(values[degree])) {
            drawing = false;
            continue;
        }
        const QPointF at = frame.map(static_cast<double>(degree), bar(values[degree]));
        if (drawing)
            path.lineTo(at);
        else
            path.moveTo(at);
        drawing = true;
    }
    return path;
}

void strokePath(QPainter& painter, const PlotFrame& frame, const QPainterPath& path, QRgb colour)
{
    frame.setPen(colour, kCurveMm);
    painter.drawPath(path);
}

PlotLayout cycleLayout(const WavePlotData& data)
{
    std::vector<double> pressures;
    if (data.typed) {
        pressures.assign(data.typed->trace.port.begin(), data.typed->trace.port.end());
        pressures.insert(pressures.end(), data.typed->trace.cylinder.begin(), data.typed->trace.cylinder.end());
    }
    return {
        u"Pressione alla luce di scarico in un ciclo a %1 giri/min"_s.arg(groupedWhole(data.typedRpm)),
        {0, waves::kDegreesPerCycle, kCycleStepDegrees, u"Angolo di manovella dal PMS (°)"_s, degreesText},
        barAxis(pressures, u"Pressione (bar)"_s),
        {{u"Pressione alla luce (tubo)"_s, kPortColor},
         {u"Pressione nel cilindro"_s, kCylinderColor},
         {u"Atmosfera"_s, kAtmosphereColor, Qt::DashDotLine}},
        eventMarks(data.timing),
        0,
    };
}

PlotLayout bandLayout(const WavePlotData& data)
{
    std::vector<double> pressures;
    for (const auto* points : {&data.band, &data.bandBefore}) {
        for (const waves::BandPoint& point : *points) {
            pressures.push_back(point.plug);
            pressures.push_back(point.suction);
        }
    }
    if (data.bandFigures)
        pressures.push_back(data.bandFigures->threshold);

    const double from = data.sweepFromRpm;
    const double to = data.sweepToRpm > from ? data.sweepToRpm : from + 1;
    const double rpmStep = niceStep(to - from, kMostSteps);
    std::vector<PlotMark> marks{{data.typedRpm, u"richiesti"_s, kTypedColor, Qt::DashLine, true}};
    std::vector<LegendEntry> legend{{u"Tappo (TC–EC)"_s, kPlugColor}, {u"Aspirazione (TO–TC)"_s, kSuctionColor}};
    if (!data.bandBefore.empty()) {
        legend.push_back({u"Tappo, camera di prima"_s, kPlugBeforeColor, Qt::DashLine});
        legend.push_back({u"Aspirazione, camera di prima"_s, kSuctionBeforeColor, Qt::DashLine});
    }
    if (data.bandFigures) {
        marks.push_back({data.bandFigures->accordRpm, u"accordo"_s, kAccordColor, Qt::SolidLine, true});
        legend.push_back({u"Banda di utilizzo"_s, kBandFill, Qt::SolidLine, true});
    }
    std::sort(marks.begin(), marks.end(), [](const PlotMark& a, const PlotMark& b) { return a.x < b.x; });
    return {
        u"Banda di utilizzo"_s,
        {from, to, rpmStep, u"Regime (giri/min)"_s, groupedWhole},
        barAxis(pressures, u"Pressione media alla luce (bar)"_s),
        std::move(legend),
        std::move(marks),
        0,
    };
}

const waves::WaveDiagram* diagramOf(const WavePlotData& data)
{
    return data.typed && data.typed->diagram ? &*data.typed->diagram : nullptr;
}

PlotLayout diagramLayout(const WavePlotData& data)
{
    const waves::WaveDiagram* diagram = diagramOf(data);
    double length = 0;
    for (const waves::DuctSection& section : data.sections)
        length = std::max(length, section.startMm + section.lengthMm);
    if (length <= 0 && diagram && !diagram->cellCentresMm.empty())
        length = diagram->cellCentresMm.back() + diagram->cellCentresMm.front();
    if (length <= 0)
        length = 1;

    std::vector<PlotMark> marks;
    for (const waves::DuctSection& section : data.sections) {
        marks.push_back({section.startMm + section.lengthMm / 2, u"L%1"_s.arg(section.index + 1), kBoundaryColor,
                         Qt::SolidLine, false});
    }
    AxisLayout across = niceAxis(0, length, kMostSteps, u"Distanza dalla luce (mm)"_s, {});
    across.from = 0;
    across.to = length;
    across.text = fixedText(across.step);
    return {
        u"Diagramma delle onde"_s,
        std::move(across),
        {0, waves::kDegreesPerCycle, kDiagramStepDegrees, u"Angolo di manovella dal PMS (°)"_s, degreesText},
        {},
        std::move(marks),
        kScaleRightMm,
    };
}

// The frame of `layout` painted in `area`, `body` drawn in it, then the frame's marks over it; the
// painter left as it was found.
enum class Smoothing { Antialiased, AsGiven };

template <typename Body>
void paintFramed(QPainter& painter, const QRectF& area, double unit, const PlotLayout& layout, Smoothing smoothing,
                 Body&& body)
{
    painter.save();
    if (smoothing == Smoothing::Antialiased)
        painter.setRenderHint(QPainter::Antialiasing);
    const PlotFrame frame(painter, area, unit, layout);
    frame.paintFrame();
    body(frame);
    frame.paintOver();
    painter.restore();
}

}  // namespace

void paintCyclePlot(QPainter& painter, const QRectF& area, double unit, const WavePlotData& data)
{
    paintFramed(painter, area, unit, cycleLayout(data), Smoothing::Antialiased, [&](const PlotFrame& frame) {
        if (data.typed) {
            painter.setClipRect(frame.plot());
            frame.horizontalLine(bar(waves::kAtmosphere), kAtmosphereColor, Qt::DashDotLine,
                                 u"atmosfera "_s + barText(waves::kAtmosphere, kAtmospherePlaces) + u" bar"_s);
            strokePath(painter, frame, tracePath(frame, data.typed->trace.cylinder), kCylinderColor);
            strokePath(painter, frame, tracePath(frame, data.typed->trace.port), kPortColor);
            painter.setClipping(false);
        } else {
            frame.message(kPending);
        }
    });
}

void paintBandPlot(QPainter& painter, const QRectF& area, double unit, const WavePlotData& data)
{
    paintFramed(painter, area, unit, bandLayout(data), Smoothing::Antialiased, [&](const PlotFrame& frame) {
        if (data.bandFigures) {
            const QRectF plot = frame.plot();
            const double left = std::clamp(frame.mapX(data.bandFigures->lowRpm), plot.left(), plot.right());
            const double right = std::clamp(frame.mapX(data.bandFigures->highRpm), plot.left(), plot.right());
            painter.fillRect(QRectF(left, plot.top(), right - left, plot.height()), QColor::fromRgb(kBandFill));
        }
        painter.setClipRect(frame.plot());
        frame.horizontalLine(bar(waves::kAtmosphere), kAtmosphereColor, Qt::DashDotLine, u"atmosfera"_s);
        if (data.bandFigures)
            frame.horizontalLine(bar(data.bandFigures->threshold), kThresholdColor, Qt::DotLine, u"soglia"_s);
        const struct {
            const std::vector<waves::BandPoint>& points;
            double waves::BandPoint::*member;
            QRgb colour;
            Qt::PenStyle style;
            bool marked;
        } curves[] = {
            {data.bandBefore, &waves::BandPoint::plug, kPlugBeforeColor, Qt::DashLine, false},
            {data.bandBefore, &waves::BandPoint::suction, kSuctionBeforeColor, Qt::DashLine, false},
            {data.band, &waves::BandPoint::plug, kPlugColor, Qt::SolidLine, true},
            {data.band, &waves::BandPoint::suction, kSuctionColor, Qt::SolidLine, true},
        };
        for (const auto& curve : curves) {
            QPolygonF line;
            for (const waves::BandPoint& point : curve.points)
                line.append(frame.map(point.rpm, bar(point.*curve.member)));
            frame.setPen(curve.colour, kCurveMm, curve.style);
            painter.drawPolyline(line);
            if (!curve.marked)
                continue;
            painter.setBrush(QColor::fromRgb(curve.colour));
            for (const QPointF& at : line)
                painter.drawEllipse(at, frame.mm(kPointMm), frame.mm(kPointMm));
        }
        painter.setClipping(false);
        if (data.band.empty())
            frame.message(kPending);
    });
}

void paintWaveDiagram(QPainter& painter, const QRectF& area, double unit, const WavePlotData& data)
{
    const waves::WaveDiagram* diagram = diagramOf(data);
    paintFramed(painter, area, unit, diagramLayout(data), Smoothing::AsGiven, [&](const PlotFrame& frame) {
        const QRectF plot = frame.plot();

        if (diagram && !diagram->cellCentresMm.empty()) {
            const std::size_t cells = diagram->cellCentresMm.size();
            double span = 0;
            for (const double pressure : diagram->pressure)
                span = std::max(span, std::abs(pressure - waves::kAtmosphere));
            if (!(span > 0))
                span = 1;
            // A row for each degree, 360 at the top, as the plot's axis goes up.
            QImage image(static_cast<int>(cells), static_cast<int>(waves::kTracePoints), QImage::Format_RGB32);
            for (std::size_t degree = 0; degree < waves::kTracePoints; ++degree) {
                auto* row = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(waves::kTracePoints - 1 - degree)));
                for (std::size_t cell = 0; cell < cells; ++cell)
                    row[cell] = pressureColour((diagram->at(degree, cell) - waves::kAtmosphere) / span);
            }
            // Each cell's row is a degree wide, centred on its degree.
            const double halfDegree = (frame.mapY(0) - frame.mapY(1)) / 2;
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.setClipRect(plot);
            painter.drawImage(plot.adjusted(0, -halfDegree, 0, halfDegree), image);
            painter.setClipping(false);

            // The colour scale, beside the port's events.
            const QRectF scale(plot.right() + frame.mm(kScaleGapMm), plot.top(), frame.mm(kScaleWidthMm),
                               plot.height());
            QImage ramp(1, kScaleSteps, QImage::Format_RGB32);
            for (int i = 0; i < kScaleSteps; ++i)
                ramp.setPixel(0, i, pressureColour(1 - 2.0 * i / (kScaleSteps - 1)));
            painter.drawImage(scale, ramp);
            frame.setPen(kBoundaryColor, kBoundaryMm);
            painter.drawRect(scale);
            const QFont small = frame.font(kSmallPoints);
            for (const double share : kScaleMarks) {
                const double y = scale.bottom() - (share + 1) / 2 * scale.height();
                frame.setPen(kBoundaryColor, kBoundaryMm);
                painter.drawLine(QPointF(scale.right(), y), QPointF(scale.right() + frame.mm(kEventTickMm), y));
                frame.label({scale.right() + frame.mm(kEventTickMm + kScaleTextMm), y},
                            barText(waves::kAtmosphere + share * span, kScalePlaces), small,
                            Qt::AlignLeft | Qt::AlignVCenter, kTextColor);
            }
            frame.label({scale.center().x(), scale.top() - frame.mm(kScaleTextMm)}, u"bar"_s, small,
                        Qt::AlignHCenter | Qt::AlignBottom, kTextColor);
        } else {
            frame.message(kPending);
        }

        // The sections' boundaries across the map and the port's events up its right edge.
        frame.setPen(kBoundaryColor, kBoundaryMm);
        for (const waves::DuctSection& section : data.sections) {
            const double x = frame.mapX(section.startMm);
            if (x > plot.left())
                painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        }
        const QFont small = frame.font(kSmallPoints);
        for (const PlotMark& event : eventMarks(data.timing)) {
            const double y = frame.mapY(event.x);
            frame.setPen(kBoundaryColor, kBoundaryMm);
            painter.drawLine(QPointF(plot.right(), y), QPointF(plot.right() + frame.mm(kEventTickMm), y));
            frame.label({plot.right() + frame.mm(kEventTickMm + kScaleTextMm), y}, event.label, small,
                        Qt::AlignLeft | Qt::AlignVCenter, kTextColor);
        }
    });
}

PlotPlacement placeWavePlot(WavePlot plot, QPainter& painter, const QRectF& area, double unit,
                            const WavePlotData& data)
{
    PlotLayout layout = plot == WavePlot::Cycle ? cycleLayout(data)
        : plot == WavePlot::Band            ? bandLayout(data)
                                            : diagramLayout(data);
    PlotPlacement placement{{}, layout.x.from, layout.x.to, layout.y.from, layout.y.to};
    placement.rect = PlotFrame(painter, area, unit, std::move(layout)).plot();
    return placement;
}

}  // namespace scaricometro
