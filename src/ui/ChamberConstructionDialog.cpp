#include "ui/ChamberConstructionDialog.h"

#include "cutfiles/CuttingFiles.h"
#include "cutfiles/ModelFiles.h"
#include "ui/ChamberFields.h"
#include "ui/ChamberPreview.h"
#include "ui/FolderSaver.h"
#include "ui/QtItalian.h"
#include "ui/WindowLook.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>

#include <variant>

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

constexpr int kMostPiecesPerCone = 2;
constexpr QStringView kThicknessCaption = u"Spessore lamiera (mm)";

// A figure in a message, to the window's five places.
QString figure(double value)
{
    return decimals(value, 5);
}

QString pieces(int count)
{
    return count == 1 ? ChamberConstructionDialog::tr("1 pezzo")
                      : ChamberConstructionDialog::tr("%1 pezzi").arg(count);
}

// A caption that names its field for screen readers, as the window's captions do.
QLabel* captionFor(QWidget* field, const QString& text, QWidget* parent)
{
    auto* caption = new QLabel(text, parent);
    caption->setBuddy(field);
    return caption;
}

}  // namespace

ChamberConstructionDialog::ChamberConstructionDialog(ChamberFigures figures, QWidget* parent)
    : QDialog(parent)
    , m_figures(std::move(figures))
    , m_thickness(new QLineEdit(u"1"_s, this))
    , m_paper(new QComboBox(this))
    , m_pieces(new QComboBox(this))
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

    for (const PaperChoice& paper : kPapers)
        m_paper->addItem(paper.name.toString());
    for (int pieces = 1; pieces <= kMostPiecesPerCone; ++pieces)
        m_pieces->addItem(QString::number(pieces));
    m_openWhenSaved->setChecked(true);
    m_openWhenSaved->setToolTip(tr("Il PDF nel visore di documenti, la cartella dei file DXF o del modello 3D "
                                    "nel gestore di file"));
    m_previewNote->setWordWrap(true);
    m_previewNote->setTextFormat(Qt::PlainText);
    QPalette notePalette = m_previewNote->palette();
    notePalette.setColor(QPalette::WindowText, QColor::fromRgb(kRefusedColor));
    m_previewNote->setPalette(notePalette);

    auto* form = new QFormLayout;
    form->addRow(captionFor(m_thickness, kThicknessCaption.toString(), this), m_thickness);
    form->addRow(captionFor(m_paper, tr("Foglio:"), this), m_paper);
    form->addRow(captionFor(m_pieces, tr("Pezzi per cono:"), this), m_pieces);

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
    connect(m_thickness, &QLineEdit::textChanged, this, &ChamberConstructionDialog::updatePreview);
    connect(m_pieces, &QComboBox::currentIndexChanged, this, &ChamberConstructionDialog::updatePreview);
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
    entries->addLayout(form);
    entries->addWidget(m_bends);
    entries->addWidget(m_fit);
    entries->addWidget(m_openWhenSaved);
    entries->addStretch();
    auto* preview = new QVBoxLayout;
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
    m_thickness->setFocus();
    // One Ctrl+Z puts back the bends a search wrote, from whichever field has the focus.
    for (QLineEdit* field : findChildren<QLineEdit*>())
        field->installEventFilter(this);
    auto* undo = new QShortcut(QKeySequence::Undo, this);
    connect(undo, &QShortcut::activated, this, &ChamberConstructionDialog::undoFit);
    updatePreview();
}

