#include "model/FitSearch.h"

#include "model/SmallMatrix.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <random>

namespace scaricometro {
namespace {

// Each free section's bend is the 2-vector (b · cos plane, b · sin plane), in degrees, so that the
// sum of the squares of the bends is the square of the variables' length, smooth everywhere, and
// the plane is free at no bend. The constraints are the outlet's centre less the point, mm, and
// where a direction is wanted the outlet's axis's error in radians times the chamber's length.
// Derivatives by differences of the route; the least bending by a quasi-Newton method on the
// conditions of a constrained minimum (sequential quadratic programming), from several starts.
constexpr double kDegree = std::numbers::pi / 180;
constexpr double kStepDegrees = 1e-3;
// The bends are kept this far inside the largest the pieces can take, the differences' steps with
// them; and below 180, which the dialog refuses, by a margin its rounding cannot cross.
constexpr double kLimitMarginDegrees = 0.01;
constexpr double kLargestBendDegrees = 179.9;
constexpr int kLimitSearchSteps = 40;
constexpr double kAtLimitDegrees = 1e-9;
constexpr double kLeastUsefulBendDegrees = 10;
// The search's own aim, far inside the tolerance, for the rounding of what it writes.
constexpr double kSolvedMm = 1e-7;
constexpr double kFoundMm = 1e-4;
constexpr int kRestoreSteps = 80;
constexpr int kNewtonSteps = 40;
// The least bending is found where the objective's gradient along the constraints is this share of
// its length, the differences' own noise not far below.
constexpr double kStationary = 1e-7;
constexpr int kLineSearchHalvings = 12;
constexpr int kStallSteps = 6;
constexpr double kStallRatio = 0.999;
constexpr double kFirstDamping = 1e-3;
constexpr double kMostDamping = 1e12;
// Directions whose squared length in JᵀJ is below this share of the largest do not move the outlet.
constexpr double kRankShare = 1e-12;
// The curvature along the constraints is taken as at least this, the objective's own being 2.
constexpr double kLeastCurvature = 0.2;
// The starts: no bend at all, then a small one in each free section, the bends given, and a few
// drawn at random up to this many degrees, the same every time.
constexpr double kNudgeDegrees = 1;
constexpr int kRandomStarts = 4;
constexpr double kRandomStartDegrees = 60;
constexpr std::uint32_t kSeed = 20261215;

using Variables = std::vector<double>;

// The largest bend that `pieces` pieces of the section take, degrees: the cuts cross beyond it.
double largestBend(const Frustum& section, int pieces)
{
    if (!(section.length > 0))
        return 0;
    double low = 0;
    double high = kLargestBendDegrees;
    if (PieCuts::cut(section, {high, pieces, 0}))
        return high;
    for (int step = 0; step < kLimitSearchSteps; ++step) {
        const double middle = (low + high) / 2;
        (PieCuts::cut(section, {middle, pieces, 0}) ? low : high) = middle;
    }
    return low;
}

Vector3 directionOf(double planDegrees, double riseDegrees)
{
    return {std::cos(riseDegrees * kDegree) * std::cos(planDegrees * kDegree),
            std::cos(riseDegrees * kDegree) * std::sin(planDegrees * kDegree), std::sin(riseDegrees * kDegree)};
}

struct Attempt {
    Variables x;
    std::array<int, kChamberSections.size()> pieces{};
    double miss = 0;  // the constraints' length
};

class Search {
public:
    Search(const ChamberDevelopment& development, const ChamberBends& bends, const FreeSections& free,
           const FitTarget& target, bool withDirection)
        : m_development(development)
        , m_bends(bends)
        , m_target(target)
    {
        for (std::size_t i = 0; i < kChamberSections.size(); ++i) {
            m_bends[i].pieces = std::clamp(bends[i].pieces, kFewestBendPieces, kMostBendPieces);
            m_scale += std::max(development.sections[i].length, 0.0);
            // A section that cannot take even a small bend in the most pieces would only hold the
            // search at its limit: it stays as given.
            if (free[i] && largestBend(development.sections[i], kMostBendPieces) >= kLeastUsefulBendDegrees)
                m_free.push_back(i);
        }
        if (!withDirection) {
            m_target.planDegrees.reset();
            m_target.riseDegrees.reset();
        }
        if (m_target.planDegrees) {
            m_wanted = directionOf(*m_target.planDegrees, m_target.riseDegrees.value_or(0));
            const Vector3 side{-std::sin(*m_target.planDegrees * kDegree), std::cos(*m_target.planDegrees * kDegree), 0};
            m_across = {side, cross(m_wanted, side)};
        }
        resetPieces();
        m_largest.resize(m_free.size());
        for (std::size_t k = 0; k < m_free.size(); ++k) {
            for (int pieces = kFewestBendPieces; pieces <= kMostBendPieces; ++pieces)
                m_largest[k][static_cast<std::size_t>(pieces)] = largestBend(development.sections[m_free[k]], pieces);
        }
    }

