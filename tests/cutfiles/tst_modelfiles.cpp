// The chamber's 3D model and centre line as the programs that take them read them: the STL by
// Debian's admesh, which must find nothing to mend in it, and the centre line by ezdxf, through
// the ends of every piece's axis.
#include "../model/TestChambers.h"
#include "Programs.h"
#include "cutfiles/ModelFiles.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <map>

using namespace scaricometro;
using namespace Qt::StringLiterals;

namespace {

// The model's two files saved into `folder`.
bool saved(const QString& folder, const ChamberRoute& route, const ChamberMesh& mesh)
{
    return !saveAllOrNone(folder, modelFiles(route, mesh));
}

// admesh's figure after `label`, from its report: "Edges fixed : 0", two to a line at times.
std::optional<double> reported(const QString& report, const QString& label, int column = 1)
{
    const QRegularExpression line(u"(?:^|\\s)%1\\s*:\\s*(\\S+)(?:[ \\t]+(\\d\\S*))?"_s.arg(QRegularExpression::escape(label)),
                                  QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = line.match(report);
    bool ok = false;
    const double value = match.captured(column).toDouble(&ok);
    return match.hasMatch() && ok ? std::optional(value) : std::nullopt;
}

}  // namespace

Q_DECLARE_METATYPE(Chamber)

class ModelFilesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void chambers_data();
    void modelReadByAdmesh_data() { chambers_data(); }
    void modelReadByAdmesh();
    void centreLineReadByEzdxf_data() { chambers_data(); }
    void centreLineReadByEzdxf();
};

void ModelFilesTest::chambers_data()
{
    QTest::addColumn<Chamber>("chamber");

    QTest::newRow("default, straight") << chamberOf(kDefaultInputs, 1);
    QTest::newRow("default, L3 bent 30° in 4, towards the viewer") << chamberOf(kDefaultInputs, 1, {{2, {30, 4, 90}}});
    QTest::newRow("every section bent in 12, five planes")
        << chamberOf(kDefaultInputs, 1.5, {{0, {20, 12, 30}}, {1, {40, 12, 90}}, {2, {-30, 12, 200}},
                                           {4, {60, 12, 300}}, {5, {90, 12, 0}}});
    QTest::newRow("short stroke, no belly, thin sheet")
        << chamberOf({203, 510, 12000, 20, 29}, 0.2, {{1, {-60, 6, 270}}, {4, {45, 5, 180}}});
}

// Nothing to mend: no edge to join, no facet to add, remove or turn, no normal to fix; as many
// facets and parts as the mesh's triangles and shells, its volume and its box.
void ModelFilesTest::modelReadByAdmesh()
{
    QFETCH(Chamber, chamber);
    const ChamberRoute route = ChamberRoute::trace(chamber.development, chamber.bends);
    const ChamberMesh mesh = ChamberMesh::faceted(route);
    const QTemporaryDir folder;
    QVERIFY(saved(folder.path(), route, mesh));
    int exitCode = 0;
    const QString report = run(u"admesh"_s, {folder.filePath(kModelFileName.toString())}, &exitCode);
    QVERIFY2(exitCode == 0, qPrintable(report));

    const auto facets = static_cast<double>(mesh.triangles().size());
    QCOMPARE(reported(report, u"Number of facets"_s, 1), facets);
    QCOMPARE(reported(report, u"Number of facets"_s, 2), facets);
    QCOMPARE(reported(report, u"Number of parts"_s), static_cast<double>(mesh.shells().size()));
    for (const QString& label : {u"Total disconnected facets"_s, u"Degenerate facets"_s, u"Edges fixed"_s,
                                 u"Facets removed"_s, u"Facets added"_s, u"Facets reversed"_s,
                                 u"Backwards edges"_s, u"Normals fixed"_s}) {
        QVERIFY2(reported(report, label) == 0.0, qPrintable(label + u"\n"_s + report));
    }
    const std::optional<double> volume = reported(report, u"Volume"_s, 1);
    // admesh adds up in single precision.
    QVERIFY2(volume && std::abs(*volume / signedVolume(mesh) - 1) < 1e-4, qPrintable(u"%1 against %2"_s.arg(volume.value_or(0)).arg(signedVolume(mesh))));
    const Box box = route.bounds();
    const std::pair<QString, double> extremes[] = {{u"Min X"_s, box.low.x},  {u"Max X"_s, box.high.x},
                                                   {u"Min Y"_s, box.low.y},  {u"Max Y"_s, box.high.y},
                                                   {u"Min Z"_s, box.low.z},  {u"Max Z"_s, box.high.z}};
    for (const auto& [label, expected] : extremes) {
        const QRegularExpression line(u"%1 =\\s*(-?[0-9.]+)"_s.arg(label));
        const double found = line.match(report).captured(1).toDouble();
        QVERIFY2(std::abs(found - expected) < 0.05, qPrintable(u"%1 %2 against %3"_s.arg(label).arg(found).arg(expected)));
    }
}

// One 3D polyline in mm, from the origin to the table's outlet, through the ends of every piece's
// axis: as long as the sections' lengths and the joints' steps together.
void ModelFilesTest::centreLineReadByEzdxf()
{
    QFETCH(Chamber, chamber);
    const ChamberRoute route = ChamberRoute::trace(chamber.development, chamber.bends);
    const std::vector<Vector3> line = route.centreLine();
    QCOMPARE(norm(line.front()), 0.0);
    QVERIFY(norm(line.back() - route.outlet().point) < 1e-9);
    double length = 0;
    for (std::size_t i = 1; i < line.size(); ++i)
        length += norm(line[i] - line[i - 1]);
    double expected = 0;
    for (const RouteSection& section : route.sections()) {
        if (!section.cuts)
            continue;
        expected += section.cuts->section().length;
        for (int joint = 1; joint < section.pieces(); ++joint)
            expected += section.cuts->step(joint);
    }
    QVERIFY2(std::abs(length - expected) < 1e-9, qPrintable(u"%1 against %2"_s.arg(length).arg(expected)));

    const QTemporaryDir folder;
    QVERIFY(saved(folder.path(), route, ChamberMesh::withSegments(route, ChamberMesh::kFewestSegments)));
    QFile points(folder.filePath(u"expected.txt"_s));
    QVERIFY(points.open(QIODevice::WriteOnly));
    for (const Vector3& point : line)
        points.write(u"%1 %2 %3\n"_s.arg(point.x, 0, 'g', 17).arg(point.y, 0, 'g', 17).arg(point.z, 0, 'g', 17).toUtf8());
    points.close();
    int exitCode = 0;
    const QString faults = run(kDebianPython, {u"" SCARICOMETRO_CENTRE_LINE_CHECKER ""_s,
                                               folder.filePath(kCentreLineFileName.toString()), points.fileName()},
                               &exitCode);
    QVERIFY2(exitCode == 0, qPrintable(faults));
}

QTEST_GUILESS_MAIN(ModelFilesTest)
#include "tst_modelfiles.moc"
