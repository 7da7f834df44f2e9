// Bent sections in pieces: over many random chambers, bends and piece counts, the developed cuts
// rolled back onto the section lie on their planes, the half-turned pieces meet their neighbours
// rim on rim, and every joint bends the axis by the same angle; cuts that would cross are refused.
#include "model/ConeDevelopment.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <numbers>

using namespace scaricometro;

Q_DECLARE_METATYPE(Frustum)
Q_DECLARE_METATYPE(SectionBend)
Q_DECLARE_METATYPE(std::optional<PieCuts::Refusal>)

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kExactMm = 1e-9;

struct RandomBend {
    Frustum section;
    SectionBend bend;
};

// A section of a random chamber, bent by up to 90° either way in 2 to 12 pieces.
RandomBend randomBend(QRandomGenerator& random)
{
    const double stroke = 20 + random.bounded(70.0);  // a longer belly than the shortest strokes give
    const double header = 15 + random.bounded(100.0);
    const double thickness = random.bounded(3.0);
    const ChamberDimensions dimensions = std::get<ChamberDimensions>(computeChamber({203, 510, 12000, stroke, header}));
    const auto development = std::get<ChamberDevelopment>(developChamber(dimensions, thickness));
    const double degrees = (1 + random.bounded(89.0)) * (random.bounded(2) ? 1 : -1);
    return {development.sections[random.bounded(static_cast<quint32>(kChamberSections.size()))],
            {degrees, kFewestBendPieces + static_cast<int>(random.bounded(kMostBendPieces - kFewestBendPieces + 1))}};
}

struct BentSection {
    RandomBend drawn;
    PieCuts cuts;
};

// The random bends, from `seed`, that the sections take.
std::vector<BentSection> acceptedBends(quint32 seed, int runs)
{
    QRandomGenerator random(seed);
    std::vector<BentSection> accepted;
    for (int run = 0; run < runs; ++run) {
        const RandomBend drawn = randomBend(random);
        if (const std::optional<PieCuts> cuts = PieCuts::cut(drawn.section, drawn.bend))
            accepted.push_back({drawn, *cuts});
    }
    return accepted;
}

// The point of the section a point of its flat pattern rolls onto: about the sector's centre for
// a cone, whose sector is 2π · sin β round; across the blank, from the seam at φ = −π, for a
// cylinder. In the section's own axes, z along the axis from the engine end.
Vector3 rolledBack(const Frustum& section, Point flat)
{
    const double slope = (section.outletRadius - section.engineRadius) / section.length;
    double radius = section.engineRadius;
    double azimuth = flat.x / radius - kPi;
    double axial = section.length - flat.y;
    if (slope != 0) {
        const double sine = std::abs(slope) / std::hypot(1.0, slope);
        radius = std::hypot(flat.x, flat.y) * sine;
        azimuth = std::atan2(flat.x, -flat.y) / sine;
        axial = (radius - section.engineRadius) / slope;
    }
    return {radius * std::cos(azimuth), radius * std::sin(azimuth), axial};
}

// The plane of joint k, as the bend defines it: k · length / pieces along the axis, tilted about
// the y axis by +α, −α … from the engine end; the ends square.
double offPlane(const PieCuts& cuts, const SectionBend& bend, int joint, Vector3 point)
{
    const double alpha = std::abs(bend.degrees) * kPi / 180 / (2 * (cuts.pieces() - 1));
    const double tilt = joint == 0 || joint == cuts.pieces() ? 0 : (joint % 2 == 1 ? alpha : -alpha);
    const double centre = cuts.section().length * joint / cuts.pieces();
    return (point.z + std::tan(tilt) * point.x - centre) * std::cos(tilt);
}

Placement inverse(const Placement& placement)
{
    Placement back;
    const auto& r = placement.rows;
    back.rows = {Vector3{r[0].x, r[1].x, r[2].x}, Vector3{r[0].y, r[1].y, r[2].y}, Vector3{r[0].z, r[1].z, r[2].z}};
    const Vector3 moved = back.turn(placement.shift);
    back.shift = {-moved.x, -moved.y, -moved.z};
    return back;
}

double distance(Vector3 a, Vector3 b)
{
    return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z);
}

}  // namespace

class PieCutsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cutsRollBackOntoTheirPlanes();
    void turnedRimsMeetTheirNeighbours();
    void everyJointBendsByTwiceTheTilt();
    void refuses_data();
    void refuses();
    void refusesExactlyWhereCutsCross();
};

