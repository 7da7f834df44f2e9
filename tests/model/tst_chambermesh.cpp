// The chamber's model against the exact chamber: every point of it on its piece's wall and on its
// joint's plane, each piece placed by this test's own composition of the half turns; every edge
// along a wall or a cut within the tolerance of the exact surface; each shell closed and turned
// outwards; the sheet's volume that of the straight chamber, as pie cuts only move pieces; the
// box the table gives.
#include "TestChambers.h"
#include "model/ChamberMesh.h"

#include <QTest>

#include <cmath>
#include <map>
#include <numbers>

using namespace scaricometro;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kOnSurfaceMm = 1e-6;
constexpr double kBoxMm = 0.05;
// Points of the exact curve between two neighbours of a rim, and of each wall triangle, measured.
constexpr int kChordSamples = 8;
constexpr int kRandomChambers = 40;

// Where each rim of a shell lies: on the piece's joint at its engine end (0) or at its outlet end
// (1), on the outer wall (+1) or the inner (−1).
struct RimPlace {
    MeshShell::Rim rim;
    int joint;
    double wall;
};
constexpr RimPlace kRimPlaces[] = {{MeshShell::OuterAtEngineEnd, 0, 1}, {MeshShell::OuterAtOutletEnd, 1, 1},
                                   {MeshShell::InnerAtEngineEnd, 0, -1}, {MeshShell::InnerAtOutletEnd, 1, -1}};

// Piece p of a section as this test places it: the section's own axes where its start frame and
// its seam put them (x away from the seam), then each joint's half turn before the piece.
Placement placedPiece(const RouteSection& section, int piece)
{
    const Vector3 x = section.start.towards(section.startSeamDegrees + 180);
    Placement placed = Placement::ofAxes(x, cross(section.start.along, x), section.start.along, section.start.point);
    for (int joint = 1; joint < piece; ++joint)
        placed = placed.after(section.cuts->halfTurn(joint));
    return placed;
}

// A point of the frame back in the section's own axes.
Vector3 unplaced(const Placement& placed, Vector3 point)
{
    const Vector3 d = point - placed.shift;
    return d.x * placed.rows[0] + d.y * placed.rows[1] + d.z * placed.rows[2];
}

// How far a point, in the section's own axes, is from the wall `offset` out from the mean
// surface, measured radially.
double offWall(const PieCuts& cuts, Vector3 point, double offset)
{
    const Frustum& section = cuts.section();
    const double slope = (section.outletRadius - section.engineRadius) / section.length;
    return std::hypot(point.x, point.y) - (section.engineRadius + offset + slope * point.z);
}

double offJoint(const PieCuts& cuts, Vector3 point, int joint)
{
    const double lean = std::tan(cuts.jointTilt(joint));
    return (point.z + lean * point.x - cuts.jointCentre(joint)) / std::hypot(1.0, lean);
}

// A shell's rim back in its section's own axes, with the joint and the wall it lies on.
struct RimInAxes {
    const MeshShell* shell = nullptr;
    const PieCuts* cuts = nullptr;
    MeshShell::Rim rim{};
    int joint = 0;
    double offset = 0;
    std::vector<Vector3> points;
};

std::vector<RimInAxes> rimsInAxes(const ChamberRoute& route, const ChamberMesh& mesh)
{
    std::vector<RimInAxes> rims;
    for (const MeshShell& shell : mesh.shells()) {
        const RouteSection& section = route.sections()[shell.section];
        const Placement placed = placedPiece(section, shell.piece);
        for (const auto& [rim, end, wall] : kRimPlaces) {
            RimInAxes inAxes{&shell, &*section.cuts, rim, shell.piece - 1 + end, wall * route.thickness() / 2, {}};
            for (int point = 0; point < shell.segments; ++point)
                inAxes.points.push_back(
                    unplaced(placed, mesh.vertices()[shell.firstVertex + rim * std::size_t(shell.segments) + std::size_t(point)]));
            rims.push_back(std::move(inAxes));
        }
    }
    return rims;
}

