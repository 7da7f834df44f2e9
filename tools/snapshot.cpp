// Renders Scaricometro's window without a display: it clicks "Calcola" on the default inputs,
// prints the eleven results, optionally clicks one result's caption to light its part of the
// drawing, and saves the window as a PNG; optionally it also saves, for the same figures, 1 mm
// sheet and one piece per cone, the templates (A4) as a PDF and the parts' cutting files into a
// folder, the 3D model and its centre line into a folder, with the sections bent as asked, and a
// picture of the chamber's construction dialog with those bends typed in. After the results it
// prints where the centre line of each section ends, as the data sheet gives it. With --waves it
// analyses the chamber's waves for the engine that --engine gives, as the dialog "Onde nella
// camera" does, saves the dialog's CSV files and its picture into a folder, and prints the
// accord as the dialog words it. --inputs types the window's five figures before everything else.
// With --fit the construction dialog finds the bends that bring the outlet to the point given, the
// sections of --free bending and the others bent as --bend says, and they are printed and used.
// --sections types sections into the construction dialog's group "Sezioni", and --tune tunes the
// chamber to an rpm with the waves' dialog, printing the factor, the sections and the tuned
// chamber's accord; every file is then of the chamber as built.
//
//   scaricometro-snapshot OUTPUT.png [FIGURE] [--inputs E:V:N:S:D] [--templates TEMPLATES.pdf]
//                         [--dxf FOLDER] [--model FOLDER] [--dialog DIALOG.png]
//                         [--bend SECTION=DEGREES:PIECES[@PLANE] ...]
//                         [--waves FOLDER] [--engine bore=40,rod=85,cr=12,port=28,transfer=130,release=5]
//                         [--fit X,Y,Z[@PLAN,RISE] [--free L1,L3,L5]]
//                         [--sections L1=74.965,L3=228.37,D3=110] [--tune [RPM]]
//       FIGURE: L1 ... L6, D1 ... D4 or "Lunghezza Totale"
//       --inputs 190:500:9000:54,5:38 types them as a tuner would, decimal commas and all
//       --bend L3=30:4 bends L3 by 30° (upwards; -30 downwards) in 4 pieces
//       --bend L3=30:4@90 bends it towards the side view's viewer instead
//       --engine gives any of the six, the others taken as the dialog's defaults
//       --fit 700,-150,-120@10,-5 wants the outlet there, pointing 10° in plan and 5° down; --free
//       names the sections the search may bend (the header and the cones where it is left out)
//       --tune 12000 tunes the chamber to 12 000 rpm; --tune alone to the window's rpm
#include "cutfiles/CuttingFiles.h"
#include "cutfiles/ModelFiles.h"
#include "model/ChamberRoute.h"
#include "sheets/ChamberTemplates.h"
#include "model/NumberText.h"
#include "ui/ChamberConstructionDialog.h"
#include "ui/ChamberFields.h"
#include "ui/EngineFields.h"
#include "ui/Form1.h"
#include "ui/WavesDialog.h"
#include "SnapshotDialog.h"
#include "SnapshotWaves.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTextStream>

#include <algorithm>
#include <array>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

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

QImage dialogPicture(scaricometro::Form1& window, const scaricometro::ChamberBends& bends)
{
    scaricometro::ChamberConstructionDialog* dialog = dialogWithBends(window, bends);
    dialog->resize(dialog->sizeHint());
    return dialog->grab().toImage();
}

// `--tune [RPM]`, taken out of the arguments: none where it is not given; the rpm where it is
// followed by one.
std::optional<std::optional<double>> takeTune(QStringList& arguments)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("--tune"));
    if (at <= 0)
        return std::nullopt;
    bool isNumber = false;
    const double rpm = arguments.value(at + 1).toDouble(&isNumber);
    arguments.remove(at, isNumber ? 2 : 1);
    return isNumber ? std::optional(rpm) : std::nullopt;
}

constexpr qsizetype kWindowInputs = 5;