// Every corner and every vertex of every piece's outline, rolled back, lies on the plane of its
// lower or its upper joint, and the pieces share their cuts vertex for vertex.
void PieCutsTest::cutsRollBackOntoTheirPlanes()
{
    const std::vector<BentSection> bent = acceptedBends(20261209, 400);
    for (std::size_t run = 0; run < bent.size(); ++run) {
        const RandomBend& drawn = bent[run].drawn;
        const PieCuts* cuts = &bent[run].cuts;
        std::vector<Point> previousTop;
        for (int piece = 1; piece <= cuts->pieces(); ++piece) {
            const PartOutline outline = cuts->pieceOutline(piece);
            std::vector<Point> bottom;
            std::vector<Point> top;
            for (const OutlineEdge& edge : outline.edges) {
                const Vector3 point = rolledBack(drawn.section, edge.from);
                const double below = std::abs(offPlane(*cuts, drawn.bend, piece - 1, point));
                const double above = std::abs(offPlane(*cuts, drawn.bend, piece, point));
                QVERIFY2(std::min(below, above) <= kExactMm,
                         qPrintable(QStringLiteral("run %1, piece %2: a vertex lies %3 mm off both joints")
                                        .arg(run).arg(piece).arg(std::min(below, above))));
                (below <= kExactMm ? bottom : top).push_back(edge.from);
                if (edge.arc)
                    QVERIFY(std::abs(edge.arc->radius - std::hypot(edge.from.x, edge.from.y)) <= kExactMm);
            }
            // The upper cut of one piece is the lower cut of the next, point for point.
            for (const Point& shared : previousTop) {
                QVERIFY(std::any_of(bottom.begin(), bottom.end(), [&](Point p) {
                    return std::hypot(p.x - shared.x, p.y - shared.y) <= kExactMm;
                }));
            }
            previousTop = top;
        }
    }
    QVERIFY2(bent.size() > 100, qPrintable(QString::number(bent.size())));
}

// Piece p + 1 is placed by piece p's placement and a half turn about their joint: its lower rim,
// carried back into piece p's own place, lies on piece p's upper rim, on the section and on the
// joint's plane.
void PieCutsTest::turnedRimsMeetTheirNeighbours()
{
    const std::vector<BentSection> bent = acceptedBends(1909, 400);
    for (std::size_t run = 0; run < bent.size(); ++run) {
        const RandomBend& drawn = bent[run].drawn;
        const PieCuts* cuts = &bent[run].cuts;
        const double slope = (drawn.section.outletRadius - drawn.section.engineRadius) / drawn.section.length;
        for (int joint = 1; joint < cuts->pieces(); ++joint) {
            const Placement relative = inverse(cuts->placement(joint)).after(cuts->placement(joint + 1));
            for (int step = 0; step < 24; ++step) {
                const double azimuth = -kPi + step * kPi / 12;
                const Vector3 rim = cuts->surfacePoint(cuts->jointAt(joint, azimuth), azimuth);
                QVERIFY(std::abs(offPlane(*cuts, drawn.bend, joint, rim)) <= kExactMm);
                const Vector3 met = relative.apply(rim);
                const double offSurface = std::hypot(met.x, met.y) - (drawn.section.engineRadius + slope * met.z);
                QVERIFY2(std::abs(offSurface) <= kExactMm && std::abs(offPlane(*cuts, drawn.bend, joint, met)) <= kExactMm,
                         qPrintable(QStringLiteral("run %1, joint %2: the turned rim is %3 mm off the section")
                                        .arg(run).arg(joint).arg(offSurface)));
            }
        }
    }
}

// The axes of neighbouring pieces meet at 2α, all in the bend's plane and the same way, so the
// whole section turns by the bend; the centre line steps by the distance the model says, and a
// cylinder's not at all.
void PieCutsTest::everyJointBendsByTwiceTheTilt()
{
    const std::vector<BentSection> bent = acceptedBends(42, 400);
    for (std::size_t run = 0; run < bent.size(); ++run) {
        const RandomBend& drawn = bent[run].drawn;
        const PieCuts* cuts = &bent[run].cuts;
        const double alpha = std::abs(drawn.bend.degrees) * kPi / 180 / (2 * (cuts->pieces() - 1));
        const Vector3 first = cuts->placement(1).turn({0, 0, 1});
        for (int joint = 1; joint < cuts->pieces(); ++joint) {
            const Vector3 before = cuts->placement(joint).turn({0, 0, 1});
            const Vector3 after = cuts->placement(joint + 1).turn({0, 0, 1});
            QVERIFY(std::abs(angleBetween(before, after) - 2 * alpha) <= 1e-12);
            // Turning about the y axis, towards the inside of the bend.
            QVERIFY(std::abs(after.y) <= 1e-12 && after.z * before.x - after.x * before.z < 0);
            const Vector3 end = cuts->placement(joint).apply({0, 0, cuts->jointCentre(joint)});
            const Vector3 start = cuts->placement(joint + 1).apply({0, 0, cuts->jointCentre(joint)});
            QVERIFY(std::abs(distance(end, start) - cuts->step(joint)) <= kExactMm);
            if (drawn.section.isCylinder())
                QVERIFY(cuts->step(joint) <= kExactMm);
        }
        const Vector3 last = cuts->placement(cuts->pieces()).turn({0, 0, 1});
        QVERIFY(std::abs(angleBetween(first, last) - std::abs(drawn.bend.degrees) * kPi / 180) <= 1e-12);
    }
}

