// The window under what a window manager or compositor asks of it: maximised, full screen and
// restored, in turn. CTest runs it on Qt's offscreen platform, under weston (Wayland) and under
// Xvfb with openbox (X11). After every request the program is still running, the typed figures
// and the layout are as they were, and wherever the window is larger than the layout it shows
// the window colour.
#include "ui/Form1.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

#include <memory>

using namespace scaricometro;
using namespace Qt::StringLiterals;

namespace {

constexpr QSize kLayoutSize{674, 493};
const QColor kWindowGrey(0xE0E0E0u);

QList<QRect> controlBoxes(const Form1& form)
{
    QList<QRect> boxes;
    for (const QWidget* control : form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        boxes.append(control->geometry());
    return boxes;
}

QStringList fieldTexts(const Form1& form)
{
    QStringList texts;
    for (const QLineEdit* field : form.findChildren<QLineEdit*>())
        texts.append(field->text());
    return texts;
}

}  // namespace

class WindowStatesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void survivesEveryRequest_data();
    void survivesEveryRequest();
};

void WindowStatesTest::survivesEveryRequest_data()
{
    QTest::addColumn<QList<int>>("requests");

    QTest::newRow("maximise, restore") << QList<int>{Qt::WindowMaximized, Qt::WindowNoState};
    QTest::newRow("full screen, restore") << QList<int>{Qt::WindowFullScreen, Qt::WindowNoState};
    QTest::newRow("maximise, full screen, restore")
        << QList<int>{Qt::WindowMaximized, Qt::WindowFullScreen, Qt::WindowNoState};
}

void WindowStatesTest::survivesEveryRequest()
{
    QFETCH(QList<int>, requests);

    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.textField(u"Text4")->setText(u"41.5"_s);
    form.calculate();
    form.textField(u"Text1")->setText(u"19"_s);  // typed after the calculation
    const QStringList figures = fieldTexts(form);
    const QList<QRect> layout = controlBoxes(form);
    // An X11 window manager may refuse to maximise a window of fixed size; a compositor decides.
    const bool maximiseMayBeRefused = QGuiApplication::platformName() == u"xcb";

    for (int request : requests) {
        const auto state = static_cast<Qt::WindowState>(request);
        form.setWindowState(state);
        // What the window manager or compositor makes of the request: the layout's size when
        // restored, the whole screen in full screen, more than the layout maximised.
        const auto settled = [&form, state, maximiseMayBeRefused] {
            if (state == Qt::WindowNoState)
                return form.size() == kLayoutSize;
            if (state == Qt::WindowFullScreen)
                return form.size() == form.screen()->geometry().size();
            return (form.width() > kLayoutSize.width() && form.height() > kLayoutSize.height())
                || (maximiseMayBeRefused && form.size() == kLayoutSize);
        };
        QVERIFY2(QTest::qWaitFor(settled), qPrintable(u"%1 x %2 after request %3"_s.arg(form.width()).arg(form.height()).arg(request)));
        QTest::qWait(100);  // and whatever the platform sends after it

        QCOMPARE(fieldTexts(form), figures);
        QCOMPARE(controlBoxes(form), layout);
        const QImage window = form.grab().toImage();
        for (QPoint beyond : {QPoint(form.width() - 1, form.height() - 1), QPoint(form.width() - 1, 40)})
            QCOMPARE(window.pixelColor(beyond), kWindowGrey);
    }
}

QTEST_MAIN(WindowStatesTest)
#include "tst_windowstates.moc"
