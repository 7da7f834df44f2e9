#include "ui/WavesDialog.h"

#include "model/NumberText.h"
#include "sheets/SheetTexts.h"
#include "sheets/WavesSheet.h"
#include "ui/ChamberBeingBuilt.h"
#include "ui/ChamberConstructionDialog.h"
#include "ui/EngineFields.h"
#include "ui/FolderSaver.h"
#include "ui/QtItalian.h"
#include "ui/TuningFields.h"
#include "ui/UndoKey.h"
#include "ui/WavePlotView.h"
#include "ui/WavesRefusal.h"
#include "ui/WindowLook.h"
#include "views/WaveTexts.h"
#include "waves/WaveCsv.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <thread>

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

// Long enough for a figure typed in one go, short enough to feel at once.
constexpr auto kRestartDelay = std::chrono::milliseconds(300);
// The entries and the sentences beside the plots.
constexpr int kWordsColumnWidth = 330;
// The lines of sentences the column shows without scrolling: the accord, the peaks, how the run
// settled and what the model takes in.
constexpr int kSentenceLines = 16;
// Where many speeds break down, the first few say enough.
constexpr std::size_t kFailuresTold = 2;

constexpr QStringView kCycleFileName = u"scaricometro-ciclo.csv";
constexpr QStringView kBandFileName = u"scaricometro-banda.csv";
constexpr QStringView kPdfFileName = u"scaricometro-onde.pdf";

QLabel* sentenceLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