void PieCutsTest::refuses_data()
{
    QTest::addColumn<Frustum>("section");
    QTest::addColumn<SectionBend>("bend");
    QTest::addColumn<std::optional<PieCuts::Refusal>>("refusal");

    const Frustum belly{19.55, 54.75, 54.75};
    const Frustum header{55, 15, 15};
    const Frustum cone{167.6, 23.7, 54.75};
    QTest::newRow("a short belly in 12 pieces") << belly << SectionBend{-20, 12} << std::optional(PieCuts::Refusal::CutsCross);
    QTest::newRow("a short belly in 4 pieces") << belly << SectionBend{-20, 4} << std::optional(PieCuts::Refusal::CutsCross);
    QTest::newRow("a short belly in 2 pieces") << belly << SectionBend{-20, 2} << std::optional<PieCuts::Refusal>();
    QTest::newRow("a header at 60° in 6 pieces") << header << SectionBend{60, 6} << std::optional<PieCuts::Refusal>();
    QTest::newRow("a header at 170° in 2 pieces") << header << SectionBend{170, 2} << std::optional(PieCuts::Refusal::CutsCross);
    QTest::newRow("a cone at 90° in 12 pieces") << cone << SectionBend{90, 12} << std::optional<PieCuts::Refusal>();
    QTest::newRow("a cone at 120° in 12 pieces") << cone << SectionBend{120, 12} << std::optional<PieCuts::Refusal>();
    QTest::newRow("a cone at 179° in 12 pieces") << cone << SectionBend{179, 12} << std::optional(PieCuts::Refusal::CutsCross);
    QTest::newRow("a converging cone") << Frustum{173.3, 54.75, 9.9} << SectionBend{-45, 5} << std::optional<PieCuts::Refusal>();
    QTest::newRow("no length") << Frustum{0, 15, 15} << SectionBend{10, 2} << std::optional(PieCuts::Refusal::NoLength);
    QTest::newRow("a negative length") << Frustum{-5, 54.75, 54.75} << SectionBend{10, 2} << std::optional(PieCuts::Refusal::NoLength);
}

void PieCutsTest::refuses()
{
    QFETCH(Frustum, section);
    QFETCH(SectionBend, bend);
    QFETCH(std::optional<PieCuts::Refusal>, refusal);

    PieCuts::Refusal why{};
    const std::optional<PieCuts> cuts = PieCuts::cut(section, bend, &why);
    QCOMPARE(!cuts, refusal.has_value());
    if (refusal)
        QCOMPARE(why, *refusal);
}

// Accepted cuts follow each other from the engine end to the outlet all the way round; refused
// ones cross somewhere, or meet an end.
void PieCutsTest::refusesExactlyWhereCutsCross()
{
    QRandomGenerator random(7);
    int refused = 0;
    for (int run = 0; run < 600; ++run) {
        const RandomBend drawn = randomBend(random);
        const int pieces = drawn.bend.pieces;
        const double alpha = std::abs(drawn.bend.degrees) * kPi / 180 / (2 * (pieces - 1));
        const Frustum& section = drawn.section;
        const double slope = (section.outletRadius - section.engineRadius) / section.length;
        bool inOrder = true;
        for (int step = 0; inOrder && step <= 720; ++step) {
            const double cosine = std::cos(step * kPi / 720);
            double previous = 0;
            for (int joint = 1; inOrder && joint <= pieces; ++joint) {
                const double lean = joint == pieces ? 0 : cosine * std::tan(joint % 2 == 1 ? alpha : -alpha);
                const double across = 1 + slope * lean;
                const double at = (section.length * joint / pieces - section.engineRadius * lean) / across;
                inOrder = across > 0 && at > previous;
                previous = at;
            }
        }
        const std::optional<PieCuts> cuts = PieCuts::cut(section, drawn.bend);
        QCOMPARE(cuts.has_value(), inOrder);
        refused += cuts ? 0 : 1;
    }
    QVERIFY(refused > 50 && refused < 550);
}

QTEST_GUILESS_MAIN(PieCutsTest)
#include "tst_piecuts.moc"