    [[nodiscard]] std::size_t variables() const { return 2 * m_free.size(); }

    // The bends of `x`, the pieces of `pieces` for the free sections.
    [[nodiscard]] ChamberBends bendsAt(const Variables& x, const std::array<int, kChamberSections.size()>& pieces) const
    {
        ChamberBends bends = m_bends;
        for (std::size_t k = 0; k < m_free.size(); ++k) {
            SectionBend& bend = bends[m_free[k]];
            bend.degrees = std::hypot(x[2 * k], x[2 * k + 1]);
            bend.pieces = pieces[m_free[k]];
            if (bend.degrees > 0)
                bend.plane = withinTurn(std::atan2(x[2 * k + 1], x[2 * k]) / kDegree);
        }
        return bends;
    }

    [[nodiscard]] std::vector<double> constraints(const Variables& x) const
    {
        const ChamberRoute route = ChamberRoute::trace(m_development, bendsAt(x, m_pieces));
        const RouteFrame& outlet = route.outlet();
        const Vector3 miss = outlet.point - m_target.point;
        std::vector<double> values{miss.x, miss.y, miss.z};
        // The outlet's axis as its stereographic projection from the opposite of the wanted one: as
        // the angle between them for small angles, naught only where it points the way wanted.
        const Vector3& along = outlet.along;
        if (m_target.planDegrees && m_target.riseDegrees) {
            const double towards = 1 + dot(along, m_wanted);
            for (const Vector3& across : m_across)
                values.push_back(m_scale * 2 * dot(along, across) / towards);
        } else if (m_target.planDegrees) {
            const double level = std::hypot(along.x, along.y);
            values.push_back(m_scale * 2 * dot(along, m_across.front()) / (level + dot(along, m_wanted)));
        } else if (m_target.riseDegrees) {
            values.push_back(m_scale * (along.z - std::sin(*m_target.riseDegrees * kDegree)));
        }
        return values;
    }

    // Each free section's bend brought within what its pieces take.
    void keepWithin(Variables& x) const
    {
        for (std::size_t k = 0; k < m_free.size(); ++k) {
            const double bend = std::hypot(x[2 * k], x[2 * k + 1]);
            const double limit = limitOf(k);
            if (bend > limit) {
                x[2 * k] *= limit / bend;
                x[2 * k + 1] *= limit / bend;
            }
        }
    }


