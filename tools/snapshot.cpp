// Renders Scaricometro's window without a display: it clicks "Calcola" on the default inputs,
// prints the eleven results, optionally clicks one result's caption to light its part of the
// drawing, and saves the window as a PNG; optionally it also saves, for the same figures, 1 mm
// sheet and one piece per cone, the cones' templates (A4) as a PDF and the parts' cutting files
// into a folder.
//
//   scaricometro-snapshot OUTPUT.png [FIGURE] [--templates TEMPLATES.pdf] [--dxf FOLDER]
//       FIGURE: L1 ... L6, D1 ... D4 or "Lunghezza Totale"
#include "cutfiles/CuttingFiles.h"
#include "ui/ChamberFields.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
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
    if (arguments.size() < 2 || arguments.size() > 3 || (templatesAsked && templatesPath.isEmpty())
        || (cuttingFilesAsked && cuttingFolder.isEmpty())) {
        err << "usage: scaricometro-snapshot OUTPUT.png [FIGURE] [--templates TEMPLATES.pdf] [--dxf FOLDER]\n"
               "FIGURE is a result's caption (L1 ... L6, D1 ... D4, \"Lunghezza Totale\") to click.\n";
        return 2;
    }
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

    const scaricometro::ChamberFigures figures = *window.chamberFigures();
    if (!templatesPath.isEmpty()) {
        const auto templates = scaricometro::ConeTemplates::plan(figures, {});
        const std::optional<QString> failure = std::get<scaricometro::ConeTemplates>(templates).saveAsPdf(templatesPath);
        if (failure) {
            err << "could not save " << templatesPath << ": " << *failure << '\n';
            return 1;
        }
        out << "cone templates saved as " << templatesPath << '\n';
    }
    if (!cuttingFolder.isEmpty()) {
        const scaricometro::TemplateOptions options;
        const auto development = std::get<scaricometro::ChamberDevelopment>(
            scaricometro::developChamber(figures.dimensions, options.thickness));
        const auto files = scaricometro::cuttingFiles(development, options.piecesPerCone);
        if (const auto failure = scaricometro::saveAllOrNone(cuttingFolder, files)) {
            err << "could not save " << failure->path << ": " << failure->reason << '\n';
            return 1;
        }
        for (const scaricometro::CuttingFile& file : files)
            out << "cutting file saved as " << QDir(cuttingFolder).filePath(file.name) << '\n';
    }
    return 0;
}
