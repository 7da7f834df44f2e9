// The construction dialog assembled from its groups (the sections, the sheet and paper, the bends
// and the fit), the preview that follows every entry, the undo, and the reasons a chamber cannot
// be made.
#include "ui/ChamberConstructionDialog.h"

#include "ui/ChamberBeingBuilt.h"
#include "ui/ChamberPreview.h"
#include "ui/FolderSaver.h"
#include "ui/QtItalian.h"
#include "ui/UndoKey.h"
#include "ui/WindowLook.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <variant>

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

}  // namespace

QString ChamberConstructionDialog::figure(double value)
{
    return decimals(value, 5);
}

ChamberConstructionDialog::ChamberConstructionDialog(ChamberFigures figures, ChamberBeingBuilt* built, QWidget* parent)
    : QDialog(parent)
    , m_figures(std::move(figures))
    , m_built(built)
    , m_sheet(new SheetFields(this))
    , m_sections(new SectionFields(this))
    , m_bends(new BendFields(this))
    , m_fit(new FitFields(this))
    , m_openWhenSaved(new QCheckBox(tr("Apri dopo il salvataggio"), this))
    , m_preview(new ChamberPreview(this))
    , m_previewNote(new QLabel(this))
    , m_outletLine(new QLabel(this))
    , m_fitNote(new QLabel(this))
    , m_folderSaver(new FolderSaver(
          this, m_problem, [this](const QString& title) { return fileDialog(title); },
          [this](const QString& folder) { return openIfAsked(folder); }))
{
    useQtItalian();
    setWindowTitle(tr("Costruzione della camera"));
    setPalette(windowColorScheme());
    setFont(fontFor(FontRole::Field));

    m_openWhenSaved->setChecked(true);
    m_openWhenSaved->setToolTip(tr("Il PDF nel visore di documenti, la cartella dei file DXF o del modello 3D "
                                    "nel gestore di file"));
    m_previewNote->setWordWrap(true);
    m_previewNote->setTextFormat(Qt::PlainText);
    QPalette notePalette = m_previewNote->palette();
    notePalette.setColor(QPalette::WindowText, QColor::fromRgb(kRefusedColor));
    m_previewNote->setPalette(notePalette);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* saveButton = buttons->addButton(tr("Salva PDF…"), QDialogButtonBox::AcceptRole);
    saveButton->setDefault(true);
    QPushButton* cuttingButton = buttons->addButton(tr("Salva DXF…"), QDialogButtonBox::ActionRole);
    cuttingButton->setToolTip(tr("Un file DXF per ogni pezzo, al vero in millimetri, per il taglio laser, "
                                 "plasma o ad acqua"));
    QPushButton* modelButton = buttons->addButton(tr("Salva modello 3D…"), QDialogButtonBox::ActionRole);
    modelButton->setToolTip(tr("La camera saldata come file STL e il suo asse come polilinea 3D in un file DXF, "
                               "in millimetri, per CAD, visualizzatori e stampanti 3D"));
    buttons->addButton(tr("Chiudi"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &ChamberConstructionDialog::chooseFile);
    connect(cuttingButton, &QPushButton::clicked, this, &ChamberConstructionDialog::chooseCuttingFolder);
    connect(modelButton, &QPushButton::clicked, this, &ChamberConstructionDialog::chooseModelFolder);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_sheet, &SheetFields::edited, this, &ChamberConstructionDialog::updatePreview);
    connect(m_sections, &SectionFields::edited, this, &ChamberConstructionDialog::applySection);
    connect(m_sections, &SectionFields::entered, this, [this](std::size_t figure) {
        if (const std::optional<FieldProblem> problem = sectionProblem(figure, m_sheet->thickness()))
            m_problem.show(this, problem->message, problem->field);
    });
    connect(m_sections, &SectionFields::followWindowAsked, m_built, &ChamberBeingBuilt::followWindow);
    connect(m_built, &ChamberBeingBuilt::changed, this, &ChamberConstructionDialog::showChamber);
    connect(m_bends, &BendFields::edited, this, [this] {
        // Typed over, the bends found are no longer what a Ctrl+Z would take back.
        if (!m_writingFit)
            m_beforeFit.reset();
        updatePreview();
    });
    connect(m_fit, &FitFields::edited, this, &ChamberConstructionDialog::updatePreview);
    connect(m_fit, &FitFields::findAsked, this, &ChamberConstructionDialog::findBends);
    m_outletLine->setTextFormat(Qt::PlainText);
    m_outletLine->setAccessibleName(tr("Dove va l'uscita"));
    m_fitNote->setWordWrap(true);
    m_fitNote->setAccessibleName(tr("Esito della ricerca delle curve"));
    m_fitNote->setTextFormat(Qt::PlainText);
    m_fitNote->hide();

    auto* entries = new QVBoxLayout;
    entries->addWidget(m_sheet);
    entries->addWidget(m_bends);
    entries->addWidget(m_fit);
    entries->addWidget(m_openWhenSaved);
    entries->addStretch();
    auto* preview = new QVBoxLayout;
    preview->addWidget(m_sections);
    preview->addWidget(m_preview, 1);
    preview->addWidget(m_outletLine);
    preview->addWidget(m_previewNote);
    preview->addWidget(m_fitNote);
    auto* columns = new QHBoxLayout;
    columns->addLayout(entries);
    columns->addLayout(preview, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttons);
    // Tab as the groups are laid out: the sheet, the bends and the fit on the left, then the
    // sections over the preview.
    m_sections->followInTabOrder(m_openWhenSaved);
    m_sheet->thicknessField()->setFocus();
    // One Ctrl+Z puts back the bends a search wrote, or the sections a tuning changed.
    new UndoKey(this, [this] { return m_beforeFit || m_built->chamber().canUndo(); }, [this] { undo(); });
    m_sections->show(m_figures.chamber);
    updatePreview();
}