    // The best of the attempts from each start, by the route's own judgement: the least bending
    // among those that reach the target, or the nearest.
    [[nodiscard]] Attempt best(const ChamberBends& given)
    {
        resetPieces();
        const Variables none(variables());
        const double missing = norm(constraints(none));
        if (missing <= kSolvedMm || none.empty()) {
            m_reached = outletReaches(ChamberRoute::trace(m_development, bendsAt(none, m_pieces)), m_target);
            return {none, m_pieces, missing};
        }
        std::vector<Variables> starts;
        Variables nudged(variables());
        Variables typed(variables());
        for (std::size_t k = 0; k < m_free.size(); ++k) {
            const double plane = (45 + 90 * static_cast<double>(k)) * kDegree;
            nudged[2 * k] = kNudgeDegrees * std::cos(plane);
            nudged[2 * k + 1] = kNudgeDegrees * std::sin(plane);
            const SectionBend& bend = given[m_free[k]];
            typed[2 * k] = bend.degrees * std::cos(bend.plane * kDegree);
            typed[2 * k + 1] = bend.degrees * std::sin(bend.plane * kDegree);
        }
        starts.push_back(nudged);
        if (norm(typed) > 0)
            starts.push_back(typed);
        std::mt19937 random(kSeed);
        std::uniform_real_distribution<double> bend(0, kRandomStartDegrees);
        std::uniform_real_distribution<double> plane(0, 2 * std::numbers::pi);
        for (int start = 0; start < kRandomStarts; ++start) {
            Variables drawn(variables());
            for (std::size_t k = 0; k < m_free.size(); ++k) {
                const double degrees = bend(random);
                const double towards = plane(random);
                drawn[2 * k] = degrees * std::cos(towards);
                drawn[2 * k + 1] = degrees * std::sin(towards);
            }
            starts.push_back(drawn);
        }
        std::optional<Attempt> chosen;
        bool chosenReaches = false;
        for (const Variables& start : starts) {
            Attempt attempt = solve(start);
            const bool reaches = attempt.miss <= kFoundMm
                && outletReaches(ChamberRoute::trace(m_development, bendsAt(attempt.x, attempt.pieces)), m_target);
            const bool better = !chosen || (reaches && !chosenReaches)
                || (reaches && dot(attempt.x, attempt.x) < dot(chosen->x, chosen->x))
                || (!reaches && !chosenReaches && attempt.miss < chosen->miss);
            if (better) {
                chosen = std::move(attempt);
                chosenReaches = reaches;
            }
        }
        m_reached = chosenReaches;
        return *chosen;
    }

    [[nodiscard]] bool reached() const { return m_reached; }

    [[nodiscard]] Attempt solve(Variables x)
    {
        resetPieces();
        for (;;) {
            keepWithin(x);
            x = restore(std::move(x));
            x = leastBending(std::move(x));
            x = restore(std::move(x));
            // Where a bend is held at what its pieces take, more pieces may let it go further.
            bool raised = false;
            for (std::size_t k = 0; k < m_free.size(); ++k) {
                const double limit = limitOf(k);
                int& pieces = m_pieces[m_free[k]];
                if (std::hypot(x[2 * k], x[2 * k + 1]) < limit - 2 * kStepDegrees)
                    continue;
                while (pieces < kMostBendPieces && limitOf(k) <= limit)
                    ++pieces;
                raised = raised || limitOf(k) > limit;
            }
            if (!raised)
                return {x, m_pieces, norm(constraints(x))};
        }
    }

private:
    void resetPieces()
    {
        for (std::size_t i = 0; i < kChamberSections.size(); ++i)
            m_pieces[i] = m_bends[i].pieces;
    }

    [[nodiscard]] double limitOf(std::size_t k) const
    {
        return std::max(m_largest[k][static_cast<std::size_t>(m_pieces[m_free[k]])] - kLimitMarginDegrees, 0.0);
    }

    // The constraints' derivatives by forward differences: the constraints themselves are met
    // exactly, and a slope a step's worth off moves the least bending found by its square.
    [[nodiscard]] SmallMatrix jacobianAt(const Variables& x, const std::vector<double>& at) const
    {
        SmallMatrix jacobian(at.size(), x.size());
        for (std::size_t j = 0; j < x.size(); ++j) {
            Variables shifted = x;
            shifted[j] = x[j] + kStepDegrees;
            const std::vector<double> ahead = constraints(shifted);
            for (std::size_t i = 0; i < at.size(); ++i)
                jacobian(i, j) = (ahead[i] - at[i]) / kStepDegrees;
        }
        return jacobian;
    }

    // Levenberg-Marquardt on the constraints alone: the outlet brought onto the target, or as near
    // as the search comes.
    [[nodiscard]] Variables restore(Variables x) const
    {
        std::vector<double> at = constraints(x);
        double damping = kFirstDamping;
        int stalled = 0;
        for (int step = 0; step < kRestoreSteps && norm(at) > kSolvedMm && stalled < kStallSteps; ++step) {
            const SmallMatrix jacobian = jacobianAt(x, at);
            bool better = false;
            while (!better && damping < kMostDamping) {
                // A section held at the largest bend its pieces take, where the step would take it
                // further, is left out of the step, so that the others do what it cannot.
                std::vector<bool> held(m_free.size());
                Variables move;
                do {
                    const SmallMatrix usable = withoutHeld(jacobian, held);
                    const SymmetricEigen normal = symmetricEigen(usable.transposed() * usable);
                    move = inverseTimes(normal, usable.transposed() * at, x.size(),
                                        damping * std::max(normal.values.front(), kRankShare));
                    for (double& part : move)
                        part = -part;
                } while (holdAtLimits(x, move, held));
                Variables trial = x;
                for (std::size_t i = 0; i < x.size(); ++i)
                    trial[i] += move[i];
                keepWithin(trial);
                const std::vector<double> trialAt = constraints(trial);
                if (norm(trialAt) < norm(at)) {
                    stalled = norm(trialAt) > kStallRatio * norm(at) ? stalled + 1 : 0;
                    x = std::move(trial);
                    at = trialAt;
                    damping /= 4;
                    better = true;
                } else {
                    damping *= 8;
                }
            }
            if (!better)
                break;
        }
        return x;
    }

