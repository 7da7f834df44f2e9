// Opens one window and ends the process as soon as its first frame is painted, so that the
// time and memory from exec to first frame can be measured from outside.
//
//   startup_probe scaricometro|bare
#include "ui/Form1.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// The same size as Scaricometro's window, with one caption and one field so that the font
// machinery loads as in any window with text.
std::unique_ptr<QWidget> bareWindow()
{
    auto window = std::make_unique<QWidget>();
    window->resize(674, 493);
    auto* caption = new QLabel(QStringLiteral("Corsa motore"), window.get());
    caption->setGeometry(384, 32, 57, 41);
    auto* field = new QLineEdit(QStringLiteral("39,3"), window.get());
    field->setGeometry(376, 96, 73, 19);
    return window;
}

class ExitAfterFirstFrame : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        // Queued, so the whole frame (children and flush) is finished when the process ends.
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, [] { std::_Exit(EXIT_SUCCESS); });
        return false;
    }
};

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const bool bare = argc > 1 && std::strcmp(argv[1], "bare") == 0;
    std::unique_ptr<QWidget> window = bare ? bareWindow() : std::make_unique<scaricometro::Form1>();
    ExitAfterFirstFrame exitAfterFirstFrame;
    window->installEventFilter(&exitAfterFirstFrame);
    window->show();
    return QApplication::exec();
}