WavesDialog::WavesDialog(const ChamberInputs& inputs, ChamberFigures figures, ChamberBeingBuilt* built,
                         QWidget* parent)
    : QDialog(parent)
    , m_inputs(inputs)
    , m_figures(std::move(figures))
    , m_built(built)
    , m_engine(new EngineFields(this))
    , m_tuning(new TuningFields(this))
    , m_accord(sentenceLabel(this))
    , m_peaks(sentenceLabel(this))
    , m_settling(sentenceLabel(this))
    , m_failures(sentenceLabel(this))
    , m_assumptions(sentenceLabel(this))
    , m_problemNote(sentenceLabel(this))
    , m_progress(new QProgressBar(this))
    , m_restartTimer(new QTimer(this))
    , m_folderSaver(new FolderSaver(
          this, m_problem, [this](const QString& title) { return fileDialog(title); },
          [](const QString& /*folder*/) { return true; }))
{
    useQtItalian();
    setWindowTitle(tr("Onde nella camera"));
    setPalette(windowColorScheme());
    setFont(fontFor(FontRole::Field));

    m_accord->setObjectName(u"accordSentence"_s);
    m_problemNote->setObjectName(u"problemNote"_s);
    QPalette notePalette = m_problemNote->palette();
    notePalette.setColor(QPalette::WindowText, QColor::fromRgb(kRefusedColor));
    m_problemNote->setPalette(notePalette);
    m_progress->setAccessibleName(tr("Regimi calcolati"));
    m_progress->setFormat(tr("%v di %m regimi"));
    m_restartTimer->setSingleShot(true);
    m_restartTimer->setInterval(kRestartDelay);

    const struct {
        WavePlotView::Paint paint;
        QString name;
    } plots[] = {
        {&paintCyclePlot, tr("Pressione alla luce di scarico in un ciclo")},
        {&paintBandPlot, tr("Tappo e aspirazione ai vari regimi")},
        {&paintWaveDiagram, tr("Diagramma delle onde lungo la camera")},
    };
    for (const auto& plot : plots)
        m_plots.push_back(new WavePlotView(plot.paint, m_plotData, plot.name, this));

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* csvButton = buttons->addButton(tr("Esporta CSV…"), QDialogButtonBox::ActionRole);
    csvButton->setToolTip(tr("Il ciclo al regime richiesto e la banda dei regimi, in due file per il foglio di calcolo"));
    QPushButton* pdfButton = buttons->addButton(tr("Salva PDF…"), QDialogButtonBox::ActionRole);
    pdfButton->setToolTip(tr("I dati, le frasi e i tre grafici in un documento PDF"));
    buttons->addButton(tr("Chiudi"), QDialogButtonBox::RejectRole);
    // Return in a field computes now, and must press no button.
    for (QPushButton* button : buttons->findChildren<QPushButton*>())
        button->setAutoDefault(false);
    connect(csvButton, &QPushButton::clicked, this, &WavesDialog::exportCsv);
    connect(pdfButton, &QPushButton::clicked, this, &WavesDialog::choosePdf);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_engine, &EngineFields::edited, this, [this] {
        m_bandBeforeTuning.clear();
        m_restartTimer->start();
    });
    connect(m_restartTimer, &QTimer::timeout, this, &WavesDialog::restart);
    connect(m_engine, &EngineFields::entered, this, [this] {
        restart();
        if (m_refusal)
            m_problem.show(this, m_refusal->message, m_refusal->field);
    });
    connect(m_tuning, &TuningFields::tuneAsked, this, &WavesDialog::tune);
    connect(m_built, &ChamberBeingBuilt::changed, this, [this] {
        m_figures.chamber = m_built->chamber();
        if (m_built->chamber().source() != ChamberSource::Tuned)
            m_bandBeforeTuning.clear();
        restart();
    });
    m_tuning->setWindowRpm(m_inputs.maxRpm);

    // The entries keep their height; the sentences under them scroll where the column is too short
    // for them all, rather than squeeze the fields.
    auto* sentences = new QWidget;
    auto* sentenceColumn = new QVBoxLayout(sentences);
    sentenceColumn->setContentsMargins(0, 0, 0, 0);
    sentenceColumn->addWidget(m_problemNote);
    for (QLabel* sentence : {m_accord, m_peaks, m_settling, m_failures, m_assumptions})
        sentenceColumn->addWidget(sentence);
    sentenceColumn->addStretch();
    auto* sentenceScroll = new QScrollArea(this);
    sentenceScroll->setWidget(sentences);
    sentenceScroll->setWidgetResizable(true);
    sentenceScroll->setFrameShape(QFrame::NoFrame);
    sentenceScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sentenceScroll->viewport()->setAutoFillBackground(false);
    sentences->setAutoFillBackground(false);
    // Room for the sentences of a run that settled and the band's, so that they show whole where
    // the screen allows.
    sentenceScroll->setMinimumHeight(kSentenceLines * sentenceScroll->fontMetrics().lineSpacing());
    auto* words = new QVBoxLayout;
    words->addWidget(m_engine);
    words->addWidget(m_tuning);
    words->addWidget(sentenceScroll, 1);
    words->addWidget(m_progress);
    auto* wordsColumn = new QWidget(this);
    wordsColumn->setLayout(words);
    wordsColumn->setFixedWidth(kWordsColumnWidth);
    words->setContentsMargins(0, 0, 0, 0);

    auto* plotGrid = new QGridLayout;
    plotGrid->addWidget(m_plots[0], 0, 0);
    plotGrid->addWidget(m_plots[1], 0, 1);
    plotGrid->addWidget(m_plots[2], 1, 0, 1, 2);
    auto* columns = new QHBoxLayout;
    columns->addWidget(wordsColumn);
    columns->addLayout(plotGrid, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addWidget(buttons);
    // One Ctrl+Z puts back the sections a tuning changed.
    new UndoKey(this, [this] { return m_built->chamber().canUndo(); }, [this] { undo(); });
    // Qt would open it at no more than two thirds of the screen, which crowds the plots.
    resize(sizeHint().boundedTo(parent ? parent->screen()->availableGeometry().size() : sizeHint()));
    restart();
}

WavesDialog::~WavesDialog()
{
    stop();
}

void WavesDialog::setChamber(const ChamberInputs& inputs, ChamberFigures figures)
{
    if (!(inputs == m_inputs))
        m_bandBeforeTuning.clear();
    m_inputs = inputs;
    m_figures = std::move(figures);
    m_tuning->setWindowRpm(m_inputs.maxRpm);
    restart();
}

void WavesDialog::done(int result)
{
    stop();
    QDialog::done(result);
}

// The workers stop within a cycle's work; what they reported and is still on its way is dropped.
void WavesDialog::stop()
{
    m_restartTimer->stop();
    ++m_generation;
    m_analysis.reset();
    stopTuning();
}