    // Marks the sections at their limit that `x + move` would bend further; whether any was new.
    bool holdAtLimits(const Variables& x, const Variables& move, std::vector<bool>& held) const
    {
        bool more = false;
        for (std::size_t k = 0; k < m_free.size(); ++k) {
            const double now = std::hypot(x[2 * k], x[2 * k + 1]);
            if (held[k] || now < limitOf(k) - kAtLimitDegrees)
                continue;
            if (std::hypot(x[2 * k] + move[2 * k], x[2 * k + 1] + move[2 * k + 1]) > now) {
                held[k] = true;
                more = true;
            }
        }
        return more;
    }

    [[nodiscard]] static SmallMatrix withoutHeld(SmallMatrix jacobian, const std::vector<bool>& held)
    {
        for (std::size_t k = 0; k < held.size(); ++k) {
            for (std::size_t i = 0; held[k] && i < jacobian.rows(); ++i)
                jacobian(i, 2 * k) = jacobian(i, 2 * k + 1) = 0;
        }
        return jacobian;
    }

    struct NewtonStep {
        Variables direction;
        SymmetricEigen normal;  // of JᵀJ, the held sections' columns naught
        SmallMatrix jacobianT;
        std::size_t rank = 0;
        bool stationary = false;
    };

    // The step onto the constraints, least in length, and the Newton step along them with the
    // curvature gathered so far; the held sections kept where they are.
    [[nodiscard]] static NewtonStep newtonStep(const Variables& x, const std::vector<double>& at, const SmallMatrix& jacobian,
                                               SmallMatrix hessian, const std::vector<bool>& held)
    {
        const std::size_t n = x.size();
        Variables gradient(n);
        for (std::size_t i = 0; i < n; ++i) {
            const bool still = held[i / 2];
            gradient[i] = still ? 0 : 2 * x[i];
            for (std::size_t j = 0; j < n; ++j) {
                if (still || held[j / 2])
                    hessian(i, j) = i == j ? 1 : 0;
            }
        }
        NewtonStep step{Variables(n), symmetricEigen(jacobian.transposed() * jacobian), jacobian.transposed(), 0, false};
        step.rank = rankOf(step.normal, kRankShare);
        const Variables normalStep = inverseTimes(step.normal, step.jacobianT * at, step.rank);
        // The null space's basis Z, and the Newton step along it.
        const std::size_t free = n - step.rank;
        SmallMatrix basis(n, free);
        for (std::size_t i = 0; i < n; ++i) {
            for (std::size_t k = 0; k < free; ++k)
                basis(i, k) = step.normal.vectors(i, step.rank + k);
        }
        const SmallMatrix basisT = basis.transposed();
        const SymmetricEigen reduced = symmetricEigen(basisT * hessian * basis);
        Variables pull = hessian * normalStep;
        for (std::size_t i = 0; i < n; ++i)
            pull[i] = gradient[i] - pull[i];
        const std::vector<double> reducedPull = basisT * pull;
        step.stationary = norm(reducedPull) <= kStationary * std::max(1.0, norm(gradient)) && norm(at) <= kSolvedMm;
        Variables along(free);
        for (std::size_t k = 0; k < free; ++k) {
            double component = 0;
            for (std::size_t i = 0; i < free; ++i)
                component += reduced.vectors(i, k) * reducedPull[i];
            for (std::size_t i = 0; i < free; ++i)
                along[i] -= reduced.vectors(i, k) * component / std::max(reduced.values[k], kLeastCurvature);
        }
        const Variables tangent = basis * along;
        for (std::size_t i = 0; i < n; ++i)
            step.direction[i] = tangent[i] - normalStep[i];
        return step;
    }

