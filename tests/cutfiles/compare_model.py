"""The 3D model's two files made elsewhere (by the Windows build) against the Linux build's.

    compare_model.py FOLDER REFERENCE

The STL must hold as many triangles as the reference's, each normal and corner within a
thousandth of a millimetre of its own (the same to the last bit but for the last digit of a sine
here and there); the centre line must pass ezdxf's audit untouched and hold the reference's
points within a millionth of a millimetre. Says whether each file is the reference's byte for
byte; prints what fails; exits with 1 when anything does.
"""
import math
import os
import struct
import sys

import ezdxf

MODEL = "scaricometro-camera.stl"
CENTRE_LINE = "scaricometro-asse.dxf"
STL_MM = 1e-3
LINE_MM = 1e-6


def triangles(path):
    with open(path, "rb") as stl:
        data = stl.read()
    (count,) = struct.unpack_from("<I", data, 80)
    if len(data) != 84 + 50 * count:
        raise ValueError(f"{path}: {len(data)} bytes for {count} triangles")
    return [struct.unpack_from("<12f", data, 84 + 50 * i) for i in range(count)]


def points(path):
    document = ezdxf.readfile(path)
    auditor = document.audit()
    if auditor.errors or auditor.fixes:
        raise ValueError(f"{path}: the audit found {len(auditor.errors)} errors, made {len(auditor.fixes)} fixes")
    (polyline,) = document.modelspace()
    return [tuple(vertex.dxf.location) for vertex in polyline.vertices]


def faults(folder, reference):
    for name in (MODEL, CENTRE_LINE):
        with open(os.path.join(folder, name), "rb") as a, open(os.path.join(reference, name), "rb") as b:
            print(f"{name}: {'the same bytes' if a.read() == b.read() else 'other bytes'}")
    made, expected = triangles(os.path.join(folder, MODEL)), triangles(os.path.join(reference, MODEL))
    if len(made) != len(expected):
        yield f"{MODEL}: {len(made)} triangles, not {len(expected)}"
    worst = max((abs(x - y) for a, b in zip(made, expected) for x, y in zip(a, b)), default=0)
    print(f"{MODEL}: {len(made)} triangles, the furthest figure {worst:.3g} mm from the reference's")
    if worst > STL_MM:
        yield f"{MODEL}: a figure {worst} mm off the reference's"
    made, expected = points(os.path.join(folder, CENTRE_LINE)), points(os.path.join(reference, CENTRE_LINE))
    if len(made) != len(expected):
        yield f"{CENTRE_LINE}: {len(made)} points, not {len(expected)}"
    print(f"{CENTRE_LINE}: {len(made)} points, the furthest "
          f"{max((math.dist(a, b) for a, b in zip(made, expected)), default=0):.3g} mm from the reference's")
    for index, (a, b) in enumerate(zip(made, expected)):
        if math.dist(a, b) > LINE_MM:
            yield f"{CENTRE_LINE}: point {index} at {a}, not {b}"


def main():
    found = list(faults(*sys.argv[1:3]))
    for fault in found:
        print(fault)
    sys.exit(1 if found else 0)


if __name__ == "__main__":
    main()
