"""The chamber's centre line as a CAD program reads it: the DXF file opened by ezdxf.

    check_centre_line.py FILE EXPECTED

EXPECTED has a line a point, X Y Z in mm separated by spaces. The file must pass ezdxf's audit
untouched, say it is in millimetres, and hold one 3D polyline on the layer ASSE and nothing else,
through those points within 0.01 mm, each vertex a 3D polyline's. Prints what fails; exits with 1
when anything does.
"""
import math
import sys

import ezdxf

TOLERANCE_MM = 0.01
MILLIMETRES = 4
POLYLINE_3D_VERTEX = 32


def faults(path, expected):
    document = ezdxf.readfile(path)
    auditor = document.audit()
    if auditor.errors or auditor.fixes:
        yield f"the audit found {len(auditor.errors)} errors and made {len(auditor.fixes)} fixes"
    if document.header.get("$INSUNITS") != MILLIMETRES:
        yield "not in millimetres"
    entities = list(document.modelspace())
    if len(entities) != 1 or entities[0].dxftype() != "POLYLINE" or not entities[0].is_3d_polyline:
        yield f"not one 3D polyline: {[entity.dxftype() for entity in entities]}"
        return
    polyline = entities[0]
    if polyline.dxf.layer != "ASSE":
        yield f"on the layer {polyline.dxf.layer}"
    vertices = list(polyline.vertices)
    if len(vertices) != len(expected):
        yield f"{len(vertices)} points, not {len(expected)}"
    for index, (vertex, point) in enumerate(zip(vertices, expected)):
        if vertex.dxf.flags != POLYLINE_3D_VERTEX:
            yield f"point {index}: flags {vertex.dxf.flags}"
        if math.dist(tuple(vertex.dxf.location), point) > TOLERANCE_MM:
            yield f"point {index}: {tuple(vertex.dxf.location)}, not {point}"


def main():
    path, expected_path = sys.argv[1:3]
    with open(expected_path, encoding="utf-8") as lines:
        expected = [tuple(float(value) for value in line.split()) for line in lines if line.strip()]
    found = list(faults(path, expected))
    for fault in found:
        print(f"{path}: {fault}")
    sys.exit(1 if found else 0)


if __name__ == "__main__":
    main()
