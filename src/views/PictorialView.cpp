#include "views/PictorialView.h"

#include "model/ChamberMesh.h"
#include "views/ConvexHull.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

// The view's axes in the frame: to the right, up, and towards the viewer (right × up).
const double kSqrt7 = std::sqrt(7.0);
const Vector3 kRight = (1 / std::sqrt(8.0)) * Vector3{kSqrt7, 1, 0};
const Vector3 kUp = (1 / std::sqrt(72.0)) * Vector3{-1, kSqrt7, 8};
const Vector3 kTowardsViewer = (1.0 / 3) * Vector3{1, -kSqrt7, 1};
// The light comes from the upper left, over the viewer's shoulder.
const Vector3 kLight = unit(-0.6 * kRight + 0.6 * kUp + 0.5 * kTowardsViewer);
constexpr double kAmbient = 0.2;
constexpr double kUnderlayLight = 0.6;
// Each surface's colours, facing away from the light and facing it.
struct Shades {
    QRgb dark;
    QRgb light;
};
// The lightest a tone below the flat views' fill, which stays theirs alone.
constexpr Shades kSteel{0x3A4658, 0xE4EAF2};
constexpr Shades kRefused{0x7A1E1E, 0xF6C4C4};
// Each piece outlined, its joints with it, as in the other views.
constexpr QRgb kOutline = 0x5A6270;
constexpr double kRefusedLineMm = 0.35;

// A shell's faces in the order they are painted.
constexpr std::array kFarFacesFirst{MeshShell::InnerWall, MeshShell::EngineEnd, MeshShell::OutletEnd, MeshShell::OuterWall};
static_assert(kFarFacesFirst.size() == MeshShell::kFaces);

// The axes beside the view's name, each arrow as long as it is drawn in the view.
constexpr double kNameToAxesMm = 8;
constexpr double kAxisArrowMm = 5;

QRgb shaded(const Shades& shades, double light)
{
    const auto mix = [&](int dark, int bright) { return static_cast<int>(std::lround(dark + (bright - dark) * light)); };
    return qRgb(mix(qRed(shades.dark), qRed(shades.light)), mix(qGreen(shades.dark), qGreen(shades.light)),
                mix(qBlue(shades.dark), qBlue(shades.light)));
}

// The quad that two triangles sharing an edge make, its corners in their turning order.
std::array<std::uint32_t, 4> quadOf(const ChamberMesh::Triangle& a, const ChamberMesh::Triangle& b)
{
    const auto in = [](const ChamberMesh::Triangle& triangle) {
        return [&triangle](std::uint32_t corner) { return std::ranges::find(triangle, corner) != triangle.end(); };
    };
    const std::uint32_t extra = *std::ranges::find_if_not(b, in(a));
    // The extra corner goes into the edge of a that b shares.
    std::size_t shared = 0;
    while (shared < 2 && !(in(b)(a[shared]) && in(b)(a[shared + 1])))
        ++shared;
    return {a[shared], extra, a[(shared + 1) % 3], a[(shared + 2) % 3]};
}

}  // namespace

QPointF PictorialView::projected(Vector3 point)
{
    return {dot(point, kRight), dot(point, kUp)};
}

double PictorialView::nearness(Vector3 point)
{
    return dot(point, kTowardsViewer);
}

PictorialView::PictorialView(const ChamberRoute& route, int segments)
{
    const ChamberMesh mesh = ChamberMesh::withSegments(route, segments);
    const std::vector<Vector3>& vertices = mesh.vertices();
    for (std::size_t s = 0; s < mesh.shells().size(); ++s) {
        const MeshShell& shell = mesh.shells()[s];
        Piece piece;
        piece.refused = route.sections()[shell.section].refusal.has_value();
        const Shades& shades = piece.refused ? kRefused : kSteel;
        // The outer rims' outline, and where the piece is.
        std::vector<QPointF> rims;
        Vector3 centre;
        const auto rimPoints = static_cast<std::size_t>(2 * shell.segments);
        for (std::size_t i = 0; i < rimPoints; ++i) {
            rims.push_back(projected(vertices[shell.firstVertex + i]));
            centre = centre + vertices[shell.firstVertex + i];
        }
        piece.outline = convexHull(std::move(rims));
        piece.underlay = shaded(shades, kUnderlayLight);
        piece.nearness = nearness((1.0 / static_cast<double>(rimPoints)) * centre);
        // Its faces that look at the viewer, far ones first: those of the inner wall, seen through
        // the ends, then the ends, then the outer wall. Only the chamber's first and last pieces
        // show their ends and, through them, their inner walls: a joint's faces are hidden between
        // two pieces, and a piece's inner wall within its neighbours (and a deeper piece's behind
        // the nearer one). A piece's outside is convex, so neither its ends nor its outer wall
        // hide any part of themselves: no facet need be sorted. Each face's triangles come in
        // pairs, the halves of a flat quad: one facet each.
        const auto faceTriangles = static_cast<std::size_t>(2 * shell.segments);
        const bool open[] = {s == 0, s + 1 == mesh.shells().size()};
        for (const MeshShell::Face face : kFarFacesFirst) {
            if ((face == MeshShell::EngineEnd && !open[0]) || (face == MeshShell::OutletEnd && !open[1])
                || (face == MeshShell::InnerWall && !open[0] && !open[1]))
                continue;
            for (std::size_t t = 0; t < faceTriangles; t += 2) {
                const std::size_t first = shell.firstTriangle + face * faceTriangles + t;
                const Vector3 normal = mesh.normal(mesh.triangles()[first]);
                if (dot(normal, kTowardsViewer) <= 0)
                    continue;
                QPolygonF corners;
                for (const std::uint32_t corner : quadOf(mesh.triangles()[first], mesh.triangles()[first + 1]))
                    corners.append(projected(vertices[corner]));
                piece.facets.push_back({std::move(corners), shaded(shades, kAmbient + (1 - kAmbient) * std::max(0.0, dot(normal, kLight)))});
            }
        }
        m_extent = m_extent.isNull() ? piece.outline.boundingRect() : m_extent.united(piece.outline.boundingRect());
        m_pieces.push_back(std::move(piece));
    }
    std::ranges::stable_sort(m_pieces, {}, &Piece::nearness);
}

