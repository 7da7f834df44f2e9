// Renders Scaricometro's window without a display: it clicks "Calcola" on the default inputs,
// prints the eleven results, optionally clicks one result's caption to light its part of the
// drawing, and saves the window as a PNG; optionally it also saves, for the same figures, 1 mm
// sheet and one piece per cone, the templates (A4) as a PDF and the parts' cutting files into a
// folder, the 3D model and its centre line into a folder, with the sections bent as asked, and a
// picture of the chamber's construction dialog with those bends typed in. After the results it
// prints where the centre line of each section ends, as the data sheet gives it.
//
//   scaricometro-snapshot OUTPUT.png [FIGURE] [--templates TEMPLATES.pdf] [--dxf FOLDER]
//                         [--model FOLDER] [--dialog DIALOG.png]
//                         [--bend SECTION=DEGREES:PIECES[@PLANE] ...]
//       FIGURE: L1 ... L6, D1 ... D4 or "Lunghezza Totale"
//       --bend L3=30:4 bends L3 by 30° (upwards; -30 downwards) in 4 pieces
//       --bend L3=30:4@90 bends it towards the side view's viewer instead
#include "cutfiles/CuttingFiles.h"
#include "cutfiles/ModelFiles.h"
#include "model/ChamberRoute.h"
#include "sheets/ChamberTemplates.h"
#include "model/NumberText.h"
#include "ui/ChamberConstructionDialog.h"
#include "ui/ChamberFields.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTextStream>

#include <algorithm>
#include <variant>

