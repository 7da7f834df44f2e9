// The fit as its search sees it: each free section's bend as the 2-vector (b · cos plane,
// b · sin plane), in degrees, so that the sum of the squares of the bends is the square of the
// variables' length, smooth everywhere, and the plane is free at no bend; the constraints, the
// outlet's centre less the point, mm, and where a direction is wanted the outlet's axis's error in
// radians times the chamber's length, as the route traces them; and the largest bend each free
// section's pieces take, more pieces where a bend needs them.
#pragma once

#include "model/ChamberFit.h"
#include "model/SmallMatrix.h"

#include <array>
#include <vector>

namespace scaricometro {

class FitProblem {
public:
    using Variables = std::vector<double>;
    using Pieces = std::array<int, kChamberSections.size()>;

    FitProblem(const ChamberDevelopment& development, const ChamberBends& bends, const FreeSections& free,
               const FitTarget& target, bool withDirection);

    [[nodiscard]] std::size_t variables() const { return 2 * m_free.size(); }
    [[nodiscard]] const std::vector<std::size_t>& freeSections() const { return m_free; }
    [[nodiscard]] const ChamberDevelopment& development() const { return m_development; }
    [[nodiscard]] const FitTarget& target() const { return m_target; }

    // The bends of `x`, the free sections in `pieces`, or in the pieces they have now.
    [[nodiscard]] ChamberBends bendsAt(const Variables& x, const Pieces& pieces) const;
    [[nodiscard]] ChamberBends bendsAt(const Variables& x) const { return bendsAt(x, m_pieces); }
    [[nodiscard]] std::vector<double> constraints(const Variables& x) const;
    // The constraints' derivatives by forward differences: the constraints themselves are met
    // exactly, and a slope a step's worth off moves the least bending found by its square.
    [[nodiscard]] SmallMatrix jacobianAt(const Variables& x, const std::vector<double>& at) const;

    // Each free section's bend brought within what its pieces take.
    void keepWithin(Variables& x) const;
    // Marks the sections at their limit that `x + move` would bend further; whether any was new.
    bool holdAtLimits(const Variables& x, const Variables& move, std::vector<bool>& held) const;
    // The Jacobian with the held sections' columns naught.
    [[nodiscard]] static SmallMatrix withoutHeld(SmallMatrix jacobian, const std::vector<bool>& held);

    [[nodiscard]] const Pieces& pieces() const { return m_pieces; }
    // Back to the pieces given.
    void resetPieces();
    // Where a bend of `x` is held at what its pieces take, the fewest more pieces that let it go
    // further; whether any section has more.
    bool raisePieces(const Variables& x);

private:
    [[nodiscard]] double limitOf(std::size_t k) const;

    const ChamberDevelopment& m_development;
    ChamberBends m_bends;
    FitTarget m_target;
    std::vector<std::size_t> m_free;
    Vector3 m_wanted;
    std::vector<Vector3> m_across;
    double m_scale = 0;
    std::vector<std::array<double, kMostBendPieces + 1>> m_largest;
    Pieces m_pieces{};
};

}  // namespace scaricometro
