#include "ui/ConeTemplatesDialog.h"

#include "model/NumberText.h"
#include "ui/ChamberFields.h"
#include "ui/WindowLook.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>

#include <variant>

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

constexpr int kMostPiecesPerCone = 2;
constexpr QStringView kThicknessCaption = u"Spessore lamiera (mm)";

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
    , m_openWhenSaved(new QCheckBox(tr("Apri il PDF dopo il salvataggio"), this))
{
    setWindowTitle(tr("Sagome dei coni"));
    setPalette(windowColorScheme());
    setFont(fontFor(FontRole::Field));

    for (const PaperChoice& paper : kPapers)
        m_paper->addItem(paper.name.toString());
    for (int pieces = 1; pieces <= kMostPiecesPerCone; ++pieces)
        m_pieces->addItem(QString::number(pieces));
    m_openWhenSaved->setChecked(true);

    auto* form = new QFormLayout;
    form->addRow(captionFor(m_thickness, kThicknessCaption.toString(), this), m_thickness);
    form->addRow(captionFor(m_paper, tr("Foglio:"), this), m_paper);
    form->addRow(captionFor(m_pieces, tr("Pezzi per cono:"), this), m_pieces);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* saveButton = buttons->addButton(tr("Salva PDF…"), QDialogButtonBox::AcceptRole);
    saveButton->setDefault(true);
    buttons->addButton(tr("Chiudi"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &ConeTemplatesDialog::chooseFile);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_openWhenSaved);
    layout->addWidget(buttons);
    m_thickness->setFocus();
}

// In the Documents folder, or at home where there is none yet: a file dialog opened on a folder
// that does not exist would look for it under the working folder instead.
QString ConeTemplatesDialog::suggestedPath()
{
    const QDir documents(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    return (documents.exists() ? documents : QDir::home()).filePath(u"scaricometro-sagome.pdf"_s);
}

std::optional<TemplateOptions> ConeTemplatesDialog::readOptions()
{
    // The thickness is typed as the stroke is, a point taken for the decimal comma.
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
    return options;
}

QString ConeTemplatesDialog::whyNoTemplates(const ConeTemplates::Outcome& outcome, const TemplateOptions& options) const
{
    const auto millimetres = [](double value) { return QString::fromStdString(formatRounded(value, DecimalPlaces(5))); };
    if (const auto* tooMany = std::get_if<TooManySheets>(&outcome)) {
        return tr("La sagoma del cono %1 richiederebbe più di %2 fogli %3.\n"
                  "Scegliere un foglio più grande, o 2 pezzi per cono.")
            .arg(fromView(kConeSections[tooMany->cone].length), QString::number(kMaxSheetsPerPattern),
                 m_paper->currentText());
    }
    const auto& failure = std::get<DevelopmentFailure>(outcome);
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

void ConeTemplatesDialog::chooseFile()
{
    const std::optional<TemplateOptions> options = readOptions();
    if (!options)
        return;
    ConeTemplates::Outcome outcome = ConeTemplates::plan(m_figures, *options);
    if (!std::holds_alternative<ConeTemplates>(outcome)) {
        // Only the thickness can be mended here; the chamber's figures are the window's.
        const bool thicknessAtFault = std::holds_alternative<DevelopmentFailure>(outcome)
            && std::get<DevelopmentFailure>(outcome).reason != DevelopmentFailure::Reason::HeaderNotPositive;
        m_problem.show(this, whyNoTemplates(outcome, *options), thicknessAtFault ? m_thickness : nullptr);
        return;
    }
    m_templates = std::get<ConeTemplates>(std::move(outcome));

    auto* files = new QFileDialog(this, tr("Salva le sagome dei coni"));
    files->setAttribute(Qt::WA_DeleteOnClose);
    files->setAcceptMode(QFileDialog::AcceptSave);
    files->setFileMode(QFileDialog::AnyFile);
    files->setNameFilter(tr("Documenti PDF (*.pdf)"));
    files->setDefaultSuffix(u"pdf"_s);
    files->selectFile(suggestedPath());
    // Qt's own file dialog, where the desktop offers none, in Italian.
    const std::pair<QFileDialog::DialogLabel, QString> labels[] = {
        {QFileDialog::LookIn, tr("Cartella:")},
        {QFileDialog::FileName, tr("Nome del file:")},
        {QFileDialog::FileType, tr("Tipo:")},
        {QFileDialog::Accept, tr("Salva")},
        {QFileDialog::Reject, tr("Annulla")},
    };
    for (const auto& [label, text] : labels)
        files->setLabelText(label, text);
    connect(files, &QFileDialog::fileSelected, this, &ConeTemplatesDialog::save);
    files->open();
}

void ConeTemplatesDialog::save(const QString& path)
{
    if (!m_templates)
        return;
    if (const std::optional<QString> failure = m_templates->saveAsPdf(path)) {
        m_problem.show(this, tr("Impossibile salvare \"%1\":\n%2.").arg(QDir::toNativeSeparators(path), *failure));
        return;
    }
    if (m_openWhenSaved->isChecked())
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    accept();
}

}  // namespace scaricometro
