#include "cutfiles/DxfDrawing.h"

#include <dxflib/dl_dxf.h>
#include <dxflib/dl_writer_ascii.h>

#include <array>
#include <charconv>
#include <cmath>
#include <memory>
#include <numbers>
#include <system_error>

namespace scaricometro {
namespace {

constexpr DL_Codes::version kVersion = DL_Codes::AC1009;  // AutoCAD R12
constexpr int kMillimetres = 4;                           // $INSUNITS
constexpr int kClosed = 1;                                // a polyline's flags
constexpr int k3dPolyline = 8;
constexpr int k3dPolylineVertex = 32;                     // a vertex's

// dxflib writes through a DL_WriterA, which streams into a file that it opens by a narrow name:
// no file of a set could then be held back until all are ready, and on Windows a name outside the
// system's code page could not be opened at all. This writer keeps the text in memory instead;
// given no name, dxflib opens no file. It also writes numbers itself: dxflib's own formatting
// prints into a buffer of 256 bytes with "%.16lf", too small for a coordinate past 1e238, and
// depends on the C locale.
class TextWriter final : public DL_WriterA {
public:
    TextWriter()
        : DL_WriterA("", kVersion)
    {
    }

    void dxfReal(int code, double value) const override
    {
        // The shortest text that reads back as the same double, never with an exponent.
        std::array<char, 400> digits{};
        const auto [end, error] = std::to_chars(digits.data(), digits.data() + digits.size(), value,
                                                std::chars_format::fixed);
        std::string text = error == std::errc() ? std::string(digits.data(), end) : std::string("0.0");
        if (text.find('.') == std::string::npos)
            text += ".0";
        dxfString(code, text);
    }
    void dxfInt(int code, int value) const override { dxfString(code, std::to_string(value)); }
    void dxfHex(int code, int value) const override
    {
        std::array<char, 16> digits{};
        const auto [end, error] = std::to_chars(digits.data(), digits.data() + digits.size(), value, 16);
        std::string text(digits.data(), end);
        for (char& digit : text)
            digit = static_cast<char>(digit >= 'a' ? digit - 'a' + 'A' : digit);
        dxfString(code, text);
    }
    void dxfString(int code, const char* value) const override { dxfString(code, std::string(value)); }
    void dxfString(int code, const std::string& value) const override
    {
        // The group code right-aligned in three places, as every DXF writer since AutoCAD's own.
        const std::string number = std::to_string(code);
        m_text.append(number.size() < 3 ? 3 - number.size() : 0, ' ').append(number).append("\n");
        m_text.append(value).append("\n");
    }

    [[nodiscard]] std::string text() const { return m_text; }

private:
    mutable std::string m_text;
};

// The bulge of an arc, as DXF gives it on the vertex it starts from: the tangent of a quarter of
// its turn, positive counter-clockwise.
double bulgeOf(const OutlineEdge& edge)
{
    return edge.arc ? std::tan(edge.arc->sweepDegrees * std::numbers::pi / 180 / 4) : 0.0;
}

// A drawing in millimetres of one polyline on `layer`, its vertices written by `writeVertices`.
template <typename WriteVertices>
std::string drawing(const std::string& layer, const DL_PolylineData& polyline, WriteVertices writeVertices)
{
    DL_Dxf dxf;
    // dxflib takes the version a drawing is written in only here, from the file it opens; asked
    // for no file, it keeps the version and opens none.
    const std::unique_ptr<DL_WriterA> noFile(dxf.out("", kVersion));
    TextWriter writer;
    const DL_Attributes onLayer(layer, DL_Codes::bylayer, -1, "BYLAYER", 1.0);

    dxf.writeHeader(writer);
    writer.dxfString(9, "$INSUNITS");
    writer.dxfInt(70, kMillimetres);
    writer.sectionEnd();

    writer.sectionTables();
    writer.tableLinetypes(1);
    dxf.writeLinetype(writer, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
    writer.tableEnd();
    writer.tableLayers(2);
    for (const std::string& name : {std::string("0"), layer})
        dxf.writeLayer(writer, DL_LayerData(name, 0), DL_Attributes("", DL_Codes::white, -1, "CONTINUOUS", 1.0));
    writer.tableEnd();
    writer.sectionEnd();

    writer.sectionEntities();
    dxf.writePolyline(writer, polyline, onLayer);
    writeVertices(dxf, writer);
    dxf.writePolylineEnd(writer);
    writer.sectionEnd();
    writer.dxfEOF();
    return writer.text();
}

}  // namespace

std::string dxfDrawing(const PartOutline& outline)
{
    return drawing(std::string(kCuttingLayer), DL_PolylineData(static_cast<int>(outline.edges.size()), 0, 0, kClosed),
                   [&](DL_Dxf& dxf, DL_WriterA& writer) {
                       for (const OutlineEdge& edge : outline.edges)
                           dxf.writeVertex(writer, DL_VertexData(edge.from.x, edge.from.y, 0, bulgeOf(edge)));
                   });
}

std::string dxfPolyline3d(std::span<const Vector3> points, std::string_view layer)
{
    return drawing(std::string(layer), DL_PolylineData(static_cast<int>(points.size()), 0, 0, k3dPolyline),
                   [&](DL_Dxf& dxf, DL_WriterA& writer) {
                       for (const Vector3& point : points) {
                           dxf.writeVertex(writer, DL_VertexData(point.x, point.y, point.z, 0));
                           // dxflib leaves a vertex's flags out, which a 3D polyline's vertices carry.
                           writer.dxfInt(70, k3dPolylineVertex);
                       }
                   });
}

}  // namespace scaricometro
