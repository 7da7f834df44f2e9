#include "sheets/WavesSheet.h"

#include "sheets/SheetPage.h"
#include "sheets/SheetTexts.h"
#include "views/WaveTexts.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include <array>

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

constexpr QPageSize::PageSizeId kPaper = QPageSize::A4;
constexpr double kTextPoints = 8.5;
constexpr double kSectionPoints = 8;
constexpr double kParagraphGapMm = 1.5;
constexpr double kPlotGapMm = 4;

using PlotPainter = void (*)(QPainter&, const QRectF&, double, const WavePlotData&);

QString sectionLine(const waves::DuctSection& section)
{
    const QString diameter = section.startDiameterMm == section.endDiameterMm
        ? u"diametro %1"_s.arg(millimetres(section.startDiameterMm))
        : u"diametro da %1 a %2"_s.arg(millimetres(section.startDiameterMm), millimetres(section.endDiameterMm));
    return u"L%1: da %2 a %3 dalla luce, lungo %4; %5"_s.arg(
        QString::number(section.index + 1), millimetres(section.startMm),
        millimetres(section.startMm + section.lengthMm), millimetres(section.lengthMm), diameter);
}

void paintPlot(const Page& page, PlotPainter plot, const QRectF& areaMm, const WavePlotData& data, double dotsPerMm)
{
    plot(page.painter(), QTransform::fromScale(dotsPerMm, dotsPerMm).mapRect(areaMm), dotsPerMm, data);
}

}  // namespace

WavesSheet::WavesSheet(const WavePlotData& data, WavesFigures figures, const waves::Duct& duct, double wallTemperature)
    : m_data(data)
    , m_figures(std::move(figures))
    , m_duct(duct)
    , m_wallTemperature(wallTemperature)
{
}

void WavesSheet::paint(QPagedPaintDevice& device) const
{
    device.setPageLayout(QPageLayout(QPageSize(kPaper), QPageLayout::Portrait, QMarginsF()));
    QPainter painter(&device);
    const double dotsPerMm = device.logicalDpiX() / 25.4;
    const Rect paper = pageRect(kPaper, QPageLayout::Portrait);
    const Page page(painter, {paper.width, paper.height}, dotsPerMm);
    const QRectF area = toQRect(patternArea(kPaper, QPageLayout::Portrait));

    QStringList figures;
    for (const QList<LabelledValue>* list : {&m_figures.window, &m_figures.engine}) {
        for (const LabelledValue& figure : *list)
            figures.append(figure.label + u' ' + figure.value);
    }
    const QString figuresText = figures.join(u" · "_s);
    const QString rpm = groupedWhole(m_data.typedRpm);

    const std::array<QStringList, 2> headings{
        QStringList{u"La pressione alla luce di scarico a %1 giri/min e la banda di utilizzo, dal calcolo delle onde "
                    u"nella camera"_s.arg(rpm)},
        QStringList{u"Il diagramma delle onde a %1 giri/min: la pressione lungo la camera in ogni grado del ciclo"_s.arg(rpm)},
    };
    // Each page's content follows its heading, which is shorter than a pattern page's.
    const auto paintFrame = [&](int index) {
        const QStringList& lines = headings[static_cast<std::size_t>(index)];
        paintHeading(page, figuresText, index + 1, pageCount(), lines, kWavesDocumentTitle);
        paintCheckRuler(page);
        QRectF content = area;
        content.setTop(headingBottom(figuresText, lines, area.width(), kWavesDocumentTitle) + kUnderHeadingMm);
        return content;
    };

    const QRectF first = paintFrame(0);
    QPointF at = first.topLeft();
    at.ry() += page.text(at, area.width(), u"Tratti della camera"_s, documentFont(kSectionPoints, true));
    if (!m_figures.chamber.isEmpty())
        at.ry() += page.text(at, area.width(), m_figures.chamber, documentFont(kSectionPoints));
    for (const waves::DuctSection& section : m_data.sections)
        at.ry() += page.text(at, area.width(), sectionLine(section), documentFont(kSectionPoints));
    QStringList sentences{accordSentence(m_data.bandFigures, m_data.typedRpm)};
    if (m_data.typed)
        sentences << peaksSentence(*m_data.typed, m_data.timing) << settlingSentence(*m_data.typed);
    sentences << assumptionsSentence(m_duct, m_wallTemperature);
    for (const QString& sentence : sentences) {
        at.ry() += kParagraphGapMm;
        at.ry() += page.text(at, area.width(), sentence, documentFont(kTextPoints));
    }
    at.ry() += kPlotGapMm;
    const double plotHeight = (area.bottom() - at.y() - kPlotGapMm) / 2;
    const std::array<PlotPainter, 2> plots{paintCyclePlot, paintBandPlot};
    for (const PlotPainter plot : plots) {
        paintPlot(page, plot, QRectF(at, QSizeF(area.width(), plotHeight)), m_data, dotsPerMm);
        at.ry() += plotHeight + kPlotGapMm;
    }

    device.newPage();
    paintPlot(page, paintWaveDiagram, paintFrame(1), m_data, dotsPerMm);
}

std::optional<QString> WavesSheet::saveAsPdf(const QString& path) const
{
    return savePdf(path, kWavesDocumentTitle, [this](QPagedPaintDevice& device) { paint(device); });
}

}  // namespace scaricometro
