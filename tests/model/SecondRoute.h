// The chamber's route worked out a second way, for the tests that check ChamberRoute and those
// that trust it: each section's turn composed as a quaternion about the axis its plane gives in the
// section's own start frame, and its outlet placed from its pieces' placements.
#pragma once

#include "TestChambers.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace scaricometro {

// A rotation as a unit quaternion w + (x, y, z).
struct Quaternion {
    double w = 1;
    Vector3 v;

    static Quaternion about(Vector3 axis, double radians)
    {
        return {std::cos(radians / 2), std::sin(radians / 2) * unit(axis)};
    }
    // This rotation after `first`: first, then this.
    [[nodiscard]] Quaternion operator*(const Quaternion& first) const
    {
        return {w * first.w - dot(v, first.v), w * first.v + first.w * v + cross(v, first.v)};
    }
    [[nodiscard]] Vector3 rotate(Vector3 p) const
    {
        const Vector3 t = 2 * cross(v, p);
        return p + w * t + cross(v, t);
    }
};

// Where each section ends and which way its end points and is up, worked out from the chamber's
// frame as quaternions compose, rather than by carrying the frame.
struct End {
    Vector3 point;
    Vector3 along;
    Vector3 up;
};

inline std::vector<End> secondWorkingOut(const Chamber& chamber, const ChamberRoute& route)
{
    const Vector3 x{1, 0, 0};
    const Vector3 z{0, 0, 1};
    Quaternion turned;
    Vector3 point;
    std::vector<End> ends;
    for (std::size_t i = 0; i < kChamberSections.size(); ++i) {
        const Frustum& frustum = chamber.development.sections[i];
        const SectionBend& bend = chamber.bends[i];
        const RouteSection& section = route.sections()[i];
        if (section.isBent()) {
            // In the start frame, x along the pipe and z up: the plane p bends towards
            // cos p · z + sin p · (x × z), clockwise seen looking along x.
            const double plane = bend.plane * std::numbers::pi / 180;
            const Vector3 towards = std::cos(plane) * z + std::sin(plane) * cross(x, z);
            const Vector3 inside = bend.degrees > 0 ? towards : -1 * towards;
            const Vector3 outlet = section.cuts->placement(section.pieces()).apply({0, 0, frustum.length});
            point = point + turned.rotate(outlet.x * inside + outlet.y * cross(x, inside) + outlet.z * x);
            turned = turned * Quaternion::about(cross(x, towards), bend.degrees * std::numbers::pi / 180);
        } else if (frustum.length > 0) {
            point = point + turned.rotate(frustum.length * x);
        }
        ends.push_back({point, turned.rotate(x), turned.rotate(z)});
    }
    return ends;
}

}  // namespace scaricometro
