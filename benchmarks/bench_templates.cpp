// The cone templates for the default inputs: planned and written whole as a PDF, into memory and
// into a file, as "Salva PDF…" writes them; and the parts' cutting files, drawn and saved into a
// folder as "Salva DXF…" saves them.
#include "cutfiles/CuttingFiles.h"
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
    void drawCuttingFiles();
    void saveCuttingFiles();

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

void TemplatesBenchmark::drawCuttingFiles()
{
    const auto development = std::get<ChamberDevelopment>(developChamber(defaultFigures().dimensions, 1));
    std::size_t files = 0;
    QBENCHMARK {
        files = cuttingFiles(development, 1).size();
    }
    QCOMPARE(files, std::size_t{6});
}

// All six files, drawn and written, each time replacing the six of the time before.
void TemplatesBenchmark::saveCuttingFiles()
{
    const auto development = std::get<ChamberDevelopment>(developChamber(defaultFigures().dimensions, 1));
    const QTemporaryDir folder;
    QBENCHMARK {
        QVERIFY(!saveAllOrNone(folder.path(), cuttingFiles(development, 1)));
    }
}

QTEST_MAIN(TemplatesBenchmark)
#include "bench_templates.moc"
