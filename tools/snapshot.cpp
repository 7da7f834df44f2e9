// Renders Scaricometro's window without a display: it clicks "Calcola" on the default inputs,
// prints the eleven results and saves the window as a PNG.
//
//   scaricometro-snapshot OUTPUT.png
#include "ui/ChamberFields.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTextStream>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 2) {
        err << "usage: scaricometro-snapshot OUTPUT.png\n";
        return 2;
    }
    const QString outputPath = arguments.at(1);

    scaricometro::Form1 window;
    window.show();
    window.findChild<QPushButton*>(QStringLiteral("Command1"))->click();

    for (const scaricometro::ResultField& result : scaricometro::kResultFields) {
        const QString caption = window.findChild<QLabel*>(result.caption.toString())->text();
        out << caption << " = " << window.textField(result.field)->text() << '\n';
    }

    if (!window.grab().save(outputPath)) {
        err << "could not write " << outputPath << '\n';
        return 1;
    }
    out << "window saved as " << outputPath << '\n';
    return 0;
}
