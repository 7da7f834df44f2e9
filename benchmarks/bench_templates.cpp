// The cone templates for the default inputs: planned and written whole as a PDF, into memory and
// into a file, as "Salva PDF…" writes them.
#include "sheets/ConeTemplates.h"
#include "ui/Form1.h"

#include <QBuffer>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTest>

using namespace scaricometro;

class TemplatesBenchmark : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void planAndPaint();
    void saveFile();

private:
    [[nodiscard]] static ChamberFigures defaultFigures();
};

ChamberFigures TemplatesBenchmark::defaultFigures()
{
    Form1 window;
    return *window.chamberFigures();
}

void TemplatesBenchmark::planAndPaint()
{
    const ChamberFigures figures = defaultFigures();
    qint64 bytes = 0;
    QBENCHMARK {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        const auto templates = std::get<ConeTemplates>(ConeTemplates::plan(figures, {}));
        QPdfWriter writer(&buffer);
        templates.paint(writer);
        bytes = buffer.size();
    }
    QVERIFY(bytes > 10000);
}

void TemplatesBenchmark::saveFile()
{
    const auto templates = std::get<ConeTemplates>(ConeTemplates::plan(defaultFigures(), {}));
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("scaricometro-sagome.pdf"));
    QBENCHMARK {
        QVERIFY(!templates.saveAsPdf(path));
    }
}

QTEST_MAIN(TemplatesBenchmark)
#include "bench_templates.moc"