// The window's five figures of `--inputs E:V:N:S:D`, as they are to be typed; none where there are
// not five.
std::optional<QStringList> windowInputs(const QString& option)
{
    const QStringList texts = option.split(u':');
    if (texts.size() != kWindowInputs)
        return std::nullopt;
    return texts;
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
    const bool wavesAsked = arguments.contains(QStringLiteral("--waves"));
    const QString wavesFolder = takeOption(arguments, QStringLiteral("--waves"));
    const auto engine = engineTexts(takeOption(arguments, QStringLiteral("--engine")));
    const bool inputsAsked = arguments.contains(QStringLiteral("--inputs"));
    const auto inputs = windowInputs(takeOption(arguments, QStringLiteral("--inputs")));
    const bool fitAsked = arguments.contains(QStringLiteral("--fit"));
    const QString fitText = takeOption(arguments, QStringLiteral("--fit"));
    const auto fit = fitOption(fitText, takeOption(arguments, QStringLiteral("--free")));
    const bool sectionsAsked = arguments.contains(QStringLiteral("--sections"));
    const auto sections = sectionsOption(takeOption(arguments, QStringLiteral("--sections")));
    const std::optional<std::optional<double>> tune = takeTune(arguments);
    scaricometro::TemplateOptions options;
    const std::optional<scaricometro::ChamberBends> bends = takeBends(arguments);
    if (arguments.size() < 2 || arguments.size() > 3 || (templatesAsked && templatesPath.isEmpty())
        || (cuttingFilesAsked && cuttingFolder.isEmpty()) || (modelAsked && modelFolder.isEmpty())
        || (dialogAsked && dialogPath.isEmpty()) || !bends || (wavesAsked && wavesFolder.isEmpty()) || !engine
        || (inputsAsked && !inputs) || (fitAsked && !fit) || (sectionsAsked && (!sections || sections->empty()))) {
        err << "usage: scaricometro-snapshot OUTPUT.png [FIGURE] [--inputs E:V:N:S:D] [--templates TEMPLATES.pdf]\n"
               "                             [--dxf FOLDER] [--model FOLDER] [--dialog DIALOG.png]\n"
               "                             [--bend SECTION=DEGREES:PIECES[@PLANE] ...]\n"
               "                             [--waves FOLDER] [--engine bore=40,rod=85,cr=12,port=28,transfer=130,release=5]\n"
               "FIGURE is a result's caption (L1 ... L6, D1 ... D4, \"Lunghezza Totale\") to click.\n"
               "--inputs 190:500:9000:54,5:38 types the window's five figures, as the window takes them.\n"
               "--bend L3=30:4 bends L3 by 30 degrees (upwards; -30 downwards) in 4 pieces;\n"
               "--bend L3=30:4@90 in the plane 90 degrees clockwise from up, seen from the engine end.\n"
               "--waves saves the waves' CSV files and the dialog's picture into FOLDER for the engine\n"
               "that --engine gives (each figure optional, with a decimal point).\n"
               "--fit 700,-150,-120@10,-5 finds the bends that bring the outlet there (mm, in the data\n"
               "sheet's frame), pointing 10 degrees in plan and 5 down; --free L1,L3,L5 names the sections\n"
               "that may bend (L1, L2, L3 and L5 where it is left out), the others bent as --bend says.\n"
               "--sections L1=74.965,L3=228.37,D3=110 types sections (mm) into the chamber as built.\n"
               "--tune 12000 tunes the chamber to 12000 rpm (--tune alone: the window's rpm) and prints the\n"
               "factor, the sections and the accord; the files asked for are of the tuned chamber.\n";
        return 2;
    }
    options.bends = *bends;
    const QString outputPath = arguments.at(1);
    const QString figure = arguments.value(2);

    scaricometro::Form1 window;
    window.show();
    if (inputs) {
        for (std::size_t i = 0; i < scaricometro::kInputFields.size(); ++i)
            window.textField(scaricometro::kInputFields[i].field.name())->setText(inputs->at(static_cast<qsizetype>(i)));
    }
    window.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    if (sections && !sections->empty() && !typeSections(window, *sections, err))
        return 2;
    if (tune && !tuneInDialog(window, *engine, *tune, out, err))
        return 1;
    const std::optional<scaricometro::ChamberFigures> computed = window.chamberFigures();
    if (!computed) {
        err << "the window refuses these inputs\n";
        return 2;
    }

    QLabel* figureCaption = nullptr;
    for (const scaricometro::ResultField& result : scaricometro::kResultFields) {
        auto* caption = window.findChild<QLabel*>(result.caption.name().toString());
        out << caption->text() << " = " << window.textField(result.field.name())->text() << '\n';
        if (caption->text() == figure)
            figureCaption = caption;
    }
    const scaricometro::ChamberFigures& figures = *computed;
    QImage fittedDialog;
    if (fit) {
        const std::optional<scaricometro::ChamberBends> found =
            fittedBends(window, options.bends, *fit, out, err, dialogPath.isEmpty() ? nullptr : &fittedDialog);
        if (!found)
            return 1;
        options.bends = *found;
    }
    const auto development = std::get<scaricometro::ChamberDevelopment>(
        scaricometro::developChamber(figures.chamber.dimensions(), options.thickness));
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
        const QImage picture = fittedDialog.isNull() ? dialogPicture(window, options.bends) : fittedDialog;
        if (!picture.save(dialogPath)) {
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
    if (!wavesFolder.isEmpty()) {
        scaricometro::WavesDialog* waves = analysedWaves(window, *engine, err);
        if (!waves)
            return 1;
        const std::optional<std::vector<scaricometro::FileToSave>> files = waves->csvFiles();
        if (!files) {
            err << "the run at the typed speed broke down\n";
            return 1;
        }
        if (!saveInto(wavesFolder, *files, "waves file", out, err))
            return 1;
        const QString picturePath = QDir(wavesFolder).filePath(QStringLiteral("scaricometro-onde.png"));
        waves->resize(waves->sizeHint());
        if (!waves->grab().save(picturePath)) {
            err << "could not write " << picturePath << '\n';
            return 1;
        }
        out << "waves dialog saved as " << picturePath << '\n';
        out << waves->findChild<QLabel*>(QStringLiteral("accordSentence"))->text() << '\n';
    }
    return 0;
}
