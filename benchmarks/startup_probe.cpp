// Opens one window and ends the process as soon as its first frame is painted, so that the
// time and memory from exec to first frame can be measured from outside.
//
//   startup_probe bare|fonts|scaricometro
#include "ui/Form1.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// A window of the same size with one caption and one field, so that the font machinery loads as
// in any window with text.
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

QFont pixelFont(const QStringList& families, int pixelSize, QFont::Weight weight)
{
    QFont font(families.first());
    font.setFamilies(families);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

// The least a faithful window loads: the bare window with a caption in each face the layout
// names (Arial 11 px, Arial bold 13 px, the monospace bold 29 px mark) and its field in Arial
// 13 px.
std::unique_ptr<QWidget> windowWithTheLayoutsFonts()
{
    std::unique_ptr<QWidget> window = bareWindow();
    const QStringList arial{QStringLiteral("Arial")};
    const QStringList mark{QStringLiteral("Lucida Console"), QStringLiteral("DejaVu Sans Mono"),
                           QStringLiteral("Liberation Mono")};
    const struct {
        QFont font;
        QRect box;
        const char* text;
    } captions[] = {
        {pixelFont(arial, 11, QFont::Normal), {88, 136, 17, 17}, "L1"},
        {pixelFont(arial, 13, QFont::Bold), {48, 272, 17, 17}, "L1"},
        {pixelFont(mark, 29, QFont::Bold), {8, 8, 73, 33}, "TQV"},
    };
    for (const auto& caption : captions) {
        auto* label = new QLabel(QString::fromLatin1(caption.text), window.get());
        label->setFont(caption.font);
        label->setGeometry(caption.box);
    }
    window->findChild<QLineEdit*>()->setFont(pixelFont(arial, 13, QFont::Normal));
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
    const char* const mode = argc > 1 ? argv[1] : "scaricometro";
    std::unique_ptr<QWidget> window = std::strcmp(mode, "bare") == 0 ? bareWindow()
        : std::strcmp(mode, "fonts") == 0                           ? windowWithTheLayoutsFonts()
                                                                     : std::make_unique<scaricometro::Form1>();
    ExitAfterFirstFrame exitAfterFirstFrame;
    window->installEventFilter(&exitAfterFirstFrame);
    window->show();
    return QApplication::exec();
}
