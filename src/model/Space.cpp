#include "model/Space.h"

namespace scaricometro {

Vector3 Placement::apply(Vector3 point) const
{
    return turn(point) + shift;
}

Vector3 Placement::turn(Vector3 direction) const
{
    return {dot(rows[0], direction), dot(rows[1], direction), dot(rows[2], direction)};
}

Placement Placement::after(const Placement& first) const
{
    Placement both;
    const Vector3 column[] = {{first.rows[0].x, first.rows[1].x, first.rows[2].x},
                              {first.rows[0].y, first.rows[1].y, first.rows[2].y},
                              {first.rows[0].z, first.rows[1].z, first.rows[2].z}};
    for (std::size_t row = 0; row < 3; ++row)
        both.rows[row] = {dot(rows[row], column[0]), dot(rows[row], column[1]), dot(rows[row], column[2])};
    both.shift = apply(first.shift);
    return both;
}

Placement Placement::ofAxes(Vector3 x, Vector3 y, Vector3 z, Vector3 origin)
{
    return {{Vector3{x.x, y.x, z.x}, Vector3{x.y, y.y, z.y}, Vector3{x.z, y.z, z.z}}, origin};
}

// Rodrigues: R = cos θ I + sin θ [a]× + (1 − cos θ) a aᵀ.
Placement Placement::rotation(Vector3 axis, double radians)
{
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    const double k = 1 - c;
    const Vector3 a = axis;
    return {{Vector3{c + k * a.x * a.x, k * a.x * a.y - s * a.z, k * a.x * a.z + s * a.y},
             Vector3{k * a.y * a.x + s * a.z, c + k * a.y * a.y, k * a.y * a.z - s * a.x},
             Vector3{k * a.z * a.x - s * a.y, k * a.z * a.y + s * a.x, c + k * a.z * a.z}},
            {}};
}

}  // namespace scaricometro
