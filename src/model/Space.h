// Points, directions and rigid motions in space, in millimetres: what places the pieces of a bent
// chamber and carries the chamber's route from the engine end to the outlet.
#pragma once

#include <array>
#include <cmath>
#include <numbers>

namespace scaricometro {

// One degree of angle, in radians.
inline constexpr double kDegree = std::numbers::pi / 180;

struct Vector3 {
    double x = 0;
    double y = 0;
    double z = 0;

    friend Vector3 operator+(Vector3 a, Vector3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
    friend Vector3 operator-(Vector3 a, Vector3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
    friend Vector3 operator*(double k, Vector3 a) { return {k * a.x, k * a.y, k * a.z}; }
};

[[nodiscard]] inline double dot(Vector3 a, Vector3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

[[nodiscard]] inline Vector3 cross(Vector3 a, Vector3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

[[nodiscard]] inline double norm(Vector3 a)
{
    return std::hypot(a.x, a.y, a.z);
}

[[nodiscard]] inline Vector3 unit(Vector3 a)
{
    return (1 / norm(a)) * a;
}

// The angle between two directions, radians, as exact near 0 and π as between.
[[nodiscard]] inline double angleBetween(Vector3 a, Vector3 b)
{
    return std::atan2(norm(cross(a, b)), dot(a, b));
}

// A rigid motion: rotate by the matrix's rows, then move.
struct Placement {
    std::array<Vector3, 3> rows{Vector3{1, 0, 0}, Vector3{0, 1, 0}, Vector3{0, 0, 1}};
    Vector3 shift;

    [[nodiscard]] Vector3 apply(Vector3 point) const;
    [[nodiscard]] Vector3 turn(Vector3 direction) const;
    // This motion after `first`.
    [[nodiscard]] Placement after(const Placement& first) const;

    // The motion that takes the axes x, y, z to the unit vectors given, and the origin to `origin`.
    [[nodiscard]] static Placement ofAxes(Vector3 x, Vector3 y, Vector3 z, Vector3 origin);
    // The turn by `radians` about the unit `axis` through the origin, counter-clockwise as seen
    // from where the axis points.
    [[nodiscard]] static Placement rotation(Vector3 axis, double radians);
};

}  // namespace scaricometro
