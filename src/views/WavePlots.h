// The analysis of the chamber's waves drawn on any paint device, for the dialog and the PDF alike:
// the port's pressure over one cycle, the plug and the suction against engine speed, and the wave
// diagram, the pressure all along the duct over the cycle as a colour map.
#pragma once

#include "waves/CycleRun.h"
#include "waves/WaveAnalysis.h"

#include <QRectF>

#include <optional>
#include <span>
#include <vector>

class QPainter;

namespace scaricometro {

// What the three plots are drawn from; the band's points ascending in rpm, as many as are ready.
struct WavePlotData {
    const waves::RpmResult* typed = nullptr;  // none until the typed speed's run is ready
    waves::PortTiming timing;
    std::vector<waves::DuctSection> sections;
    std::vector<waves::BandPoint> band;
    std::optional<waves::Band> bandFigures;
    // The band of the chamber before a tuning, drawn faintly behind; empty where there is none.
    std::vector<waves::BandPoint> bandBefore;
    double typedRpm = 0;
    double sweepFromRpm = 0;
    double sweepToRpm = 0;
};

// Each fills `area` (in the painter's units, which may be pixels or millimetres; `unit` is the
// size of one millimetre in them, for lines and text), with its title, axes, scales and legend.
void paintCyclePlot(QPainter& painter, const QRectF& area, double unit, const WavePlotData& data);
void paintBandPlot(QPainter& painter, const QRectF& area, double unit, const WavePlotData& data);
void paintWaveDiagram(QPainter& painter, const QRectF& area, double unit, const WavePlotData& data);

enum class WavePlot { Cycle, Band, Diagram };

// Where a plot puts its data within `area`, and the quantities at the plot's edges: crank angle,
// rpm or mm across; bar or crank angle up. For reading the plot under a pointer.
struct PlotPlacement {
    QRectF rect;
    double xFrom = 0;
    double xTo = 1;
    double yFrom = 0;  // at the bottom
    double yTo = 1;

    [[nodiscard]] QPointF map(double x, double y) const
    {
        return {rect.left() + (x - xFrom) / (xTo - xFrom) * rect.width(),
                rect.bottom() - (y - yFrom) / (yTo - yFrom) * rect.height()};
    }
};

// The painter only measures text: the fonts it would use, on its device.
[[nodiscard]] PlotPlacement placeWavePlot(WavePlot plot, QPainter& painter, const QRectF& area, double unit,
                                          const WavePlotData& data);

}  // namespace scaricometro
