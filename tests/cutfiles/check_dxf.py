"""The cutting files as a CAD program reads them: each DXF file of a folder opened by ezdxf.

    check_dxf.py FOLDER...                every file that FOLDER/expected.txt names, against the
                                          figures given there
    check_dxf.py FOLDER --like REFERENCE  every DXF file of FOLDER, against the file of the same
                                          name in REFERENCE

expected.txt has a line a file, its fields separated by tabs: NAME cone R r ANGLE SLANT, or
NAME blank WIDTH LENGTH, in mm and degrees. Every file must pass ezdxf's audit untouched, say it
is in millimetres, and hold one closed polyline on the layer TAGLIO and nothing else, flat in the
first quadrant with its lowest and leftmost points on the axes. Prints what fails; exits with 1
when anything does.
"""
import math
import os
import sys

import ezdxf

TOLERANCE_MM = 0.001
ON_AXIS_MM = 1e-9
SAME_MM = 1e-6
MILLIMETRES = 4


class Fault(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise Fault(message)


def near(actual, expected, tolerance=TOLERANCE_MM):
    return abs(actual - expected) <= tolerance


def vertices_of(polyline):
    """(x, y, bulge) of each vertex, for the POLYLINE of R12 and the LWPOLYLINE of later versions."""
    if polyline.dxftype() == "LWPOLYLINE":
        return [tuple(point) for point in polyline.get_points("xyb")]
    return [(v.dxf.location[0], v.dxf.location[1], v.dxf.get("bulge", 0.0)) for v in polyline.vertices]


class Segment:
    def __init__(self, start, end, bulge):
        self.start, self.end, self.bulge = start, end, bulge
        self.chord = math.dist(start, end)
        self.sweep = 4 * math.atan(bulge)  # counter-clockwise positive
        if self.is_arc():
            self.radius = self.chord / (2 * math.sin(abs(self.sweep) / 2))
            middle = ((start[0] + end[0]) / 2, (start[1] + end[1]) / 2)
            left = (-(end[1] - start[1]) / self.chord, (end[0] - start[0]) / self.chord)
            offset = self.chord / 2 / math.tan(self.sweep / 2)
            self.centre = (middle[0] + left[0] * offset, middle[1] + left[1] * offset)

    def is_arc(self):
        return self.bulge != 0

    def angle_at(self, share):
        start = math.atan2(self.start[1] - self.centre[1], self.start[0] - self.centre[0])
        return start + share * self.sweep

    def point_at(self, share):
        if not self.is_arc():
            return tuple(a + share * (b - a) for a, b in zip(self.start, self.end))
        angle = self.angle_at(share)
        return (self.centre[0] + self.radius * math.cos(angle), self.centre[1] + self.radius * math.sin(angle))

    def extremes(self):
        """The ends, and where an arc passes a compass point."""
        points = [self.start, self.end]
        if self.is_arc():
            start = self.angle_at(0)
            for compass in range(4):
                past = (compass * math.pi / 2 - start) * math.copysign(1, self.sweep) % (2 * math.pi)
                if past <= abs(self.sweep):
                    angle = compass * math.pi / 2
                    points.append((self.centre[0] + self.radius * math.cos(angle),
                                   self.centre[1] + self.radius * math.sin(angle)))
        return points


def read_part(path):
    """The file's one closed polyline on TAGLIO as segments, checked as a cutting service takes it."""
    doc = ezdxf.readfile(path)
    auditor = doc.audit()
    expect(not auditor.errors, "audit finds errors: %s" % [e.message for e in auditor.errors])
    expect(not auditor.fixes, "audit had to mend: %s" % [e.message for e in auditor.fixes])
    expect(doc.units == MILLIMETRES, "$INSUNITS is %s, not millimetres" % doc.units)
    if doc.dxfversion >= "AC1012":
        expect(doc.header.get("$MEASUREMENT") == 1, "$MEASUREMENT is not metric")
    entities = list(doc.modelspace())
    expect(len(entities) == 1, "the model space holds %d entities" % len(entities))
    for layout in doc.layouts:
        if layout.name != "Model":
            expect(len(layout) == 0, "the layout %s is not empty" % layout.name)
    for block in doc.blocks:
        expect(block.name.lower() in ("*model_space", "*paper_space") or len(block) == 0,
               "the block %s holds entities" % block.name)
    polyline = entities[0]
    expect(polyline.dxftype() in ("POLYLINE", "LWPOLYLINE"), "the entity is a %s" % polyline.dxftype())
    expect(polyline.dxf.layer == "TAGLIO", "the polyline is on the layer %s" % polyline.dxf.layer)
    expect(polyline.closed if polyline.dxftype() == "LWPOLYLINE" else polyline.is_closed, "the polyline is open")
    points = vertices_of(polyline)
    segments = [Segment(points[i][:2], points[(i + 1) % len(points)][:2], points[i][2]) for i in range(len(points))]
    extremes = [point for segment in segments for point in segment.extremes()]
    left = min(x for x, _ in extremes)
    bottom = min(y for _, y in extremes)
    expect(abs(left) <= ON_AXIS_MM and abs(bottom) <= ON_AXIS_MM,
           "the part's leftmost and lowest points are at x %g, y %g" % (left, bottom))
    return points, segments, max(x for x, _ in extremes)


def check_cone(segments, right, outer, inner, angle, slant):
    arcs = [s for s in segments if s.is_arc()]
    edges = [s for s in segments if not s.is_arc()]
    expect(len(arcs) == 2 and len(edges) == 2, "%d arcs and %d straight edges" % (len(arcs), len(edges)))
    arcs.sort(key=lambda arc: -arc.radius)
    for arc, radius in zip(arcs, (outer, inner)):
        expect(near(arc.radius, radius), "an arc's radius is %.6f, not %.6f" % (arc.radius, radius))
        turned = math.degrees(abs(arc.sweep))
        expect(near(radius * math.radians(turned), radius * math.radians(angle)),
               "an arc turns %.9f°, not %.9f°" % (turned, angle))
    centre = arcs[0].centre
    expect(math.dist(centre, arcs[1].centre) <= TOLERANCE_MM, "the arcs have different centres")
    for edge in edges:
        expect(near(edge.chord, slant), "a straight edge is %.6f long, not %.6f" % (edge.chord, slant))
        # Along a generator: the edge points at the centre.
        direction = ((edge.end[0] - edge.start[0]) / edge.chord, (edge.end[1] - edge.start[1]) / edge.chord)
        across = abs((centre[0] - edge.start[0]) * direction[1] - (centre[1] - edge.start[1]) * direction[0])
        expect(across <= TOLERANCE_MM, "a straight edge passes %.6f from the centre" % across)
    expect(near(centre[0], right / 2), "the sector is not symmetric about a vertical line")
    top = arcs[0].point_at(0.5)
    expect(near(top[0], centre[0]) and top[1] > centre[1], "the sector does not open upwards")


def check_blank(segments, width, length):
    expect(len(segments) == 4 and not any(s.is_arc() for s in segments), "a blank is not four straight sides")
    for index, side in enumerate(segments):
        horizontal = abs(side.end[1] - side.start[1]) <= ON_AXIS_MM
        vertical = abs(side.end[0] - side.start[0]) <= ON_AXIS_MM
        expect(horizontal or vertical, "a side is not square to the axes")
        wanted = width if horizontal else length
        expect(near(side.chord, wanted), "a side is %.6f long, not %.6f" % (side.chord, wanted))
        expect(horizontal != (abs(segments[index - 1].end[1] - segments[index - 1].start[1]) <= ON_AXIS_MM),
               "two sides in a row are parallel")


def check_expected(folder):
    checked = 0
    with open(os.path.join(folder, "expected.txt"), encoding="utf-8") as lines:
        for line in lines:
            fields = line.rstrip("\n").split("\t")
            name, kind, figures = fields[0], fields[1], [float(f) for f in fields[2:]]
            try:
                _, segments, right = read_part(os.path.join(folder, name))
                if kind == "cone":
                    check_cone(segments, right, *figures)
                else:
                    check_blank(segments, *figures)
            except (Fault, OSError, ezdxf.DXFError) as fault:
                yield "%s: %s" % (os.path.join(folder, name), fault)
            checked += 1
    if checked == 0:
        yield "%s: expected.txt names no file" % folder


def check_like(folder, reference):
    names = sorted(n for n in os.listdir(reference) if n.endswith(".dxf"))
    found = sorted(n for n in os.listdir(folder) if n.endswith(".dxf"))
    if names != found:
        yield "%s holds %s, not %s" % (folder, found, names)
    for name in names:
        try:
            points, _, _ = read_part(os.path.join(folder, name))
            wanted, _, _ = read_part(os.path.join(reference, name))
            expect(len(points) == len(wanted), "%d vertices, not %d" % (len(points), len(wanted)))
            for point, other in zip(points, wanted):
                expect(all(abs(a - b) <= SAME_MM for a, b in zip(point, other)),
                       "a vertex is %s, not %s" % (point, other))
        except (Fault, OSError, ezdxf.DXFError) as fault:
            yield "%s: %s" % (os.path.join(folder, name), fault)


def main(arguments):
    if len(arguments) == 3 and arguments[1] == "--like":
        faults = list(check_like(arguments[0], arguments[2]))
    elif arguments and "--like" not in arguments:
        faults = [fault for folder in arguments for fault in check_expected(folder)]
    else:
        print(__doc__)
        return 2
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
