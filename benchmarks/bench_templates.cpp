// The templates for the default inputs: planned and written whole as a PDF, into memory and into a
// file, as "Salva PDF…" writes them; the parts' cutting files, drawn and saved into a folder as
// "Salva DXF…" saves them; the 3D model and its centre line, made as "Salva modello 3D…" makes
// them; and the dialog's preview, its route traced and its three views painted, as on every edit.
// Straight, and with every section bent in 12 pieces, in one plane and in several.
#include "cutfiles/CuttingFiles.h"
#include "cutfiles/ModelFiles.h"
#include "sheets/ChamberTemplates.h"
#include "ui/ChamberPreview.h"
#include "ui/Form1.h"

#include <QBuffer>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTest>

using namespace scaricometro;

class TemplatesBenchmark : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void planAndPaint_data();
    void planAndPaint();
    void saveFile();
    void drawCuttingFiles_data();
    void drawCuttingFiles();
    void saveCuttingFiles();
    void makeModelFiles_data();
    void makeModelFiles();
    void previewRedraw_data();
    void previewRedraw();

private:
    [[nodiscard]] static ChamberFigures defaultFigures();
    static void straightAndBent();
};

Q_DECLARE_METATYPE(ChamberBends)

// Every section of the default chamber bent in 12 pieces, each about as far as it will go: the
// short belly takes no more than some 18° in so many.
void TemplatesBenchmark::straightAndBent()
{
    QTest::addColumn<ChamberBends>("bends");
    QTest::addColumn<std::size_t>("parts");
    QTest::newRow("straight") << ChamberBends{} << std::size_t{6};
    QTest::newRow("all bent in 12")
        << ChamberBends{SectionBend{60, 12}, SectionBend{45, 12}, SectionBend{45, 12}, SectionBend{-10, 12},
                        SectionBend{-45, 12}, SectionBend{90, 12}}
        << std::size_t{72};
    QTest::newRow("all bent in 12, in several planes")
        << ChamberBends{SectionBend{60, 12, 0}, SectionBend{45, 12, 90}, SectionBend{45, 12, 200}, SectionBend{-10, 12, 0},
                        SectionBend{-45, 12, 300}, SectionBend{90, 12, 45}}
        << std::size_t{72};
}

ChamberFigures TemplatesBenchmark::defaultFigures()
{
    Form1 window;
    return *window.chamberFigures();
}

void TemplatesBenchmark::planAndPaint_data()
{
    straightAndBent();
}

void TemplatesBenchmark::planAndPaint()
{
    QFETCH(ChamberBends, bends);
    const ChamberFigures figures = defaultFigures();
    TemplateOptions options;
    options.bends = bends;
    qint64 bytes = 0;
    QBENCHMARK {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        const auto templates = std::get<ChamberTemplates>(ChamberTemplates::plan(figures, options));
        QPdfWriter writer(&buffer);
        templates.paint(writer);
        bytes = buffer.size();
    }
    QVERIFY(bytes > 10000);
}

void TemplatesBenchmark::saveFile()
{
    const auto templates = std::get<ChamberTemplates>(ChamberTemplates::plan(defaultFigures(), {}));
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("scaricometro-sagome.pdf"));
    QBENCHMARK {
        QVERIFY(!templates.saveAsPdf(path));
    }
}

void TemplatesBenchmark::drawCuttingFiles_data()
{
    straightAndBent();
}

void TemplatesBenchmark::drawCuttingFiles()
{
    QFETCH(ChamberBends, bends);
    QFETCH(std::size_t, parts);
    const auto development = std::get<ChamberDevelopment>(developChamber(defaultFigures().chamber.dimensions(), 1));
    std::size_t files = 0;
    QBENCHMARK {
        files = cuttingFiles(std::get<std::vector<ChamberPart>>(chamberParts(development, 1, bends))).size();
    }
    QCOMPARE(files, parts);
}

// All six files, drawn and written, each time replacing the six of the time before.
void TemplatesBenchmark::saveCuttingFiles()
{
    const auto development = std::get<ChamberDevelopment>(developChamber(defaultFigures().chamber.dimensions(), 1));
    const QTemporaryDir folder;
    QBENCHMARK {
        QVERIFY(!saveAllOrNone(folder.path(), cuttingFiles(std::get<std::vector<ChamberPart>>(chamberParts(development, 1)))));
    }
}

void TemplatesBenchmark::makeModelFiles_data()
{
    straightAndBent();
}

// The chamber traced, faceted, and both files' bytes made, as the button does before it asks for
// the folder.
void TemplatesBenchmark::makeModelFiles()
{
    QFETCH(ChamberBends, bends);
    const auto development = std::get<ChamberDevelopment>(developChamber(defaultFigures().chamber.dimensions(), 1));
    qint64 bytes = 0;
    QBENCHMARK {
        const ChamberRoute route = ChamberRoute::trace(development, bends);
        bytes = 0;
        for (const FileToSave& file : modelFiles(route, ChamberMesh::faceted(route)))
            bytes += file.contents.size();
    }
    QVERIFY(bytes > 10000);
}

void TemplatesBenchmark::previewRedraw_data()
{
    straightAndBent();
}

// What the dialog does on each edit: the chamber developed and traced, and the preview repainted.
void TemplatesBenchmark::previewRedraw()
{
    QFETCH(ChamberBends, bends);
    const ChamberDimensions dimensions = defaultFigures().chamber.dimensions();
    ChamberPreview preview(nullptr);
    preview.resize(preview.sizeHint());
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    QBENCHMARK {
        const auto development = std::get<ChamberDevelopment>(developChamber(dimensions, 1));
        preview.showRoute(ChamberRoute::trace(development, bends), bends);
        preview.repaint();
    }
}

QTEST_MAIN(TemplatesBenchmark)
#include "bench_templates.moc"