QSizeF PictorialView::sizeAt(double scale) const
{
    return {std::max(m_extent.width() / scale, kViewLeastWidthMm), kViewNameRowMm + m_extent.height() / scale};
}

double PictorialView::fittingScaleIn(QSizeF room) const
{
    return std::max(m_extent.width() / room.width(), m_extent.height() / std::max(room.height() - kViewNameRowMm, 1.0));
}

void PictorialView::markWanted(Vector3 point)
{
    m_wanted = point;
    const QPointF at = projected(point);
    m_extent = m_extent.united(QRectF(at - QPointF(kWantedRoomMm, kWantedRoomMm), QSizeF(2 * kWantedRoomMm, 2 * kWantedRoomMm)));
}

void PictorialView::paint(const Canvas& canvas, QPointF topLeft, double scale) const
{
    QPainter& painter = canvas.painter();
    painter.save();
    paintName(canvas, topLeft);
    const QPointF origin(topLeft.x(), topLeft.y() + kViewNameRowMm);
    // From the chamber's mm, y up, to the device.
    const QTransform toDevice = QTransform::fromTranslate(-m_extent.left(), -m_extent.bottom())
        * QTransform::fromScale(1 / scale, -1 / scale) * QTransform::fromTranslate(origin.x(), origin.y()) * canvas.fromMm();
    for (const Piece& piece : m_pieces) {
        // Facets side by side without antialiasing, so that no seam shows between them; the
        // outline over them with it.
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromRgb(piece.underlay));
        const QPolygonF outline = toDevice.map(piece.outline);
        painter.drawPolygon(outline);
        for (const Facet& facet : piece.facets) {
            painter.setBrush(QColor::fromRgb(facet.color));
            painter.drawPolygon(toDevice.map(facet.corners));
        }
        painter.setRenderHint(QPainter::Antialiasing, true);
        canvas.setPen(piece.refused ? kRefusedColor : kOutline, piece.refused ? kRefusedLineMm : kThinLineMm);
        painter.drawPolygon(outline);
    }
    if (m_wanted)
        canvas.wantedMark(toDevice.map(projected(*m_wanted)) / (canvas.at(QPointF(1, 0)).x()));
    painter.restore();
}

// The view's name, and beside it its three axes as they are drawn in it.
void PictorialView::paintName(const Canvas& canvas, QPointF topLeft) const
{
    const QString name = u"Vista dimetrica"_s;
    const QFont font = documentFont(8, true);
    const QFont axisFont = documentFont(6);
    canvas.text(topLeft + QPointF(0, kViewNameRowMm / 4), kViewLeastWidthMm, name, font);
    const QPointF origin = topLeft + QPointF(canvas.textSize(name, font).width() + kNameToAxesMm, kViewNameRowMm * 3 / 4);
    canvas.setPen(kTextColor, kThinLineMm);
    constexpr std::array<std::pair<QStringView, Vector3>, 3> kAxes{
        {{u"X", {1, 0, 0}}, {u"Y", {0, 1, 0}}, {u"Z", {0, 0, 1}}}};
    for (const auto& [letter, axis] : kAxes) {
        const QPointF drawn = projected(axis);
        const QPointF toward(drawn.x(), -drawn.y());  // the page's y runs down
        const double length = std::hypot(toward.x(), toward.y());
        const QPointF tip = origin + toward * kAxisArrowMm;
        canvas.arrow(tip, toward / length, kAxisArrowMm * length, kAxisArrowHeadMm);
        const double size = canvas.textSize(letter.toString(), axisFont).height();
        canvas.text(tip + toward / length * (size / 2) - QPointF(size / 4, size / 2), size, letter.toString(), axisFont);
    }
}

}  // namespace scaricometro