void ChamberConstructionDialog::setFigures(ChamberFigures figures)
{
    m_figures = std::move(figures);
    updatePreview();
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
    // The thickness is typed as the stroke is, a point taken for the decimal comma.
    constexpr const InputField& stroke = rowFor(kInputFields, &ChamberInputs::stroke);
    if (const std::optional<double> thickness = stroke.read(m_thickness->text()))
        options.thickness = *thickness;
    else
        problems.push_back({ProblemMessage::notANumber(kThicknessCaption.toString(), u"1,5"_s), m_thickness});
    options.paper = kPapers[static_cast<std::size_t>(m_paper->currentIndex())].size;
    options.piecesPerCone = m_pieces->currentIndex() + 1;
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
    DevelopmentOutcome developed = developChamber(m_figures.dimensions, options.thickness);
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
                 figure(m_figures.dimensions.*chamberSection.lengthValue));
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
            .arg(figure(m_figures.dimensions.D1));
    case DevelopmentFailure::Reason::ThicknessNegative:
        return tr("\"%1\" non può essere negativo.").arg(kThicknessCaption);
    case DevelopmentFailure::Reason::NoSector:
        return tr("Con uno spessore di %1 mm il cono %2 non ha uno sviluppo: i suoi diametri medi "
                  "coincidono, o i numeri escono dall'intervallo che il programma sa trattare.")
            .arg(figure(options.thickness), fromView(kConeSections[failure.cone].length));
    }
    return {};
}

// Only the thickness can be mended here; the chamber's figures are the window's.
void ChamberConstructionDialog::refuse(const DevelopmentFailure& failure, const TemplateOptions& options)
{
    const bool thicknessAtFault = failure.reason != DevelopmentFailure::Reason::HeaderNotPositive;
    m_problem.show(this, whyNoDevelopment(failure, options), thicknessAtFault ? m_thickness : nullptr);
}

// Qt's own file dialog, where the desktop offers none, opened on the suggested folder.
QFileDialog* ChamberConstructionDialog::fileDialog(const QString& title)
{
    auto* files = new QFileDialog(this, title, suggestedFolder().path());
    files->setAttribute(Qt::WA_DeleteOnClose);
    return files;
}

