"""The cutting files as a CAD program reads them: each DXF file of a folder opened by ezdxf.

    check_dxf.py FOLDER...                every file that FOLDER/expected.txt names, against the
                                          figures given there
    check_dxf.py FOLDER --like REFERENCE  every DXF file of FOLDER, against the file of the same
                                          name in REFERENCE

expected.txt has a line a file, its fields separated by tabs: NAME cone R r ANGLE SLANT, or
NAME blank WIDTH LENGTH, in mm and degrees; or, for a piece of a bent section, NAME piece LENGTH
ENGINE_RADIUS OUTLET_RADIUS, the section on its mean radii, then TILT AXIAL of its lower joint and
of its upper one, the plane's tilt in radians and where it crosses the axis. A piece's cuts are
checked against the exact curves the planes cut, its square ends and seams as a cone's or a
blank's. Every file must pass ezdxf's audit untouched, say it
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


CURVE_TOLERANCE_MM = 0.01
# A chord left out would stray by more than this: the cuts take the longest chords that keep
# inside the tolerance, less a little kept for what falls between the points they are tried at.
NEEDED_MM = 0.0097
CORNER_RADIANS = 0.5
SAMPLES = 64


def joint_curve(length, engine, outlet, tilt, axial):
    """The exact flat cut of a joint plane, as a function of the azimuth φ round the axis from the
    inside of the bend: about the sector's centre for a cone, the sector opening upwards; across
    the blank from its left seam for a cylinder, the outlet end up."""
    slope = (outlet - engine) / length
    lean = math.tan(tilt)
    if slope == 0:
        return lambda phi: (engine * (phi + math.pi), axial - engine * lean * math.cos(phi))
    sine = abs(slope) / math.hypot(1, slope)
    cosine = 1 / math.hypot(1, slope)
    apex = -engine / slope
    towards = math.copysign(1, slope)

    def point(phi):
        # The generator at φ meets the plane z + tan(tilt) · x = axial at this slant from the apex.
        slant = (axial - apex) / (towards * cosine + lean * sine * math.cos(phi))
        return (slant * math.sin(phi * sine), slant * math.cos(phi * sine))
    return point


def direction(segment, at_end):
    """The way the outline runs at a segment's start or end."""
    angle = math.atan2(segment.end[1] - segment.start[1], segment.end[0] - segment.start[0])
    if segment.is_arc():
        angle += segment.sweep / 2 if at_end else -segment.sweep / 2
    return angle


def distance_to_chord(point, start, end):
    dx, dy = end[0] - start[0], end[1] - start[1]
    squared = dx * dx + dy * dy
    along = max(0.0, min(1.0, ((point[0] - start[0]) * dx + (point[1] - start[1]) * dy) / squared))
    return math.dist(point, (start[0] + along * dx, start[1] + along * dy))


def check_piece(segments, length, engine, outlet, bottom_tilt, bottom_axial, top_tilt, top_axial):
    joints = [(bottom_tilt, bottom_axial), (top_tilt, top_axial)]
    curves = [joint_curve(length, engine, outlet, tilt, axial) for tilt, axial in joints]
    cone = outlet != engine
    sine = abs(outlet - engine) / math.hypot(length, outlet - engine)
    exact_corners = [curve(side) for curve in curves for side in (-math.pi, math.pi)]
    corners = [segments[i].start for i in range(len(segments))
               if abs(math.remainder(direction(segments[i], False) - direction(segments[i - 1], True), 2 * math.pi))
               > CORNER_RADIANS]
    expect(len(corners) == 4, "%d corners, not 4" % len(corners))
    shift = tuple(sum(p[k] for p in corners) / 4 - sum(p[k] for p in exact_corners) / 4 for k in (0, 1))
    for corner in exact_corners:
        placed = (corner[0] + shift[0], corner[1] + shift[1])
        expect(min(math.dist(placed, c) for c in corners) <= SAME_MM, "no corner at %s" % (placed,))

    def azimuth_of(point):
        x, y = point[0] - shift[0], point[1] - shift[1]
        return math.atan2(x, y) / sine if cone else x / engine - math.pi

    def on_curve(point):
        """The joint whose exact cut passes through the point, and the point's azimuth."""
        phi = azimuth_of(point)
        for index, curve in enumerate(curves):
            exact = curve(phi)
            if math.dist(point, (exact[0] + shift[0], exact[1] + shift[1])) <= SAME_MM:
                return index, phi
        raise Fault("the vertex %s lies on neither cut" % (point,))

    def straying(curve, start, end, phi_start, phi_end):
        samples = (curve(phi_start + (phi_end - phi_start) * k / SAMPLES) for k in range(1, SAMPLES))
        return max(distance_to_chord((p[0] + shift[0], p[1] + shift[1]), start, end) for p in samples)

    seams = 0
    chords = []
    for segment in segments:
        if segment.is_arc():
            index, _ = on_curve(segment.start)
            expect(joints[index][0] == 0, "an arc on a tilted cut")
            expect(math.dist(segment.centre, shift) <= TOLERANCE_MM, "an end's arc is not about the sector's centre")
            expect(near(segment.radius, math.dist(segment.start, shift)), "an end's arc is not round the centre")
            expect(near(abs(segment.sweep), 2 * math.pi * sine, 1e-9), "an end's arc is not the whole sector")
        elif segment.start in corners and segment.end in corners and on_curve(segment.start)[0] != on_curve(segment.end)[0]:
            seams += 1
            if cone:
                line = abs((shift[0] - segment.start[0]) * (segment.end[1] - segment.start[1])
                           - (shift[1] - segment.start[1]) * (segment.end[0] - segment.start[0])) / segment.chord
                expect(line <= TOLERANCE_MM, "a seam passes %.6f from the centre" % line)
            else:
                expect(abs(segment.end[0] - segment.start[0]) <= ON_AXIS_MM, "a seam is not along the blank")
        else:
            index, phi_start = on_curve(segment.start)
            end_index, phi_end = on_curve(segment.end)
            expect(index == end_index, "a chord from one cut to the other")
            if joints[index][0] == 0:
                # A blank's square end is one straight side, as its exact cut is.
                expect(not cone and segment.start in corners and segment.end in corners, "a square end drawn in chords")
                continue
            strays = straying(curves[index], segment.start, segment.end, phi_start, phi_end)
            expect(strays <= CURVE_TOLERANCE_MM, "a chord strays %.6f mm from its cut" % strays)
            chords.append((index, segment.start, segment.end, phi_start, phi_end))
    expect(seams == 2, "%d seams, not 2" % seams)
    for first, second in zip(chords, chords[1:]):
        if first[0] == second[0] and first[2] == second[1] and abs(first[4]) > 1e-9:
            strays = straying(curves[first[0]], first[1], second[2], first[3], second[4])
            expect(strays > NEEDED_MM, "a vertex could be left out: one chord strays only %.6f mm" % strays)


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
                elif kind == "piece":
                    check_piece(segments, *figures)
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
