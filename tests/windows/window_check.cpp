// The Linux side of the tests of the Windows build under Wine, run on the same X display: where
// to click in the window, a picture of an X window, the clipboard's text, and the comparison of
// a picture of the window with the Linux rendering in every pixel that no text covers, but the
// button's.
//
//   window_check points                    "button X Y TEXT" and "result X Y CAPTION_X CAPTION_Y CAPTION"
//   window_check grab WINDOW_ID OUT.png    the X window as it is on the screen
//   window_check clipboard                 the clipboard's text
//   window_check compare REFERENCE.png PICTURE.png DIFFERENCES.png
#include "ui/ChamberFields.h"
#include "ui/ControlLayout.h"

#include <QGuiApplication>
#include <QClipboard>
#include <QImage>
#include <QPixmap>
#include <QRegion>
#include <QScreen>
#include <QTextStream>

namespace {

using namespace scaricometro;

QPoint centre(std::size_t control)
{
    return toPixels(kControls[control].box).center();
}

int points(QTextStream& out)
{
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        if (kControls[i].kind == ControlKind::Button)
            out << "button " << centre(i).x() << ' ' << centre(i).y() << ' ' << kControls[i].text << '\n';
    }
    for (const ResultField& result : kResultFields) {
        const QPoint field = centre(result.field.index());
        const QPoint caption = centre(result.caption.index());
        out << "result " << field.x() << ' ' << field.y() << ' ' << caption.x() << ' ' << caption.y() << ' '
            << kControls[result.caption.index()].text << '\n';
    }
    return 0;
}

// What is not compared: where text may be drawn, which Wine rasterises otherwise than Qt on
// Linux (all of a caption, a field inside its frame), and the button, which each platform's own
// style draws.
QRegion uncomparedRegion()
{
    QRegion region;
    for (const Control& control : kControls) {
        const QRect box = toPixels(control.box);
        region += control.kind == ControlKind::Field ? box.adjusted(2, 2, -2, -2) : box;
    }
    return region;
}

int compare(QTextStream& out, const QString& referencePath, const QString& picturePath, const QString& differencesPath)
{
    const QImage reference = QImage(referencePath).convertToFormat(QImage::Format_RGB32);
    const QImage picture = QImage(picturePath).convertToFormat(QImage::Format_RGB32);
    if (reference.isNull() || picture.isNull() || reference.size() != picture.size()) {
        out << "cannot compare: " << reference.width() << 'x' << reference.height() << " against "
            << picture.width() << 'x' << picture.height() << '\n';
        return 1;
    }
    const QRegion uncompared = uncomparedRegion();
    QImage differences = reference;
    int compared = 0;
    int different = 0;
    for (int y = 0; y < reference.height(); ++y) {
        for (int x = 0; x < reference.width(); ++x) {
            if (uncompared.contains(QPoint(x, y))) {
                differences.setPixel(x, y, 0xFFFFFF);
                continue;
            }
            ++compared;
            if (reference.pixel(x, y) != picture.pixel(x, y)) {
                ++different;
                differences.setPixel(x, y, 0xFF00FF);
            }
        }
    }
    differences.save(differencesPath);
    out << different << " of " << compared << " compared pixels differ (magenta in " << differencesPath << ")\n";
    return different == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList arguments = QGuiApplication::arguments();
    const QString mode = arguments.value(1);
    if (mode == u"points" && arguments.size() == 2)
        return points(out);
    if (mode == u"grab" && arguments.size() == 4) {
        const QPixmap picture = QGuiApplication::primaryScreen()->grabWindow(arguments.at(2).toULongLong(nullptr, 0));
        return picture.save(arguments.at(3)) ? 0 : 1;
    }
    if (mode == u"clipboard" && arguments.size() == 2) {
        out << QGuiApplication::clipboard()->text() << '\n';
        return 0;
    }
    if (mode == u"compare" && arguments.size() == 5)
        return compare(out, arguments.at(2), arguments.at(3), arguments.at(4));
    QTextStream(stderr) << "usage: window_check points | grab WINDOW_ID OUT.png | clipboard"
                           " | compare REFERENCE.png PICTURE.png DIFFERENCES.png\n";
    return 2;
}