bool ChamberConstructionDialog::openIfAsked(const QString& path) const
{
    return !m_openWhenSaved->isChecked() || QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void ChamberConstructionDialog::chooseFile()
{
    const std::optional<TemplateOptions> options = readOptions();
    if (!options)
        return;
    ChamberTemplates::Outcome outcome = ChamberTemplates::plan(m_figures, *options);
    if (const auto* failure = std::get_if<DevelopmentFailure>(&outcome)) {
        refuse(*failure, *options);
        return;
    }
    if (const auto* failure = std::get_if<BendFailure>(&outcome)) {
        refuseBend(*failure, *options);
        return;
    }
    if (const auto* tooMany = std::get_if<TooManySheets>(&outcome)) {
        const ChamberSection& section = kChamberSections[tooMany->section];
        const bool straightCone = section.shape == SectionShape::Cone && options->bends[tooMany->section].isStraight();
        m_problem.show(this, (straightCone ? tr("La sagoma del cono %1 richiederebbe più di %2 fogli %3.\n"
                                                "Scegliere un foglio più grande, o 2 pezzi per cono.")
                                           : tr("La sagoma del tratto %1 richiederebbe più di %2 fogli %3.\n"
                                                "Scegliere un foglio più grande."))
                                 .arg(fromView(section.length), QString::number(kMaxSheetsPerPattern),
                                      m_paper->currentText()));
        return;
    }
    m_templates = std::get<ChamberTemplates>(std::move(outcome));

    QFileDialog* files = fileDialog(tr("Salva le sagome della camera"));
    files->setAcceptMode(QFileDialog::AcceptSave);
    files->setFileMode(QFileDialog::AnyFile);
    files->setNameFilter(tr("Documenti PDF (*.pdf)"));
    files->setDefaultSuffix(u"pdf"_s);
    files->selectFile(suggestedPath());
    connect(files, &QFileDialog::fileSelected, this, &ChamberConstructionDialog::save);
    files->open();
}

void ChamberConstructionDialog::chooseCuttingFolder()
{
    const std::optional<TemplateOptions> options = readOptions();
    if (!options)
        return;
    DevelopmentOutcome outcome = developChamber(m_figures.dimensions, options->thickness);
    if (const auto* failure = std::get_if<DevelopmentFailure>(&outcome)) {
        refuse(*failure, *options);
        return;
    }
    const ChamberDevelopment& development = std::get<ChamberDevelopment>(outcome);
    const PartsOutcome parts = chamberParts(development, options->piecesPerCone, options->bends);
    if (const auto* failure = std::get_if<BendFailure>(&parts)) {
        refuseBend(*failure, *options);
        return;
    }
    const auto& toCut = std::get<std::vector<ChamberPart>>(parts);
    FileBatch batch{tr("Scegli la cartella dei file DXF"), cuttingFiles(toCut), tr("I file DXF sono salvati in \"%1\":"), {}};
    for (std::size_t i = 0; i < toCut.size(); ++i)
        batch.savedLines.append(tr("%1: tagliarne %2").arg(batch.files[i].name, pieces(toCut[i].count)));
    for (std::size_t i = 0; i < kCylinderSections.size(); ++i) {
        if (const CylinderDevelopment& cylinder = development.cylinders[i]; !cylinder.hasBlank()) {
            batch.savedLines.append(tr("Nessun file per %1 (%2): la sua lunghezza è %3 mm, non c'è nulla da tagliare.")
                                        .arg(fromView(kCylinderSections[i].length), fromView(kCylinderSections[i].name),
                                             figure(cylinder.length)));
        }
    }
    batch.savedLines.append(tr("All'officina: il materiale, lo spessore di %1 mm e quanti pezzi di ciascuno.")
                                .arg(figure(development.thickness)));
    m_folderSaver->start(std::move(batch));
}

void ChamberConstructionDialog::chooseModelFolder()
{
    const std::optional<TemplateOptions> options = readOptions();
    if (!options)
        return;
    const DevelopmentOutcome outcome = developChamber(m_figures.dimensions, options->thickness);
    if (const auto* failure = std::get_if<DevelopmentFailure>(&outcome)) {
        refuse(*failure, *options);
        return;
    }
    const ChamberRoute route = ChamberRoute::trace(std::get<ChamberDevelopment>(outcome), options->bends);
    for (std::size_t i = 0; i < route.sections().size(); ++i) {
        if (const auto& refusal = route.sections()[i].refusal) {
            refuseBend({i, *refusal}, *options);
            return;
        }
    }
    // A sheet of no thickness is no solid: nothing a slicer or a CAD program could take.
    if (!(route.thickness() > 0)) {
        m_problem.show(this, tr("Con uno spessore di %1 mm la camera non ha pareti da modellare: "
                                "indicare lo spessore della lamiera.")
                                 .arg(figure(route.thickness())),
                       m_thickness);
        return;
    }
    const ChamberMesh mesh = ChamberMesh::faceted(route);
    const Vector3 outlet = route.outlet().point;
    m_folderSaver->start({tr("Scegli la cartella del modello 3D"), modelFiles(route, mesh),
                          tr("Il modello 3D è salvato in \"%1\":"),
                          {tr("%1: la camera saldata, %2 triangoli, in millimetri, per CAD, visualizzatori "
                              "e stampanti 3D").arg(kModelFileName, QString::number(mesh.triangles().size())),
                           tr("%1: l'asse della camera, una polilinea 3D in millimetri, dall'ingresso, l'origine, "
                              "all'uscita, a X %2, Y %3, Z %4")
                               .arg(kCentreLineFileName, twoDecimals(outlet.x), twoDecimals(outlet.y),
                                    twoDecimals(outlet.z))}});
}

void ChamberConstructionDialog::save(const QString& path)
{
    if (!m_templates)
        return;
    if (const std::optional<QString> failure = m_templates->saveAsPdf(path)) {
        m_problem.show(this, tr("Impossibile salvare \"%1\":\n%2.").arg(QDir::toNativeSeparators(path), *failure));
        return;
    }
    if (!openIfAsked(path)) {
        showNotice(this, tr("Le sagome sono salvate in \"%1\".\nSu questo desktop non c'è un programma "
                                      "che apra i PDF: aprire il file da lì.")
                                       .arg(QDir::toNativeSeparators(path)));
    }
}

}  // namespace scaricometro