double distanceToSegment(Vector3 point, Vector3 a, Vector3 b)
{
    const Vector3 along = b - a;
    const double t = std::clamp(dot(point - a, along) / dot(along, along), 0.0, 1.0);
    return norm(point - (a + t * along));
}

// The sheet of a straight section: the frustum between the outer and the inner wall.
double sheetVolume(const Frustum& section, double thickness)
{
    const auto frustum = [&](double offset) {
        const double a = section.engineRadius + offset;
        const double b = section.outletRadius + offset;
        return kPi * section.length * (a * a + a * b + b * b) / 3;
    };
    return frustum(thickness / 2) - frustum(-thickness / 2);
}

std::size_t endOf(const ChamberMesh& mesh, std::size_t shell, bool vertices)
{
    if (shell + 1 < mesh.shells().size())
        return vertices ? mesh.shells()[shell + 1].firstVertex : mesh.shells()[shell + 1].firstTriangle;
    return vertices ? mesh.vertices().size() : mesh.triangles().size();
}

}  // namespace

Q_DECLARE_METATYPE(Chamber)

class ChamberMeshTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void chambers_data();
    void everyPointOnItsWallAndItsJoint_data() { chambers_data(); }
    void everyPointOnItsWallAndItsJoint();
    void edgesWithinTheTolerance_data() { chambers_data(); }
    void edgesWithinTheTolerance();
    void shellsClosedAndTurnedOutwards_data() { chambers_data(); }
    void shellsClosedAndTurnedOutwards();
    void sheetAsTheStraightChambers_data() { chambers_data(); }
    void sheetAsTheStraightChambers();
    void boxAsTheTables_data() { chambers_data(); }
    void boxAsTheTables();
    void noSheetNoShells();
};

void ChamberMeshTest::chambers_data()
{
    QTest::addColumn<Chamber>("chamber");

    QTest::newRow("default, straight") << chamberOf(kDefaultInputs, 1);
    QTest::newRow("default, L3 bent 30° in 4") << chamberOf(kDefaultInputs, 1, {{2, {30, 4, 0}}});
    QTest::newRow("every section bent in 12, five planes")
        << chamberOf(kDefaultInputs, 1.5, {{0, {20, 12, 30}}, {1, {40, 12, 90}}, {2, {-30, 12, 200}},
                                           {4, {60, 12, 300}}, {5, {90, 12, 0}}});
    QTest::newRow("a bend of 120° in 2 pieces, thin sheet") << chamberOf(kDefaultInputs, 0.3, {{2, {120, 2, 45}}});
    QTest::newRow("short stroke, no belly, thick sheet")
        << chamberOf({203, 510, 12000, 20, 29}, 3, {{1, {-60, 6, 270}}, {4, {45, 5, 180}}});
    QRandomGenerator random(20261211);
    for (int run = 0; run < kRandomChambers; ++run) {
        Chamber chamber = randomChamber(random);
        // A sheet at least a tenth of a millimetre thick: a model needs some.
        chamber.development = std::get<ChamberDevelopment>(
            developChamber(std::get<ChamberDimensions>(computeChamber({203, 510, 12000, 20 + run * 1.7, 15 + run * 2.5})),
                           0.1 + random.bounded(3.0)));
        QTest::addRow("random chamber %d", run) << chamber;
    }
}

void ChamberMeshTest::everyPointOnItsWallAndItsJoint()
{
    QFETCH(Chamber, chamber);
    const ChamberRoute route = ChamberRoute::trace(chamber.development, chamber.bends);
    const ChamberMesh mesh = ChamberMesh::faceted(route);
    for (std::size_t s = 0; s < mesh.shells().size(); ++s)
        QCOMPARE(endOf(mesh, s, true) - mesh.shells()[s].firstVertex, MeshShell::kRims * std::size_t(mesh.shells()[s].segments));
    for (const RimInAxes& rim : rimsInAxes(route, mesh)) {
        for (std::size_t point = 0; point < rim.points.size(); ++point) {
            const Vector3 at = rim.points[point];
            const QString where = QStringLiteral("L%1 piece %2 rim %3 point %4:")
                                      .arg(rim.shell->section + 1).arg(rim.shell->piece).arg(rim.rim).arg(point);
            QVERIFY2(std::abs(offWall(*rim.cuts, at, rim.offset)) < kOnSurfaceMm,
                     qPrintable(QStringLiteral("%1 %2 mm off its wall").arg(where).arg(offWall(*rim.cuts, at, rim.offset))));
            QVERIFY2(std::abs(offJoint(*rim.cuts, at, rim.joint)) < kOnSurfaceMm,
                     qPrintable(QStringLiteral("%1 %2 mm off its joint").arg(where).arg(offJoint(*rim.cuts, at, rim.joint))));
        }
    }
    int pieces = 0;
    for (const RouteSection& section : route.sections())
        pieces += section.pieces();
    QCOMPARE(mesh.shells().size(), std::size_t(pieces));
}

