// The analysis of the chamber's waves as a printed document: the figures it was made from, the
// duct's sections, what the analysis found in words, and its three plots, on A4 pages with the
// program's frame. Painted on any paged device, so that a PDF file and a printer get the same pages.
#pragma once

#include "sheets/TemplatePlan.h"
#include "views/WavePlots.h"
#include "waves/Duct.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

class QPagedPaintDevice;

namespace scaricometro {

inline constexpr QStringView kWavesDocumentTitle = u"Scaricometro: onde nella camera";

// The figures as the tuner typed them, each with its caption: the window's five and the engine's six.
struct WavesFigures {
    QList<LabelledValue> window;
    QList<LabelledValue> engine;
    QString chamber;  // which chamber it is: the window's, tuned or changed by hand
};

// Painted from the analysis as far as it is ready; the typed speed's run should be, and must
// outlive the sheet (`data.typed` is kept as a pointer).
class WavesSheet {
public:
    // `wallTemperature` (K) where the wall takes part in the analysis, else 0.
    WavesSheet(const WavePlotData& data, WavesFigures figures, const waves::Duct& duct, double wallTemperature);

    [[nodiscard]] static int pageCount() { return 2; }
    void paint(QPagedPaintDevice& device) const;
    // Writes the PDF file whole or not at all: on a failure, why, in Italian; no file is left.
    [[nodiscard]] std::optional<QString> saveAsPdf(const QString& path) const;

private:
    WavePlotData m_data;
    WavesFigures m_figures;
    waves::Duct m_duct;
    double m_wallTemperature;
};

}  // namespace scaricometro
