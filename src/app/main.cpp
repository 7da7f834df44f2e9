// Scaricometro: opens the chamber calculator's window and runs until it is closed.
#include "ui/Form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral(SCARICOMETRO_APP_NAME));
    QApplication::setDesktopFileName(QStringLiteral(SCARICOMETRO_APP_ID));
    scaricometro::Form1 window;
    window.show();
    return QApplication::exec();
}
