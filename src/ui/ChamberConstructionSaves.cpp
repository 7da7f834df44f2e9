// The construction dialog's saves: the templates as a PDF file, every part as a cutting file, and
// the 3D model and its centre line, each refused with its reason where the chamber cannot be made.
#include "ui/ChamberConstructionDialog.h"

#include "cutfiles/CuttingFiles.h"
#include "cutfiles/ModelFiles.h"
#include "ui/FolderSaver.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QUrl>

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

QString pieces(int count)
{
    return count == 1 ? ChamberConstructionDialog::tr("1 pezzo")
                      : ChamberConstructionDialog::tr("%1 pezzi").arg(count);
}

}  // namespace

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
                                      m_sheet->paperName()));
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
    DevelopmentOutcome outcome = developChamber(m_figures.chamber.dimensions(), options->thickness);
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
    const DevelopmentOutcome outcome = developChamber(m_figures.chamber.dimensions(), options->thickness);
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
                       m_sheet->thicknessField());
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
