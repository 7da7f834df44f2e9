#include "cutfiles/ModelFiles.h"

#include "cutfiles/DxfDrawing.h"

#include <QtEndian>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace scaricometro {
namespace {

constexpr int kHeaderBytes = 80;
constexpr int kTriangleBytes = 50;
// Not "solid", which would make readers take the file for a text STL.
constexpr std::string_view kHeader = "Scaricometro: la camera saldata, 1 unita = 1 mm";
static_assert(kHeader.size() <= kHeaderBytes && !kHeader.starts_with("solid"));

void appendFloat(char*& at, double value)
{
    const auto single = static_cast<float>(value);
    std::uint32_t bits = 0;
    std::memcpy(&bits, &single, sizeof bits);
    qToLittleEndian(bits, at);
    at += sizeof bits;
}

void appendVector(char*& at, Vector3 vector)
{
    appendFloat(at, vector.x);
    appendFloat(at, vector.y);
    appendFloat(at, vector.z);
}

}  // namespace

QByteArray binaryStl(const ChamberMesh& mesh)
{
    const std::vector<ChamberMesh::Triangle>& triangles = mesh.triangles();
    // A few million at most: the count fits its 32 bits.
    const auto count = static_cast<std::uint32_t>(triangles.size());
    QByteArray stl(kHeaderBytes + qsizetype{sizeof count} + qsizetype{count} * kTriangleBytes, '\0');
    std::copy(kHeader.begin(), kHeader.end(), stl.begin());
    char* at = stl.data() + kHeaderBytes;
    qToLittleEndian(count, at);
    at += sizeof count;
    for (std::uint32_t i = 0; i < count; ++i) {
        const ChamberMesh::Triangle& triangle = triangles[i];
        appendVector(at, mesh.normal(triangle));
        for (const std::uint32_t corner : triangle)
            appendVector(at, mesh.vertices()[corner]);
        at += 2;  // the attribute bytes, nothing
    }
    return stl;
}

std::vector<FileToSave> modelFiles(const ChamberRoute& route, const ChamberMesh& mesh)
{
    const std::vector<Vector3> centreLine = route.centreLine();
    return {{kModelFileName.toString(), binaryStl(mesh)},
            {kCentreLineFileName.toString(), QByteArray::fromStdString(dxfPolyline3d(centreLine, kCentreLineLayer))}};
}

}  // namespace scaricometro