void WavesDialog::restart()
{
    stop();
    m_setup.reset();
    m_rpms.clear();
    m_outcomes.clear();
    m_done = 0;
    m_typed.reset();
    m_plotData = WavePlotData{};
    m_plotData.typedRpm = m_inputs.maxRpm;
    m_plotData.bandBefore = m_bandBeforeTuning;
    m_refusal.reset();

    std::vector<FieldProblem> problems;
    m_engineFigures = m_engine->read(problems);
    if (!problems.empty()) {
        m_refusal = problems.front();
    } else {
        waves::SetupOutcome setup = waves::prepareWaves(m_inputs, m_figures.chamber.dimensions(), m_engineFigures);
        if (auto* ready = std::get_if<waves::WaveSetup>(&setup))
            m_setup = std::move(*ready);
        else
            m_refusal = whyNoWaves(setup, m_inputs, m_figures, m_engineFigures, *m_engine);
    }
    if (m_refusal) {
        showResults();
        return;
    }

    const std::uint64_t generation = m_generation;
    auto report = [this, generation](std::size_t index, const waves::RpmOutcome& outcome) {
        QMetaObject::invokeMethod(
            this, [this, generation, index, outcome] { receive(generation, index, outcome); }, Qt::QueuedConnection);
    };
    m_analysis = std::make_unique<waves::WaveAnalysis>(*m_setup, m_inputs.maxRpm, std::move(report),
                                                       std::max(1U, std::thread::hardware_concurrency()));
    m_rpms = m_analysis->rpms();
    m_typedIndex = m_analysis->typedIndex();
    m_outcomes.assign(m_rpms.size(), std::nullopt);
    m_plotData.timing = m_setup->engine.timing();
    m_plotData.sections = m_setup->duct.sections();
    m_plotData.sweepFromRpm = m_rpms.front();
    m_plotData.sweepToRpm = m_rpms.back();
    showResults();
}

void WavesDialog::receive(std::uint64_t generation, std::size_t index, const waves::RpmOutcome& outcome)
{
    if (generation != m_generation || index >= m_outcomes.size() || m_outcomes[index])
        return;
    m_outcomes[index] = outcome;
    ++m_done;
    if (const auto* result = std::get_if<waves::RpmResult>(&outcome); result && index == m_typedIndex)
        m_typed = *result;
    showResults();
    if (index == m_typedIndex)
        Q_EMIT typedSpeedShown();
    if (isComplete()) {
        m_analysis.reset();  // its workers are done
        Q_EMIT analysisComplete();
    }
}

bool WavesDialog::isComplete() const
{
    return !m_refusal && !m_rpms.empty() && m_done == m_rpms.size();
}

std::optional<QString> WavesDialog::refusal() const
{
    return m_refusal ? std::optional(m_refusal->message) : std::nullopt;
}

void WavesDialog::showResults()
{
    m_problemNote->setText(m_refusal ? m_refusal->message : QString());
    m_problemNote->setVisible(m_refusal.has_value());

    m_plotData.band.clear();
    QStringList failures;
    std::size_t failed = 0;
    for (std::size_t i = 0; i < m_outcomes.size(); ++i) {
        if (!m_outcomes[i])
            continue;
        if (const auto* result = std::get_if<waves::RpmResult>(&*m_outcomes[i])) {
            m_plotData.band.push_back({result->rpm, result->plug, result->suction});
        } else if (i != m_typedIndex && ++failed <= kFailuresTold) {
            failures.append(failureSentence(std::get<waves::FlowFailure>(*m_outcomes[i])));
        }
    }
    if (failed > kFailuresTold)
        failures.append(tr("Il calcolo non è riuscito anche ad altri %1 regimi.").arg(failed - kFailuresTold));
    // The accord and the band only once every speed is in: found among some of them, they would
    // move as the rest arrive.
    m_plotData.bandFigures = isComplete() ? waves::findBand(m_plotData.band) : std::nullopt;
    m_plotData.typed = m_typed ? &*m_typed : nullptr;

    m_accord->setText(isComplete() ? accordSentence(m_plotData.bandFigures, m_inputs.maxRpm) : QString());
    const std::optional<waves::RpmOutcome>* typed = m_outcomes.empty() ? nullptr : &m_outcomes[m_typedIndex];
    if (m_typed) {
        m_peaks->setText(peaksSentence(*m_typed, m_plotData.timing));
        m_settling->setText(settlingSentence(*m_typed));
    } else if (typed && *typed) {
        m_peaks->setText(failureSentence(std::get<waves::FlowFailure>(**typed)));
        m_settling->clear();
    } else {
        m_peaks->setText(m_setup ? tr("Calcolo a %1 giri/min in corso…").arg(groupedWhole(m_inputs.maxRpm)) : QString());
        m_settling->clear();
    }
    m_failures->setText(failures.join(u'\n'));
    m_assumptions->setText(m_setup ? assumptionsSentence(m_setup->duct, wallTemperatureOf(*m_setup)) : QString());
    for (QLabel* sentence : {m_accord, m_peaks, m_settling, m_failures, m_assumptions})
        sentence->setVisible(!sentence->text().isEmpty());

    m_progress->setRange(0, static_cast<int>(std::max<std::size_t>(m_rpms.size(), 1)));
    m_progress->setValue(static_cast<int>(m_done));
    m_progress->setVisible(!m_rpms.empty());
    for (WavePlotView* plot : m_plots)
        plot->update();
}

