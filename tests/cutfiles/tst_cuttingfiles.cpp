// The cutting files as a shop's programs take them: read by ezdxf, each part measured against
// the chamber it was made from; drawn by LibreCAD at 1:1 and measured on the rendered page; and
// saved into a folder whole, or leaving it as it was.
#include "Programs.h"
#include "cutfiles/CuttingFiles.h"
#include "cutfiles/ModelFiles.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <optional>
#include <span>

using namespace scaricometro;
using namespace Qt::StringLiterals;

namespace {

constexpr double kDotsPerMm = 300 / 25.4;

ChamberDevelopment developed(const ChamberInputs& inputs, double thickness)
{
    return std::get<ChamberDevelopment>(developChamber(std::get<ChamberDimensions>(computeChamber(inputs)), thickness));
}

std::vector<ChamberPart> partsFor(const ChamberDevelopment& development, int piecesPerCone, const ChamberBends& bends = {})
{
    return std::get<std::vector<ChamberPart>>(chamberParts(development, piecesPerCone, bends));
}

std::vector<FileToSave> filesFor(const ChamberDevelopment& development, int piecesPerCone, const ChamberBends& bends = {})
{
    return cuttingFiles(partsFor(development, piecesPerCone, bends));
}

// Each file's name and how many of its part to cut.
QStringList namesAndCounts(const ChamberDevelopment& development, int piecesPerCone, const ChamberBends& bends = {})
{
    const std::vector<ChamberPart> parts = partsFor(development, piecesPerCone, bends);
    const std::vector<FileToSave> files = cuttingFiles(parts);
    QStringList names;
    for (std::size_t i = 0; i < files.size(); ++i)
        names.append(files[i].name + u' ' + QString::number(parts[i].count));
    return names;
}

ChamberDevelopment defaultChamber()
{
    return developed({203, 510, 12000, 39.3, 29}, 1);
}

template <typename Section>
std::size_t indexIn(const Section& sections, const ChamberSection* section)
{
    return static_cast<std::size_t>(std::find_if(sections.begin(), sections.end(),
                                                 [&](const ChamberSection& s) { return s.length == section->length; })
                                    - sections.begin());
}

// What each file must measure, for the checker: a cone's R, r, angle and slant, a blank's sides.
QString expectedLine(const FileToSave& file, const ChamberSection* section, const ChamberDevelopment& development, int pieces)
{
    const auto number = [](double value) { return QString::number(value, 'g', 17); };
    if (section->shape == SectionShape::Cone) {
        const ConePattern& cone = development.cones[indexIn(kConeSections, section)];
        const AnnularSector piece = cone.piece(pieces);
        return u"%1\tcone\t%2\t%3\t%4\t%5"_s.arg(file.name, number(piece.outerRadius), number(piece.innerRadius),
                                                  number(piece.angleDegrees), number(cone.slant));
    }
    const CylinderDevelopment& blank = development.cylinders[indexIn(kCylinderSections, section)];
    return u"%1\tblank\t%2\t%3"_s.arg(file.name, number(blank.developedWidth), number(blank.length));
}

// A bent piece's lower and upper joints as the bend defines them: joint k crosses the axis at
// k · length / pieces and is tilted by +α, −α … from the engine end, α = θ / (2 (pieces − 1)).
QString expectedPieceLine(const QString& name, const ChamberDimensions& dimensions, double thickness,
                          std::size_t section, const SectionBend& bend, int piece)
{
    const auto number = [](double value) { return QString::number(value, 'g', 17); };
    const ChamberSection& shape = kChamberSections[section];
    const double length = dimensions.*shape.lengthValue;
    const double alpha = std::abs(bend.degrees) * std::numbers::pi / 180 / (2 * (bend.pieces - 1));
    const auto joint = [&](int k) {
        const double tilt = k == 0 || k == bend.pieces ? 0 : (k % 2 == 1 ? alpha : -alpha);
        return u"%1\t%2"_s.arg(number(tilt), number(length * k / bend.pieces));
    };
    return u"%1\tpiece\t%2\t%3\t%4\t%5\t%6"_s.arg(
        name, number(length), number((dimensions.*shape.startDiameterValue + thickness) / 2),
        number((dimensions.*shape.endDiameterValue + thickness) / 2), joint(piece - 1), joint(piece));
}

// The files saved into a new folder of `root` named after the run, with the checker's
// expected.txt; none where either cannot be written.
std::optional<QString> savedForChecker(const QTemporaryDir& root, int run, std::span<const FileToSave> files,
                                       const QStringList& expected)
{
    const QString folder = root.filePath(QString::number(run));
    QFile list(QDir(folder).filePath(u"expected.txt"_s));
    if (!QDir().mkpath(folder) || saveAllOrNone(folder, files) || !list.open(QIODevice::WriteOnly))
        return std::nullopt;
    list.write((expected.join(u'\n') + u'\n').toUtf8());
    return folder;
}

// Each file's name and bytes, the hidden ones too.
std::map<QString, QByteArray> contentsOf(const QString& folder)
{
    std::map<QString, QByteArray> contents;
    const QDir dir(folder);
    for (const QFileInfo& entry : dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        QFile file(entry.filePath());
        contents[entry.fileName()] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(not a file)");
    }
    return contents;
}

// The dark columns of a rendered page, leftmost to rightmost: a part's width, in mm.
double drawnWidth(const QImage& page)
{
    int left = page.width();
    int right = -1;
    for (int y = 0; y < page.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(page.constScanLine(y));
        for (int x = 0; x < page.width(); ++x) {
            if (qGray(row[x]) < 200) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return (right - left) / kDotsPerMm;
}

}  // namespace

Q_DECLARE_METATYPE(std::vector<FileToSave>)

class CuttingFilesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void namesEachPart();
    void readByEzdxf();
    void bentPiecesReadByEzdxf();
    void drawnAtFullSizeByLibreCad();
    void savesAllOrNone_data();
    void savesAllOrNone();
    void placingFailsAfterOthersAreIn_data();
    void placingFailsAfterOthersAreIn();
    void readableAsTheUsersOtherFiles_data();
    void readableAsTheUsersOtherFiles();
};

// One file a part, from the engine end: every cone, and each cylinder that has a length.
void CuttingFilesTest::namesEachPart()
{
    QCOMPARE(namesAndCounts(defaultChamber(), 2), QStringList({u"scaricometro-L1-collettore.dxf 1"_s,
                                 u"scaricometro-L2-primo-cono-divergente-tagliarne-2.dxf 2"_s,
                                 u"scaricometro-L3-secondo-cono-divergente-tagliarne-2.dxf 2"_s,
                                 u"scaricometro-L4-pancia.dxf 1"_s,
                                 u"scaricometro-L5-cono-convergente-tagliarne-2.dxf 2"_s,
                                 u"scaricometro-L6-codino.dxf 1"_s}));
    QCOMPARE(filesFor(defaultChamber(), 1).at(2).name, u"scaricometro-L3-secondo-cono-divergente.dxf"_s);
    // A bent section's pieces, one of each, those to turn said; the straight cones still in halves.
    ChamberBends bends;
    bends[2] = {30, 3};
    QCOMPARE(namesAndCounts(defaultChamber(), 2, bends).mid(1, 4), QStringList({u"scaricometro-L2-primo-cono-divergente-tagliarne-2.dxf 2"_s,
                                           u"scaricometro-L3-secondo-cono-divergente-pezzo-1-di-3.dxf 1"_s,
                                           u"scaricometro-L3-secondo-cono-divergente-pezzo-2-di-3-da-girare.dxf 1"_s,
                                           u"scaricometro-L3-secondo-cono-divergente-pezzo-3-di-3.dxf 1"_s}));
    // A stroke this short gives the belly a negative length: it has no blank.
    const std::vector<FileToSave> shortStroke = filesFor(developed({203, 510, 12000, 20, 29}, 1), 1);
    QCOMPARE(shortStroke.size(), std::size_t{5});
    QCOMPARE(shortStroke.at(3).name, u"scaricometro-L5-cono-convergente.dxf"_s);
}

// Many random chambers, thicknesses and piece counts, every file read by ezdxf and measured
// against the chamber's own figures within a thousandth of a millimetre.
void CuttingFilesTest::readByEzdxf()
{
    const QTemporaryDir root;
    QRandomGenerator random(20261209);
    QStringList folders;
    for (int run = 0; run < 200; ++run) {
        const double stroke = 5 + random.bounded(85.0);
        const double header = 5 + random.bounded(120.0);
        const double thickness = run % 10 == 0 ? 0 : random.bounded(4.0);
        const int pieces = 1 + run % 2;
        const ChamberDevelopment development = developed({203, 510, 12000, stroke, header}, thickness);
        const std::vector<ChamberPart> parts = partsFor(development, pieces);
        const std::vector<FileToSave> files = cuttingFiles(parts);
        QStringList expected;
        for (std::size_t i = 0; i < files.size(); ++i)
            expected.append(expectedLine(files[i], parts[i].section, development, pieces));
        const std::optional<QString> folder = savedForChecker(root, run, files, expected);
        QVERIFY(folder);
        folders.append(*folder);
    }
    int exitCode = 0;
    const QString faults = run(kDebianPython, QStringList{u"" SCARICOMETRO_DXF_CHECKER ""_s} + folders, &exitCode);
    QVERIFY2(exitCode == 0, qPrintable(faults.left(4000)));
}

// Random chambers with every section bent by up to 90° either way in 2 to 12 pieces, where the
// section takes it: each piece read by ezdxf, its cuts within 0.01 mm of the exact curves through
// as few vertices as that needs, its ends and seams exact.
void CuttingFilesTest::bentPiecesReadByEzdxf()
{
    const QTemporaryDir root;
    QRandomGenerator random(3112);
    QStringList folders;
    int pieces = 0;
    for (int run = 0; run < 40; ++run) {
        const double thickness = random.bounded(3.0);
        const ChamberDimensions dimensions = std::get<ChamberDimensions>(
            computeChamber({203, 510, 12000, 20 + random.bounded(70.0), 15 + random.bounded(100.0)}));
        const auto development = std::get<ChamberDevelopment>(developChamber(dimensions, thickness));
        ChamberBends bends;
        for (std::size_t i = 0; i < bends.size(); ++i) {
            const SectionBend bend{(1 + random.bounded(89.0)) * (random.bounded(2) ? 1 : -1),
                                   kFewestBendPieces + static_cast<int>(random.bounded(kMostBendPieces - kFewestBendPieces + 1))};
            if (PieCuts::cut(development.sections[i], bend))
                bends[i] = bend;
        }
        const auto parts = std::get<std::vector<ChamberPart>>(chamberParts(development, 1, bends));
        const std::vector<FileToSave> files = cuttingFiles(parts);
        QStringList expected;
        for (std::size_t i = 0; i < files.size(); ++i) {
            const std::size_t section = chamberIndex(*parts[i].section);
            if (parts[i].piece == 0) {
                expected.append(expectedLine(files[i], parts[i].section, development, 1));
                continue;
            }
            expected.append(expectedPieceLine(files[i].name, dimensions, thickness, section, bends[section], parts[i].piece));
            ++pieces;
        }
        const std::optional<QString> folder = savedForChecker(root, run, files, expected);
        QVERIFY(folder);
        folders.append(*folder);
    }
    QVERIFY2(pieces > 500, qPrintable(QString::number(pieces)));
    int exitCode = 0;
    const QString faults = run(kDebianPython, QStringList{u"" SCARICOMETRO_DXF_CHECKER ""_s} + folders, &exitCode);
    QVERIFY2(exitCode == 0, qPrintable(faults.left(4000)));
}

// LibreCAD draws each part at 1:1 on an A4 page, which poppler renders at 300 dpi: a cone's
// outer chord and a blank's developed width, or a piece's of a bent pipe, measure the figure
// within 0.3 mm. The default chamber's first cone, a piece of its header pipe bent by 60° in 6
// and its tailpipe fit the page.
void CuttingFilesTest::drawnAtFullSizeByLibreCad()
{
    const ChamberDevelopment development = defaultChamber();
    ChamberBends bends;
    bends[0] = {60, 6};
    const std::vector<FileToSave> files = filesFor(development, 1, bends);
    const QTemporaryDir folder;
    QVERIFY(!saveAllOrNone(folder.path(), files));
    const std::map<QString, double> widths{
        {u"scaricometro-L1-collettore-pezzo-2-di-6-da-girare"_s, development.cylinders[0].developedWidth},
        {u"scaricometro-L2-primo-cono-divergente"_s, development.cones[0].outerChord},
        {u"scaricometro-L6-codino"_s, development.cylinders[2].developedWidth},
    };
    QStringList arguments{u"dxf2pdf"_s, u"-c"_s, u"-s"_s, u"1"_s, u"-t"_s, folder.path()};
    for (const auto& [stem, width] : widths)
        arguments.append(folder.filePath(stem + u".dxf"_s));
    QProcess librecad;
    librecad.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    librecad.setProcessEnvironment(environment);
    librecad.start(u"librecad"_s, arguments);
    QVERIFY2(librecad.waitForFinished(180000), "LibreCAD did not finish");

    for (const auto& [stem, width] : widths) {
        const QString pdf = folder.filePath(stem + u".pdf"_s);
        QVERIFY2(QFileInfo::exists(pdf), qPrintable(QString::fromUtf8(librecad.readAll())));
        run(u"pdftoppm"_s, {u"-r"_s, u"300"_s, u"-png"_s, u"-singlefile"_s, pdf, folder.filePath(stem)});
        const QImage page(folder.filePath(stem + u".png"_s));
        QVERIFY(!page.isNull());
        const double drawn = drawnWidth(page.convertToFormat(QImage::Format_RGB32));
        QVERIFY2(std::abs(drawn - width) <= 0.3, qPrintable(u"%1 is drawn %2 mm wide, not %3 mm"_s.arg(stem).arg(drawn).arg(width)));
    }
}

void CuttingFilesTest::savesAllOrNone_data()
{
    QTest::addColumn<QStringList>("before");      // files in the folder beforehand, "name/" a folder
    QTest::addColumn<bool>("folderRemoved");
    QTest::addColumn<std::vector<FileToSave>>("files");
    QTest::addColumn<QString>("fault");          // the file named, or none where all are saved
    QTest::addColumn<QString>("reason");

    const std::vector<FileToSave> chamber = filesFor(defaultChamber(), 1);
    const QString third = chamber.at(2).name;
    QTest::newRow("into an empty folder") << QStringList{} << false << chamber << QString() << QString();
    QTest::newRow("replacing two, keeping another")
        << QStringList{chamber.at(0).name, third, u"note.txt"_s} << false << chamber << QString() << QString();
    QTest::newRow("the folder gone") << QStringList{} << true << chamber << chamber.at(0).name
                                     << u"la cartella non c'è più"_s;
    QTest::newRow("a folder where a file goes")
        << QStringList{chamber.at(0).name, third + u'/'} << false << chamber << third
        << u"al suo posto c'è una cartella con lo stesso nome"_s;
    // A file that cannot be made after others are written: those go too.
    std::vector<FileToSave> unmakeable = chamber;
    unmakeable.at(3).name = u"no-such-folder/"_s + unmakeable.at(3).name;
    QTest::newRow("a file that cannot be made")
        << QStringList{chamber.at(0).name} << false << unmakeable << unmakeable.at(3).name
        << u"il file non si può creare"_s;
}

void CuttingFilesTest::savesAllOrNone()
{
    QFETCH(QStringList, before);
    QFETCH(bool, folderRemoved);
    QFETCH(std::vector<FileToSave>, files);
    QFETCH(QString, fault);
    QFETCH(QString, reason);

    const QTemporaryDir root;
    const QString folder = root.filePath(u"Niccolò"_s);
    QVERIFY(QDir().mkpath(folder));
    for (const QString& name : before) {
        if (name.endsWith(u'/')) {
            QVERIFY(QDir(folder).mkdir(name));
            continue;
        }
        QFile file(QDir(folder).filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("old") == 3);
    }
    if (folderRemoved)
        QVERIFY(QDir(folder).removeRecursively());
    const std::map<QString, QByteArray> untouched = contentsOf(folder);

    const std::optional<SaveFailure> failure = saveAllOrNone(folder, files);
    if (!fault.isEmpty()) {
        QVERIFY(failure);
        QCOMPARE(failure->path, QDir(folder).filePath(fault));
        QVERIFY2(failure->reason.startsWith(reason), qPrintable(failure->reason));
        QCOMPARE(contentsOf(folder), untouched);
        return;
    }
    QVERIFY2(!failure, qPrintable(failure ? failure->reason : QString()));
    std::map<QString, QByteArray> expected = untouched;
    for (const FileToSave& file : files)
        expected[file.name] = file.contents;
    QCOMPARE(contentsOf(folder), expected);
}

void CuttingFilesTest::placingFailsAfterOthersAreIn_data()
{
    QTest::addColumn<bool>("model");  // the 3D model's two files, or the cutting files
    QTest::addColumn<QList<int>>("before");  // the files already there, by their place in the set
    QTest::addColumn<int>("turnsIntoAFolder");  // the file whose name a folder takes meanwhile

    QTest::newRow("the first, into an empty folder") << false << QList<int>{} << 0;
    QTest::newRow("the fourth, three in place, two of them replacing") << false << QList<int>{0, 2} << 3;
    QTest::newRow("the last, replacing them all") << false << QList<int>{0, 1, 2, 3, 4, 5} << 5;
    QTest::newRow("the model's centre line, the model in place") << true << QList<int>{} << 1;
    QTest::newRow("the model, replacing both") << true << QList<int>{0, 1} << 0;
}

// Between the check and the placing, a file's name turns into a folder on the real file system:
// the files already put in place go, the ones they replaced come back, the folder made meanwhile
// stays as it was made, and nothing is left of the save.
void CuttingFilesTest::placingFailsAfterOthersAreIn()
{
    QFETCH(bool, model);
    QFETCH(QList<int>, before);
    QFETCH(int, turnsIntoAFolder);

    const QTemporaryDir root;
    const QString folder = root.filePath(u"Niccolò"_s);
    QVERIFY(QDir().mkpath(folder));
    const ChamberRoute route = ChamberRoute::trace(defaultChamber(), {});
    const std::vector<FileToSave> files = model ? modelFiles(route, ChamberMesh::faceted(route)) : filesFor(defaultChamber(), 1);
    for (const int index : before) {
        QFile file(QDir(folder).filePath(files.at(std::size_t(index)).name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("old " + QByteArray::number(index)) > 0);
    }
    std::map<QString, QByteArray> expected = contentsOf(folder);
    const QString taken = QDir(folder).filePath(files.at(std::size_t(turnsIntoAFolder)).name);
    int placingsBefore = 0;
    const std::optional<SaveFailure> failure = saveAllOrNone(folder, files, [&](const QString& target) {
        if (target == taken) {
            QFile::remove(target);
            QVERIFY(QDir().mkdir(target));
        } else {
            ++placingsBefore;
        }
    });
    QCOMPARE(placingsBefore, turnsIntoAFolder);
    QVERIFY(failure);
    QCOMPARE(failure->path, taken);
    QVERIFY2(failure->reason.startsWith(u"al suo posto c'è una cartella"_s), qPrintable(failure->reason));
    expected[files.at(std::size_t(turnsIntoAFolder)).name] = "(not a file)";
    QCOMPARE(contentsOf(folder), expected);
}

void CuttingFilesTest::readableAsTheUsersOtherFiles_data()
{
    QTest::addColumn<int>("umask");
    QTest::addColumn<int>("replacedMode");  // of the first file, already there; 0 for none
    QTest::addColumn<int>("newMode");

    QTest::newRow("new files, umask 022") << 0022 << 0 << 0644;
    QTest::newRow("new files, umask 002") << 0002 << 0 << 0664;
    QTest::newRow("new files, umask 077") << 0077 << 0 << 0600;
    QTest::newRow("a private file replaced, umask 022") << 0022 << 0600 << 0644;
    QTest::newRow("a shared file replaced, umask 077") << 0077 << 0664 << 0600;
}

// Files made in place as any new file of the user's is (the umask's), replaced ones as they were:
// a shop's PC reading the folder over the network opens them as it opens the PDF beside them.
void CuttingFilesTest::readableAsTheUsersOtherFiles()
{
#ifdef Q_OS_UNIX
    QFETCH(int, umask);
    QFETCH(int, replacedMode);
    QFETCH(int, newMode);
    const auto modeOf = [](const QString& path) {
        struct stat status {};
        return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 0777) : -1;
    };

    const QTemporaryDir folder;
    const std::vector<FileToSave> files = filesFor(defaultChamber(), 1);
    const QString replaced = folder.filePath(files.front().name);
    if (replacedMode != 0) {
        QFile old(replaced);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        QVERIFY(::chmod(QFile::encodeName(replaced).constData(), mode_t(replacedMode)) == 0);
    }
    const mode_t before = ::umask(mode_t(umask));
    const std::optional<SaveFailure> failure = saveAllOrNone(folder.path(), files);
    ::umask(before);
    QVERIFY2(!failure, qPrintable(failure ? failure->reason : QString()));
    for (const FileToSave& file : files) {
        const bool wasThere = replacedMode != 0 && file.name == files.front().name;
        QCOMPARE(modeOf(folder.filePath(file.name)), wasThere ? replacedMode : newMode);
    }
#else
    QSKIP("Permissions of this kind are POSIX's");
#endif
}

QTEST_GUILESS_MAIN(CuttingFilesTest)
#include "tst_cuttingfiles.moc"
