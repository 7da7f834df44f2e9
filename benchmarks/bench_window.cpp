// One "Calcola" click and one highlight click on the real window, each with the repaint it
// causes, on whichever Qt platform the environment names (offscreen without a display).
#include "ui/Form1.h"
#include "ui/WavesDialog.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace scaricometro;

namespace {

// Counts the paint events a widget receives, to show the benchmark really repainted.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget)
        : QObject(widget)
    {
        widget->installEventFilter(this);
    }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

}  // namespace

class WindowBenchmark : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void calcolaClick_data();
    void calcolaClick();
    void highlightClick();
    void wavesFirstPlot();

private:
    std::unique_ptr<Form1> m_form;
};

void WindowBenchmark::init()
{
    m_form = std::make_unique<Form1>();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    QApplication::processEvents();
}

void WindowBenchmark::cleanup()
{
    m_form.reset();
}

void WindowBenchmark::calcolaClick_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("changedResult");

    // The stroke moves L1 and L4 only; the header diameter moves every result but L1 and the
    // total length. The stroke is typed with a point, so the click also rewrites it.
    QTest::newRow("stroke: 2 results change") << QStringLiteral("Text4")
                                              << QStringList{QStringLiteral("39.3"), QStringLiteral("41.5")}
                                              << QStringLiteral("Text8");
    QTest::newRow("header diameter: 9 results change") << QStringLiteral("Text15")
                                                       << QStringList{QStringLiteral("29"), QStringLiteral("31")}
                                                       << QStringLiteral("Text13");
}

// An input alternates between two values, so every click writes new results, and repaints them.
void WindowBenchmark::calcolaClick()
{
    QFETCH(QString, input);
    QFETCH(QStringList, values);
    QFETCH(QString, changedResult);

    auto* button = m_form->findChild<QPushButton*>(QStringLiteral("Command1"));
    QLineEdit* field = m_form->textField(input);
    auto* resultPaints = new PaintCounter(m_form->textField(changedResult));
    int click = 0;
    QBENCHMARK {
        field->setText(values.at(click++ % 2));
        button->click();
        QApplication::processEvents();
    }
    QVERIFY(resultPaints->paints >= click);
}

// Clicking L4 and D3 in turn: each click resets the lit row and lights the other.
void WindowBenchmark::highlightClick()
{
    QWidget* const captions[] = {m_form->findChild<QLabel*>(QStringLiteral("Label19")),
                                 m_form->findChild<QLabel*>(QStringLiteral("Label25"))};
    auto* windowPaints = new PaintCounter(m_form.get());
    int click = 0;
    QBENCHMARK {
        QTest::mouseClick(captions[click++ % 2], Qt::LeftButton);
        QApplication::processEvents();
    }
    QVERIFY(windowPaints->paints >= click);
    QCOMPARE(m_form->lineColor(u"Line12"), QColor(click % 2 ? Qt::red : Qt::black));
}

// From the waves' analysis starting to the typed speed's cycle drawn: what the tuner waits for
// on opening the dialog, the rest of the band following on the workers.
void WindowBenchmark::wavesFirstPlot()
{
    m_form->openWaves();
    auto* dialog = m_form->findChild<WavesDialog*>();
    QVERIFY(dialog);
    QSignalSpy shown(dialog, &WavesDialog::typedSpeedShown);
    QBENCHMARK {
        dialog->restart();
        QVERIFY(shown.wait(10000));
    }
}

QTEST_MAIN(WindowBenchmark)
#include "bench_window.moc"
