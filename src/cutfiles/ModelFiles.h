// The chamber for CAD programs, 3D viewers and slicers: its model as a binary STL file (what every
// one of them opens; the format is a header, a count and fixed records, which needs no library),
// and its centre line as a 3D polyline in DXF, in the cutting files' dialect, for the CAD
// programs that route pipes. Both in the route's frame, 1 unit = 1 mm.
#pragma once

#include "cutfiles/FolderSave.h"
#include "model/ChamberMesh.h"

#include <QByteArray>
#include <QStringView>

#include <string_view>
#include <vector>

namespace scaricometro {

inline constexpr QStringView kModelFileName = u"scaricometro-camera.stl";
inline constexpr QStringView kCentreLineFileName = u"scaricometro-asse.dxf";
inline constexpr std::string_view kCentreLineLayer = "ASSE";

// Little-endian: an 80-byte header, the triangles' count, then each triangle's normal and corners
// as 32-bit floats and two bytes of nothing.
[[nodiscard]] QByteArray binaryStl(const ChamberMesh& mesh);

// The model of `route`, as ChamberMesh::faceted makes it, and its centre line.
[[nodiscard]] std::vector<FileToSave> modelFiles(const ChamberRoute& route, const ChamberMesh& mesh);

}  // namespace scaricometro
