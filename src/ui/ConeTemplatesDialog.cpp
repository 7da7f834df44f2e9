#include "ui/ConeTemplatesDialog.h"

#include "model/NumberText.h"
#include "ui/ChamberFields.h"
#include "ui/QtItalian.h"
#include "ui/WindowLook.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>

#include <variant>

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

constexpr int kMostPiecesPerCone = 2;
// A bend of half a turn or more is no bend a chamber can take.
constexpr int kMostBendDegrees = 180;
constexpr QStringView kThicknessCaption = u"Spessore lamiera (mm)";

QString millimetres(double value)
{
    return QString::fromStdString(formatRounded(value, DecimalPlaces(5)));
}

QString pieces(int count)
{
    return count == 1 ? ConeTemplatesDialog::tr("1 pezzo")
                      : ConeTemplatesDialog::tr("%1 pezzi").arg(count);
}

// A caption that names its field for screen readers, as the window's captions do.
QLabel* captionFor(QWidget* field, const QString& text, QWidget* parent)
{
    auto* caption = new QLabel(text, parent);
    caption->setBuddy(field);
    return caption;
}

}  // namespace

ConeTemplatesDialog::ConeTemplatesDialog(ChamberFigures figures, QWidget* parent)
    : QDialog(parent)
    , m_figures(std::move(figures))
    , m_thickness(new QLineEdit(u"1"_s, this))
    , m_paper(new QComboBox(this))
    , m_pieces(new QComboBox(this))
    , m_openWhenSaved(new QCheckBox(tr("Apri dopo il salvataggio"), this))
{
    useQtItalian();
    setWindowTitle(tr("Sagome dei coni"));
    setPalette(windowColorScheme());
    setFont(fontFor(FontRole::Field));

    for (const PaperChoice& paper : kPapers)
        m_paper->addItem(paper.name.toString());
    for (int pieces = 1; pieces <= kMostPiecesPerCone; ++pieces)
        m_pieces->addItem(QString::number(pieces));
    m_openWhenSaved->setChecked(true);
    m_openWhenSaved->setToolTip(tr("Il PDF nel visore di documenti, la cartella dei file DXF nel gestore di file"));

    auto* form = new QFormLayout;
    form->addRow(captionFor(m_thickness, kThicknessCaption.toString(), this), m_thickness);
    form->addRow(captionFor(m_paper, tr("Foglio:"), this), m_paper);
    form->addRow(captionFor(m_pieces, tr("Pezzi per cono:"), this), m_pieces);

    // One row a section: its bend in degrees and its pieces.
    auto* bends = new QGroupBox(tr("Curve"), this);
    auto* grid = new QGridLayout(bends);
    grid->addWidget(new QLabel(tr("Gradi"), bends), 0, 1);
    grid->addWidget(new QLabel(tr("Pezzi"), bends), 0, 2);
    for (std::size_t i = 0; i < kChamberSections.size(); ++i) {
        const ChamberSection& section = kChamberSections[i];
        const QString label = fromView(section.length);
        auto* degrees = new QLineEdit(u"0"_s, bends);
        degrees->setAccessibleName(tr("Curva %1 (gradi)").arg(label));
        degrees->setToolTip(tr("0: diritto; positivo: verso l'alto della vista laterale, negativo: verso il basso"));
        auto* pieces = new QSpinBox(bends);
        pieces->setRange(kFewestBendPieces, kMostBendPieces);
        pieces->setValue(SectionBend{}.pieces);
        pieces->setAccessibleName(tr("Pezzi %1").arg(label));
        pieces->setToolTip(tr("In quanti pezzi tagliare il tratto curvato; non conta a 0°"));
        const auto row = static_cast<int>(i) + 1;
        grid->addWidget(captionFor(degrees, u"%1 %2"_s.arg(label, fromView(section.name)), bends), row, 0);
        grid->addWidget(degrees, row, 1);
        grid->addWidget(pieces, row, 2);
        m_bendDegrees[i] = degrees;
        m_bendPieces[i] = pieces;
    }

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* saveButton = buttons->addButton(tr("Salva PDF…"), QDialogButtonBox::AcceptRole);
    saveButton->setDefault(true);
    QPushButton* cuttingButton = buttons->addButton(tr("Salva DXF…"), QDialogButtonBox::ActionRole);
    cuttingButton->setToolTip(tr("Un file DXF per ogni pezzo, al vero in millimetri, per il taglio laser, "
                                 "plasma o ad acqua"));
    buttons->addButton(tr("Chiudi"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &ConeTemplatesDialog::chooseFile);
    connect(cuttingButton, &QPushButton::clicked, this, &ConeTemplatesDialog::chooseFolder);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(bends);
    layout->addWidget(m_openWhenSaved);
    layout->addWidget(buttons);
    m_thickness->setFocus();
}

// A file dialog opened on a folder that does not exist would look for it under the working
// folder instead.
QDir ConeTemplatesDialog::suggestedFolder()
{
    const QDir documents(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    return documents.exists() ? documents : QDir::home();
}

QString ConeTemplatesDialog::suggestedPath()
{
    return suggestedFolder().filePath(u"scaricometro-sagome.pdf"_s);
}

std::optional<TemplateOptions> ConeTemplatesDialog::readOptions()
{
    // The thickness and the bends are typed as the stroke is, a point taken for the decimal comma.
    constexpr const InputField& stroke = rowFor(kInputFields, &ChamberInputs::stroke);
    const std::optional<double> thickness = stroke.read(m_thickness->text());
    if (!thickness) {
        m_problem.show(this, ProblemMessage::notANumber(kThicknessCaption.toString(), u"1,5"_s), m_thickness);
        return std::nullopt;
    }
    TemplateOptions options;
    options.thickness = *thickness;
    options.paper = kPapers[static_cast<std::size_t>(m_paper->currentIndex())].size;
    options.piecesPerCone = m_pieces->currentIndex() + 1;
    for (std::size_t i = 0; i < kChamberSections.size(); ++i) {
        QLineEdit* field = m_bendDegrees[i];
        const std::optional<double> degrees = stroke.read(field->text());
        if (!degrees) {
            m_problem.show(this, ProblemMessage::notANumber(field->accessibleName(), u"30"_s), field);
            return std::nullopt;
        }
        if (!(std::abs(*degrees) < kMostBendDegrees)) {
            m_problem.show(this, tr("\"%1\" deve essere tra -%2 e %2, esclusi.").arg(field->accessibleName()).arg(kMostBendDegrees),
                           field);
            return std::nullopt;
        }
        options.bends[i] = {*degrees, m_bendPieces[i]->value()};
    }
    return options;
}

void ConeTemplatesDialog::refuseBend(const BendFailure& failure, const TemplateOptions& options)
{
    const ChamberSection& section = kChamberSections[failure.section];
    const SectionBend& bend = options.bends[failure.section];
    QString why;
    switch (failure.reason) {
    case PieCuts::Refusal::NoLength:
        why = tr("Il tratto %1 (%2) ha lunghezza %3 mm: non c'è nulla da curvare. Lasciarne la curva a 0.")
                  .arg(fromView(section.length), fromView(section.name),
                       millimetres(m_figures.dimensions.*section.lengthValue));
        break;
    case PieCuts::Refusal::CutsCross:
        why = tr("Con una curva di %1° in %2 pezzi i tagli del tratto %3 (%4) si incrociano, o incontrano "
                 "un'estremità del tratto.\nScegliere meno pezzi o una curva più piccola.")
                  .arg(millimetres(bend.degrees), QString::number(bend.pieces), fromView(section.length),
                       fromView(section.name));
        break;
    }
    m_problem.show(this, why, m_bendDegrees[failure.section]);
}

QString ConeTemplatesDialog::whyNoDevelopment(const DevelopmentFailure& failure, const TemplateOptions& options) const
{
    switch (failure.reason) {
    case DevelopmentFailure::Reason::HeaderNotPositive:
        return tr("Con un diametro interno del collettore di %1 mm non c'è nessun cono da sviluppare: "
                  "il diametro deve essere maggiore di zero.")
            .arg(millimetres(m_figures.dimensions.D1));
    case DevelopmentFailure::Reason::ThicknessNegative:
        return tr("\"%1\" non può essere negativo.").arg(kThicknessCaption);
    case DevelopmentFailure::Reason::NoSector:
        return tr("Con uno spessore di %1 mm il cono %2 non ha uno sviluppo: i suoi diametri medi "
                  "coincidono, o i numeri escono dall'intervallo che il programma sa trattare.")
            .arg(millimetres(options.thickness), fromView(kConeSections[failure.cone].length));
    }
    return {};
}

// Only the thickness can be mended here; the chamber's figures are the window's.
void ConeTemplatesDialog::refuse(const DevelopmentFailure& failure, const TemplateOptions& options)
{
    const bool thicknessAtFault = failure.reason != DevelopmentFailure::Reason::HeaderNotPositive;
    m_problem.show(this, whyNoDevelopment(failure, options), thicknessAtFault ? m_thickness : nullptr);
}

// Qt's own file dialog, where the desktop offers none, opened on the suggested folder.
QFileDialog* ConeTemplatesDialog::fileDialog(const QString& title)
{
    auto* files = new QFileDialog(this, title, suggestedFolder().path());
    files->setAttribute(Qt::WA_DeleteOnClose);
    return files;
}

bool ConeTemplatesDialog::openIfAsked(const QString& path) const
{
    return !m_openWhenSaved->isChecked() || QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void ConeTemplatesDialog::chooseFile()
{
    const std::optional<TemplateOptions> options = readOptions();
    if (!options)
        return;
    ConeTemplates::Outcome outcome = ConeTemplates::plan(m_figures, *options);
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
    m_templates = std::get<ConeTemplates>(std::move(outcome));

    QFileDialog* files = fileDialog(tr("Salva le sagome dei coni"));
    files->setAcceptMode(QFileDialog::AcceptSave);
    files->setFileMode(QFileDialog::AnyFile);
    files->setNameFilter(tr("Documenti PDF (*.pdf)"));
    files->setDefaultSuffix(u"pdf"_s);
    files->selectFile(suggestedPath());
    connect(files, &QFileDialog::fileSelected, this, &ConeTemplatesDialog::save);
    files->open();
}

void ConeTemplatesDialog::chooseFolder()
{
    const std::optional<TemplateOptions> options = readOptions();
    if (!options)
        return;
    DevelopmentOutcome outcome = developChamber(m_figures.dimensions, options->thickness);
    if (const auto* failure = std::get_if<DevelopmentFailure>(&outcome)) {
        refuse(*failure, *options);
        return;
    }
    m_development = std::get<ChamberDevelopment>(std::move(outcome));
    const PartsOutcome parts = chamberParts(m_development, options->piecesPerCone, options->bends);
    if (const auto* failure = std::get_if<BendFailure>(&parts)) {
        refuseBend(*failure, *options);
        return;
    }
    m_cuttingFiles = cuttingFiles(std::get<std::vector<ChamberPart>>(parts));

    QFileDialog* folders = fileDialog(tr("Scegli la cartella dei file DXF"));
    folders->setFileMode(QFileDialog::Directory);
    folders->setOption(QFileDialog::ShowDirsOnly);
    connect(folders, &QFileDialog::fileSelected, this, &ConeTemplatesDialog::saveCuttingFiles);
    folders->open();
}

void ConeTemplatesDialog::save(const QString& path)
{
    if (!m_templates)
        return;
    if (const std::optional<QString> failure = m_templates->saveAsPdf(path)) {
        m_problem.show(this, tr("Impossibile salvare \"%1\":\n%2.").arg(QDir::toNativeSeparators(path), *failure));
        return;
    }
    if (!openIfAsked(path)) {
        showNotice(parentWidget(), tr("Le sagome sono salvate in \"%1\".\nSu questo desktop non c'è un programma "
                                      "che apra i PDF: aprire il file da lì.")
                                       .arg(QDir::toNativeSeparators(path)));
    }
    accept();
}

// Files of the same names are replaced only when the user says so, once for them all.
void ConeTemplatesDialog::saveCuttingFiles(const QString& folder)
{
    const QStringList present = filesPresent(folder, m_cuttingFiles);
    if (present.isEmpty()) {
        writeCuttingFiles(folder);
        return;
    }
    auto* question = new QMessageBox(
        QMessageBox::Question, windowTitle(),
        tr("Nella cartella \"%1\" ci sono già:\n%2\n\nSostituirli con i nuovi?")
            .arg(QDir::toNativeSeparators(folder), present.join(u'\n')),
        QMessageBox::NoButton, this);
    question->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* replace = question->addButton(tr("Sostituisci"), QMessageBox::AcceptRole);
    question->setDefaultButton(question->addButton(tr("Annulla"), QMessageBox::RejectRole));
    connect(replace, &QPushButton::clicked, this, [this, folder] { writeCuttingFiles(folder); });
    question->open();
}

void ConeTemplatesDialog::writeCuttingFiles(const QString& folder)
{
    if (const std::optional<SaveFailure> failure = saveAllOrNone(folder, m_cuttingFiles)) {
        m_problem.show(this, tr("Impossibile salvare \"%1\":\n%2.\nNella cartella non è stato scritto nessun file.")
                                 .arg(QDir::toNativeSeparators(failure->path), failure->reason));
        return;
    }
    QStringList lines{tr("I file DXF sono salvati in \"%1\":").arg(QDir::toNativeSeparators(folder))};
    for (const CuttingFile& file : m_cuttingFiles)
        lines.append(tr("%1: tagliarne %2").arg(file.name, pieces(file.count)));
    for (std::size_t i = 0; i < kCylinderSections.size(); ++i) {
        if (const CylinderDevelopment& cylinder = m_development.cylinders[i]; !cylinder.hasBlank()) {
            lines.append(tr("Nessun file per %1 (%2): la sua lunghezza è %3 mm, non c'è nulla da tagliare.")
                             .arg(fromView(kCylinderSections[i].length), fromView(kCylinderSections[i].name),
                                  millimetres(cylinder.length)));
        }
    }
    lines.append(tr("All'officina: il materiale, lo spessore di %1 mm e quanti pezzi di ciascuno.")
                     .arg(millimetres(m_development.thickness)));
    if (!openIfAsked(folder))
        lines.append(tr("Su questo desktop non c'è un gestore di file che apra la cartella: i file sono lì."));
    showNotice(parentWidget(), lines.join(u'\n'));
    accept();
}

}  // namespace scaricometro