    // Newton's method on the conditions of the least bending on the constraints: the step in the
    // constraints' null space with the Lagrangian's curvature, gathered step by step (BFGS), and
    // the step onto them; each judged by the exact penalty |x|² + ρ|c|.
    [[nodiscard]] Variables leastBending(Variables x) const
    {
        double weight = 0;
        SmallMatrix hessian = SmallMatrix::identity(x.size());
        for (std::size_t i = 0; i < x.size(); ++i)
            hessian(i, i) = 2;
        Variables previous;
        SmallMatrix previousJacobianT;
        std::vector<double> at = constraints(x);
        for (int step = 0; step < kNewtonSteps; ++step) {
            const SmallMatrix jacobian = jacobianAt(x, at);
            const std::size_t n = x.size();
            const SmallMatrix jacobianT = jacobian.transposed();
            const std::size_t rank = rankOf(symmetricEigen(jacobianT * jacobian), kRankShare);
            if (rank == n)
                break;
            Variables gradient(n);
            for (std::size_t i = 0; i < n; ++i)
                gradient[i] = 2 * x[i];
            const std::vector<double> multipliers = inverseTimes(symmetricEigen(jacobian * jacobianT), jacobian * gradient, rank);
            if (!previous.empty()) {
                Variables change(n);
                Variables turn(n);
                const Variables now = jacobianT * multipliers;
                const Variables before = previousJacobianT * multipliers;
                for (std::size_t i = 0; i < n; ++i) {
                    change[i] = x[i] - previous[i];
                    turn[i] = 2 * change[i] - (now[i] - before[i]);
                }
                updateCurvature(hessian, change, std::move(turn));
            }
            previous = x;
            previousJacobianT = jacobianT;
            std::vector<bool> held(m_free.size());
            NewtonStep newton;
            do {
                newton = newtonStep(x, at, withoutHeld(jacobian, held), hessian, held);
            } while (holdAtLimits(x, newton.direction, held));
            if (newton.stationary)
                break;
            const Variables& direction = newton.direction;
            weight = std::max(weight, 2 * norm(multipliers) + 1);
            const auto merit = [&](const Variables& y, const std::vector<double>& values) {
                return dot(y, y) + weight * norm(values);
            };
            const double now = merit(x, at);
            bool accepted = false;
            double length = 1;
            for (int halving = 0; halving < kLineSearchHalvings && !accepted; ++halving, length /= 2) {
                Variables trial = x;
                for (std::size_t i = 0; i < n; ++i)
                    trial[i] += length * direction[i];
                keepWithin(trial);
                std::vector<double> trialAt = constraints(trial);
                if (merit(trial, trialAt) >= now && halving == 0) {
                    // The second-order correction: back onto the constraints from the full step.
                    const Variables back = inverseTimes(newton.normal, newton.jacobianT * trialAt, newton.rank);
                    for (std::size_t i = 0; i < n; ++i)
                        trial[i] -= back[i];
                    keepWithin(trial);
                    trialAt = constraints(trial);
                }
                if (merit(trial, trialAt) < now) {
                    x = std::move(trial);
                    at = std::move(trialAt);
                    accepted = true;
                }
            }
            if (!accepted)
                break;
        }
        return x;
    }

    const ChamberDevelopment& m_development;
    ChamberBends m_bends;
    FitTarget m_target;
    std::vector<std::size_t> m_free;
    Vector3 m_wanted;
    std::vector<Vector3> m_across;
    double m_scale = 0;
    std::vector<std::array<double, kMostBendPieces + 1>> m_largest;
    std::array<int, kChamberSections.size()> m_pieces{};
    bool m_reached = false;
};

}  // namespace

FitAttempt searchFit(const ChamberDevelopment& development, const ChamberBends& bends, const FreeSections& free,
                     const FitTarget& target, bool withDirection)
{
    Search search(development, bends, free, target, withDirection);
    const Attempt best = search.best(bends);
    return {search.bendsAt(best.x, best.pieces), dot(best.x, best.x), search.reached()};
}

}  // namespace scaricometro