void ChamberConstructionDialog::setFigures(ChamberFigures figures)
{
    m_figures = std::move(figures);
    m_sections->show(m_figures.chamber);
    updatePreview();
}

void ChamberConstructionDialog::undo()
{
    const bool sectionsFirst = m_lastUndoable == Undoable::Sections || !m_beforeFit;
    if (sectionsFirst && m_built->chamber().canUndo())
        m_built->undo();
    else
        undoFit();
}

// A file dialog opened on a folder that does not exist would look for it under the working
// folder instead.
QDir ChamberConstructionDialog::suggestedFolder()
{
    const QDir documents(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    return documents.exists() ? documents : QDir::home();
}

QString ChamberConstructionDialog::suggestedPath()
{
    return suggestedFolder().filePath(u"scaricometro-sagome.pdf"_s);
}

TemplateOptions ChamberConstructionDialog::readEntries(std::vector<FieldProblem>& problems) const
{
    TemplateOptions options;
    std::vector<FieldProblem> sheetProblems;
    m_sheet->read(options, sheetProblems);
    // A section typed that cannot be built from is not the chamber's yet: its problem is told first.
    for (std::size_t i = 0; i < kSectionFigures.size(); ++i) {
        if (std::optional<FieldProblem> problem = sectionProblem(i, options.thickness))
            problems.push_back(std::move(*problem));
    }
    problems.insert(problems.end(), sheetProblems.begin(), sheetProblems.end());
    options.bends = m_bends->read(problems);
    return options;
}

std::optional<TemplateOptions> ChamberConstructionDialog::readOptions()
{
    std::vector<FieldProblem> problems;
    const TemplateOptions options = readEntries(problems);
    if (!problems.empty()) {
        m_problem.show(this, problems.front().message, problems.front().field);
        return std::nullopt;
    }
    return options;
}

// The chamber as far as the entries can be read; under it, what cannot be, and every bend that
// the saves would refuse.
void ChamberConstructionDialog::updatePreview()
{
    ++m_edits;
    if (!m_writingFit)
        m_fitNote->hide();
    std::vector<FieldProblem> unreadable;
    const TemplateOptions options = readEntries(unreadable);
    QStringList problems;
    for (const FieldProblem& problem : unreadable)
        problems.append(problem.message);
    DevelopmentOutcome developed = developChamber(m_figures.chamber.dimensions(), options.thickness);
    if (const auto* failure = std::get_if<DevelopmentFailure>(&developed)) {
        problems.append(whyNoDevelopment(*failure, options));
        m_preview->showNothing();
        m_outletLine->clear();
    } else {
        const ChamberRoute route = ChamberRoute::trace(std::get<ChamberDevelopment>(developed), options.bends);
        for (std::size_t i = 0; i < route.sections().size(); ++i) {
            if (const auto& refusal = route.sections()[i].refusal)
                problems.append(whyNoBend(i, *refusal, options.bends[i]));
        }
        m_preview->showRoute(route, options.bends, m_fit->wantedPoint());
        showOutlet(route);
    }
    m_previewNote->setText(problems.join(u'\n'));
    m_previewNote->setVisible(!problems.isEmpty());
}

QString ChamberConstructionDialog::whyNoBend(std::size_t section, PieCuts::Refusal reason, const SectionBend& bend) const
{
    const ChamberSection& chamberSection = kChamberSections[section];
    switch (reason) {
    case PieCuts::Refusal::NoLength:
        return tr("Il tratto %1 (%2) ha lunghezza %3 mm: non c'è nulla da curvare. Lasciarne la curva a 0.")
            .arg(fromView(chamberSection.length), fromView(chamberSection.name),
                 figure(m_figures.chamber.dimensions().*chamberSection.lengthValue));
    case PieCuts::Refusal::CutsCross:
        return tr("Con una curva di %1° in %2 pezzi i tagli del tratto %3 (%4) si incrociano, o incontrano "
                  "un'estremità del tratto.\nScegliere meno pezzi o una curva più piccola.")
            .arg(figure(bend.degrees), QString::number(bend.pieces), fromView(chamberSection.length),
                 fromView(chamberSection.name));
    }
    return {};
}

void ChamberConstructionDialog::refuseBend(const BendFailure& failure, const TemplateOptions& options)
{
    m_problem.show(this, whyNoBend(failure.section, failure.reason, options.bends[failure.section]),
                   m_bends->degreesField(failure.section));
}

QString ChamberConstructionDialog::whyNoDevelopment(const DevelopmentFailure& failure, const TemplateOptions& options) const
{
    switch (failure.reason) {
    case DevelopmentFailure::Reason::HeaderNotPositive:
        return tr("Con un diametro interno del collettore di %1 mm non c'è nessun cono da sviluppare: "
                  "il diametro deve essere maggiore di zero.")
            .arg(figure(m_figures.chamber.dimensions().D1));
    case DevelopmentFailure::Reason::ThicknessNegative:
        return tr("\"%1\" non può essere negativo.").arg(kThicknessCaption);
    case DevelopmentFailure::Reason::NoSector:
        return tr("Con uno spessore di %1 mm il cono %2 non ha uno sviluppo: i suoi diametri medi "
                  "coincidono, o i numeri escono dall'intervallo che il programma sa trattare.")
            .arg(figure(options.thickness), fromView(kConeSections[failure.cone].length));
    }
    return {};
}

void ChamberConstructionDialog::refuse(const DevelopmentFailure& failure, const TemplateOptions& options)
{
    const bool thicknessAtFault = failure.reason != DevelopmentFailure::Reason::HeaderNotPositive;
    m_problem.show(this, whyNoDevelopment(failure, options),
                   thicknessAtFault ? m_sheet->thicknessField() : m_sections->field(figureIndex(&ChamberDimensions::D1)));
}

}  // namespace scaricometro