std::optional<std::vector<FileToSave>> WavesDialog::csvFiles() const
{
    if (!isComplete() || !m_typed)
        return std::nullopt;
    return std::vector<FileToSave>{
        {kCycleFileName.toString(), QByteArray::fromStdString(waves::cycleCsv(m_typed->trace))},
        {kBandFileName.toString(), QByteArray::fromStdString(waves::bandCsv(m_plotData.band, m_plotData.bandBefore))},
    };
}

bool WavesDialog::refusedToSave()
{
    if (m_restartTimer->isActive())
        restart();
    if (m_refusal) {
        m_problem.show(this, m_refusal->message, m_refusal->field);
        return true;
    }
    if (!isComplete()) {
        m_problem.show(this, tr("Il calcolo non è ancora finito: %1 regimi su %2.\nRiprovare quando la barra è piena.")
                                 .arg(m_done)
                                 .arg(m_rpms.size()));
        return true;
    }
    if (!m_typed) {
        m_problem.show(this, tr("A %1 giri/min, il regime richiesto, il calcolo non è riuscito: non c'è un ciclo da "
                                "salvare.\n%2")
                                 .arg(groupedWhole(m_inputs.maxRpm),
                                      failureSentence(std::get<waves::FlowFailure>(*m_outcomes[m_typedIndex]))));
        return true;
    }
    return false;
}

void WavesDialog::exportCsv()
{
    if (refusedToSave())
        return;
    FileBatch batch{tr("Scegli la cartella dei file CSV"), *csvFiles(), tr("I file CSV sono salvati in \"%1\":"), {}};
    batch.savedLines.append(tr("%1: la pressione alla luce di scarico e nel cilindro, grado per grado, a %2 giri/min")
                                .arg(kCycleFileName, groupedWhole(m_inputs.maxRpm)));
    batch.savedLines.append(tr("%1: tappo e aspirazione a ogni regime, da %2 a %3 giri/min")
                                .arg(kBandFileName, groupedWhole(m_rpms.front()), groupedWhole(m_rpms.back())));
    m_folderSaver->start(std::move(batch));
}

QFileDialog* WavesDialog::fileDialog(const QString& title)
{
    auto* files = new QFileDialog(this, title, ChamberConstructionDialog::suggestedFolder().path());
    files->setAttribute(Qt::WA_DeleteOnClose);
    return files;
}

void WavesDialog::choosePdf()
{
    if (refusedToSave())
        return;
    QFileDialog* files = fileDialog(tr("Salva le onde nella camera"));
    files->setAcceptMode(QFileDialog::AcceptSave);
    files->setFileMode(QFileDialog::AnyFile);
    files->setNameFilter(tr("Documenti PDF (*.pdf)"));
    files->setDefaultSuffix(u"pdf"_s);
    files->selectFile(ChamberConstructionDialog::suggestedFolder().filePath(kPdfFileName.toString()));
    connect(files, &QFileDialog::fileSelected, this, &WavesDialog::savePdf);
    files->open();
}

void WavesDialog::savePdf(const QString& path)
{
    // The analysis may have started again while the file was being chosen.
    if (refusedToSave())
        return;
    WavesFigures figures{m_figures.inputs, {}, builtChamberLine(m_figures.chamber)};
    for (const EngineField& row : kEngineFields)
        figures.engine.append({row.name.toString(), QString::fromStdString(formatDecimalComma(m_engineFigures.*row.value))});
    const WavesSheet sheet(m_plotData, std::move(figures), m_setup->duct, wallTemperatureOf(*m_setup));
    if (const std::optional<QString> failure = sheet.saveAsPdf(path)) {
        m_problem.show(this, tr("Impossibile salvare \"%1\":\n%2.").arg(QDir::toNativeSeparators(path), *failure));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        showNotice(this, tr("Le onde sono salvate in \"%1\".\nSu questo desktop non c'è un programma che apra i PDF: "
                            "aprire il file da lì.")
                             .arg(QDir::toNativeSeparators(path)));
    }
}

}  // namespace scaricometro