namespace {

void click(QWidget* widget)
{
    const QPointF centre = QRectF(widget->rect()).center();
    const QPointF global = widget->mapToGlobal(centre);
    QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

// The value of `--name VALUE`, taken out of the arguments with its option; empty where there is
// none.
QString takeOption(QStringList& arguments, const QString& name)
{
    const qsizetype at = arguments.indexOf(name);
    if (at <= 0)
        return {};
    const QString value = at + 1 < arguments.size() ? arguments.at(at + 1) : QString();
    arguments.remove(at, std::min<qsizetype>(2, arguments.size() - at));
    return value;
}

// Every `--bend SECTION=DEGREES:PIECES[@PLANE]`, taken out of the arguments; none where one cannot
// be read.
std::optional<scaricometro::ChamberBends> takeBends(QStringList& arguments)
{
    scaricometro::ChamberBends bends{};
    const QRegularExpression form(
        QStringLiteral("^(L[1-6])=(-?[0-9]+(?:\\.[0-9]+)?):([0-9]+)(?:@(-?[0-9]+(?:\\.[0-9]+)?))?$"));
    for (qsizetype at; (at = arguments.indexOf(QStringLiteral("--bend"))) > 0;) {
        const QRegularExpressionMatch bend = form.match(arguments.value(at + 1));
        arguments.remove(at, std::min<qsizetype>(2, arguments.size() - at));
        if (!bend.hasMatch())
            return std::nullopt;
        const auto section = std::find_if(scaricometro::kChamberSections.begin(), scaricometro::kChamberSections.end(),
                                          [&](const scaricometro::ChamberSection& s) {
                                              return scaricometro::fromView(s.length) == bend.captured(1);
                                          });
        bends[static_cast<std::size_t>(section - scaricometro::kChamberSections.begin())] = {
            bend.captured(2).toDouble(), bend.captured(3).toInt(), scaricometro::withinTurn(bend.captured(4).toDouble())};
    }
    return bends;
}

// The construction dialog as the window opens it, the bends typed into it as a tuner would.
QImage dialogPicture(scaricometro::Form1& window, const scaricometro::ChamberBends& bends)
{
    window.openChamberConstruction();
    auto* dialog = window.findChild<scaricometro::ChamberConstructionDialog*>();
    const auto number = [](double value) { return QString::fromStdString(scaricometro::formatDecimalComma(value)); };
    for (std::size_t i = 0; i < bends.size(); ++i) {
        const QString section = scaricometro::fromView(scaricometro::kChamberSections[i].length);
        for (QLineEdit* field : dialog->findChildren<QLineEdit*>()) {
            if (field->accessibleName() == QStringLiteral("Curva %1 (gradi)").arg(section))
                field->setText(number(bends[i].degrees));
            if (field->accessibleName() == QStringLiteral("Piano %1 (gradi)").arg(section))
                field->setText(number(bends[i].plane));
        }
        for (QSpinBox* pieces : dialog->findChildren<QSpinBox*>()) {
            if (pieces->accessibleName() == QStringLiteral("Pezzi %1").arg(section))
                pieces->setValue(bends[i].pieces);
        }
    }
    dialog->resize(dialog->sizeHint());
    return dialog->grab().toImage();
}

// The files saved into `folder`, each path printed after `what`; whether they could be.
bool saveInto(const QString& folder, const std::vector<scaricometro::FileToSave>& files, const char* what,
              QTextStream& out, QTextStream& err)
{
    if (const auto failure = scaricometro::saveAllOrNone(folder, files)) {
        err << "could not save " << failure->path << ": " << failure->reason << '\n';
        return false;
    }
    for (const scaricometro::FileToSave& file : files)
        out << what << " saved as " << QDir(folder).filePath(file.name) << '\n';
    return true;
}

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef Q_OS_WIN
    // Qt's offscreen platform reads fonts from a folder, which on Windows is the system's.
    if (!qEnvironmentVariableIsSet("QT_QPA_FONTDIR"))
        qputenv("QT_QPA_FONTDIR", qgetenv("WINDIR") + "\\Fonts");
#endif
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments = QApplication::arguments();
    const bool templatesAsked = arguments.contains(QStringLiteral("--templates"));
    const bool cuttingFilesAsked = arguments.contains(QStringLiteral("--dxf"));
    const QString templatesPath = takeOption(arguments, QStringLiteral("--templates"));
    const QString cuttingFolder = takeOption(arguments, QStringLiteral("--dxf"));
    const bool modelAsked = arguments.contains(QStringLiteral("--model"));
    const QString modelFolder = takeOption(arguments, QStringLiteral("--model"));
    const bool dialogAsked = arguments.contains(QStringLiteral("--dialog"));
    const QString dialogPath = takeOption(arguments, QStringLiteral("--dialog"));
    scaricometro::TemplateOptions options;
    const std::optional<scaricometro::ChamberBends> bends = takeBends(arguments);
    if (arguments.size() < 2 || arguments.size() > 3 || (templatesAsked && templatesPath.isEmpty())
        || (cuttingFilesAsked && cuttingFolder.isEmpty()) || (modelAsked && modelFolder.isEmpty())
        || (dialogAsked && dialogPath.isEmpty()) || !bends) {
        err << "usage: scaricometro-snapshot OUTPUT.png [FIGURE] [--templates TEMPLATES.pdf] [--dxf FOLDER]\n"
               "                             [--model FOLDER] [--dialog DIALOG.png]\n"
               "                             [--bend SECTION=DEGREES:PIECES[@PLANE] ...]\n"
               "FIGURE is a result's caption (L1 ... L6, D1 ... D4, \"Lunghezza Totale\") to click.\n"
               "--bend L3=30:4 bends L3 by 30 degrees (upwards; -30 downwards) in 4 pieces;\n"
               "--bend L3=30:4@90 in the plane 90 degrees clockwise from up, seen from the engine end.\n";
        return 2;
    }
    options.bends = *bends;
    const QString outputPath = arguments.at(1);
    const QString figure = arguments.value(2);

    scaricometro::Form1 window;
    window.show();
    window.findChild<QPushButton*>(QStringLiteral("Command1"))->click();

    QLabel* figureCaption = nullptr;
    for (const scaricometro::ResultField& result : scaricometro::kResultFields) {
        auto* caption = window.findChild<QLabel*>(result.caption.name().toString());
        out << caption->text() << " = " << window.textField(result.field.name())->text() << '\n';
        if (caption->text() == figure)
            figureCaption = caption;
    }
    const scaricometro::ChamberFigures figures = *window.chamberFigures();
    const auto development = std::get<scaricometro::ChamberDevelopment>(
        scaricometro::developChamber(figures.dimensions, options.thickness));
    const scaricometro::ChamberRoute route = scaricometro::ChamberRoute::trace(development, options.bends);
    for (std::size_t i = 0; i < route.sections().size(); ++i) {
        const scaricometro::Vector3 end = route.sections()[i].end.point;
        out << "asse " << scaricometro::fromView(scaricometro::kChamberSections[i].length) << " fine: X "
            << scaricometro::twoDecimals(end.x) << " Y " << scaricometro::twoDecimals(end.y) << " Z "
            << scaricometro::twoDecimals(end.z) << '\n';
    }

    if (!figure.isEmpty()) {
        if (!figureCaption) {
            err << "no result is called " << figure << '\n';
            return 2;
        }
        click(figureCaption);
    }

    if (!window.grab().save(outputPath)) {
        err << "could not write " << outputPath << '\n';
        return 1;
    }
    out << "window saved as " << outputPath << '\n';

    if (!dialogPath.isEmpty()) {
        if (!dialogPicture(window, options.bends).save(dialogPath)) {
            err << "could not write " << dialogPath << '\n';
            return 1;
        }
        out << "dialog saved as " << dialogPath << '\n';
    }
    if (!templatesPath.isEmpty()) {
        const auto templates = scaricometro::ChamberTemplates::plan(figures, options);
        if (!std::holds_alternative<scaricometro::ChamberTemplates>(templates)) {
            err << "no templates for these figures and bends\n";
            return 1;
        }
        const std::optional<QString> failure = std::get<scaricometro::ChamberTemplates>(templates).saveAsPdf(templatesPath);
        if (failure) {
            err << "could not save " << templatesPath << ": " << *failure << '\n';
            return 1;
        }
        out << "templates saved as " << templatesPath << '\n';
    }
    if (!cuttingFolder.isEmpty()) {
        const auto parts = scaricometro::chamberParts(development, options.piecesPerCone, options.bends);
        if (!std::holds_alternative<std::vector<scaricometro::ChamberPart>>(parts)) {
            err << "no cutting files for these bends\n";
            return 1;
        }
        if (!saveInto(cuttingFolder, scaricometro::cuttingFiles(std::get<std::vector<scaricometro::ChamberPart>>(parts)),
                      "cutting file", out, err))
            return 1;
    }
    if (!modelFolder.isEmpty()) {
        if (std::ranges::any_of(route.sections(), [](const auto& section) { return section.refusal.has_value(); })) {
            err << "no model for these bends\n";
            return 1;
        }
        if (!saveInto(modelFolder, scaricometro::modelFiles(route, scaricometro::ChamberMesh::faceted(route)), "model file", out, err))
            return 1;
    }
    return 0;
}