// Each edge of a rim against the exact rim between its ends; each wall triangle's inside against
// the wall.
void ChamberMeshTest::edgesWithinTheTolerance()
{
    QFETCH(Chamber, chamber);
    const ChamberRoute route = ChamberRoute::trace(chamber.development, chamber.bends);
    const ChamberMesh mesh = ChamberMesh::faceted(route);
    const double half = route.thickness() / 2;
    double worst = 0;
    for (const RimInAxes& rim : rimsInAxes(route, mesh)) {
        for (std::size_t point = 0; point < rim.points.size(); ++point) {
            const Vector3 a = rim.points[point];
            const Vector3 b = rim.points[(point + 1) % rim.points.size()];
            const double from = std::atan2(a.y, a.x);
            double to = std::atan2(b.y, b.x);
            if (to <= from)
                to += 2 * kPi;
            QVERIFY(to - from < kPi / 2);
            for (int sample = 1; sample < kChordSamples; ++sample) {
                const Vector3 exact = rim.cuts->wallPoint(rim.joint, from + (to - from) * sample / kChordSamples, rim.offset);
                worst = std::max(worst, distanceToSegment(exact, a, b));
            }
        }
    }
    for (const MeshShell& shell : mesh.shells()) {
        const RouteSection& section = route.sections()[shell.section];
        const PieCuts& cuts = *section.cuts;
        const Placement placed = placedPiece(section, shell.piece);
        const auto local = [&](std::uint32_t vertex) { return unplaced(placed, mesh.vertices()[vertex]); };
        for (const auto& [face, wall] : {std::pair{MeshShell::OuterWall, 1.0}, std::pair{MeshShell::InnerWall, -1.0}}) {
            const double offset = wall * half;
            for (int t = 0; t < 2 * shell.segments; ++t) {
                const auto& triangle = mesh.triangles()[shell.firstTriangle + face * std::size_t(2 * shell.segments) + std::size_t(t)];
                const Vector3 corners[] = {local(triangle[0]), local(triangle[1]), local(triangle[2])};
                for (int i = 0; i <= kChordSamples; ++i) {
                    for (int j = 0; i + j <= kChordSamples; ++j) {
                        const double u = double(i) / kChordSamples;
                        const double v = double(j) / kChordSamples;
                        const Vector3 inside = corners[0] + u * (corners[1] - corners[0]) + v * (corners[2] - corners[0]);
                        worst = std::max(worst, std::abs(offWall(cuts, inside, offset)));
                    }
                }
            }
        }
    }
    QVERIFY2(worst <= ChamberMesh::kModelToleranceMm, qPrintable(QString::number(worst)));
}

// Every edge of a shell run once each way by its triangles, no triangle without area, and each
// shell's volume positive: its triangles all face out of its sheet.
void ChamberMeshTest::shellsClosedAndTurnedOutwards()
{
    QFETCH(Chamber, chamber);
    const ChamberRoute route = ChamberRoute::trace(chamber.development, chamber.bends);
    const ChamberMesh mesh = ChamberMesh::faceted(route);
    for (std::size_t s = 0; s < mesh.shells().size(); ++s) {
        const MeshShell& shell = mesh.shells()[s];
        const std::size_t end = endOf(mesh, s, false);
        QCOMPARE(end - shell.firstTriangle, 2 * MeshShell::kFaces * std::size_t(shell.segments));
        std::map<std::pair<std::uint32_t, std::uint32_t>, int> runs;
        for (std::size_t i = shell.firstTriangle; i < end; ++i) {
            const auto& t = mesh.triangles()[i];
            for (std::size_t corner = 0; corner < 3; ++corner) {
                QVERIFY(t[corner] >= shell.firstVertex && t[corner] < endOf(mesh, s, true));
                ++runs[{t[corner], t[(corner + 1) % 3]}];
            }
            const Vector3 a = mesh.vertices()[t[0]];
            QVERIFY(norm(cross(mesh.vertices()[t[1]] - a, mesh.vertices()[t[2]] - a)) > 1e-3);
        }
        for (const auto& [edge, count] : runs) {
            QCOMPARE(count, 1);
            QVERIFY2(runs.count({edge.second, edge.first}) == 1, "an edge run one way only");
        }
        QVERIFY(signedVolume(mesh, shell.firstTriangle, end) > 0);
    }
}

// A polygon of n points round a circle has n / 2π · sin(2π / n) of its area: the faceted sheet
// falls short of the exact one by about that much, each section by its own n.
void ChamberMeshTest::sheetAsTheStraightChambers()
{
    QFETCH(Chamber, chamber);
    const ChamberRoute route = ChamberRoute::trace(chamber.development, chamber.bends);
    const ChamberMesh mesh = ChamberMesh::faceted(route);
    double exact = 0;
    double faceted = 0;
    for (std::size_t i = 0; i < route.sections().size(); ++i) {
        const Frustum& frustum = chamber.development.sections[i];
        if (frustum.length <= 0)
            continue;
        const auto shell = std::ranges::find(mesh.shells(), i, &MeshShell::section);
        QVERIFY(shell != mesh.shells().end());
        const double n = shell->segments;
        const double volume = sheetVolume(frustum, route.thickness());
        exact += volume;
        faceted += volume * n / (2 * kPi) * std::sin(2 * kPi / n);
    }
    const double volume = signedVolume(mesh);
    QVERIFY2(volume < exact, qPrintable(QStringLiteral("%1 > %2").arg(volume).arg(exact)));
    QVERIFY2(std::abs(volume - faceted) < 0.01 * (exact - faceted),
             qPrintable(QStringLiteral("%1 against %2, exact %3").arg(volume, 0, 'f', 6).arg(faceted, 0, 'f', 6).arg(exact, 0, 'f', 6)));
}

void ChamberMeshTest::boxAsTheTables()
{
    QFETCH(Chamber, chamber);
    const ChamberRoute route = ChamberRoute::trace(chamber.development, chamber.bends);
    const ChamberMesh mesh = ChamberMesh::faceted(route);
    const Box table = route.bounds();
    Box box{mesh.vertices().front(), mesh.vertices().front()};
    for (const Vector3& v : mesh.vertices()) {
        box.low = {std::min(box.low.x, v.x), std::min(box.low.y, v.y), std::min(box.low.z, v.z)};
        box.high = {std::max(box.high.x, v.x), std::max(box.high.y, v.y), std::max(box.high.z, v.z)};
    }
    for (const auto axis : {&Vector3::x, &Vector3::y, &Vector3::z}) {
        QVERIFY2(std::abs(box.low.*axis - table.low.*axis) < kBoxMm,
                 qPrintable(QStringLiteral("%1 against %2").arg(box.low.*axis).arg(table.low.*axis)));
        QVERIFY2(std::abs(box.high.*axis - table.high.*axis) < kBoxMm,
                 qPrintable(QStringLiteral("%1 against %2").arg(box.high.*axis).arg(table.high.*axis)));
    }
}

void ChamberMeshTest::noSheetNoShells()
{
    const Chamber chamber = chamberOf(kDefaultInputs, 0, {{2, {30, 4, 0}}});
    const ChamberMesh mesh = ChamberMesh::faceted(ChamberRoute::trace(chamber.development, chamber.bends));
    QVERIFY(mesh.shells().empty() && mesh.triangles().empty());
}

QTEST_GUILESS_MAIN(ChamberMeshTest)
#include "tst_chambermesh.moc"
