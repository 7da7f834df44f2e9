#include "model/FitSearch.h"

#include "model/FitProblem.h"
#include "model/Space.h"
#include "model/VectorState.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <optional>
#include <random>

namespace scaricometro {
namespace {

// The least bending by a quasi-Newton method on the conditions of a constrained minimum (sequential
// quadratic programming), each start first brought onto the constraints by Levenberg-Marquardt.
// The search's own aim, far inside the tolerance, for the rounding of what it writes.
constexpr double kSolvedMm = 1e-7;
constexpr double kFoundMm = 1e-4;
constexpr int kRestoreSteps = 80;
constexpr int kNewtonSteps = 40;
// The least bending is found where the objective's gradient along the constraints is this share of
// its length, the differences' own noise not far below.
constexpr double kStationary = 1e-7;
constexpr int kLineSearchHalvings = 12;
constexpr double kPenaltyOverMultipliers = 2;
constexpr int kStallSteps = 6;
constexpr double kStallRatio = 0.999;
// Levenberg-Marquardt's damping, a share of JᵀJ's largest value: eased after a step that
// brought the outlet nearer, stiffened after one that did not.
constexpr double kFirstDamping = 1e-3;
constexpr double kDampingEased = 4;
constexpr double kDampingStiffened = 8;
constexpr double kMostDamping = 1e12;
// Directions whose squared length in JᵀJ is below this share of the largest do not move the outlet.
constexpr double kRankShare = 1e-12;
// The curvature along the constraints is taken as at least this, the objective's own being 2.
constexpr double kLeastCurvature = 0.2;
// The starts: no bend at all, then a small one in each free section, the bends given, and a few
// drawn at random up to this many degrees, the same every time.
constexpr double kNudgeDegrees = 1;
constexpr double kNudgeFirstPlane = 45;
constexpr double kNudgePlaneStep = 90;
constexpr int kRandomStarts = 4;
constexpr double kRandomStartDegrees = 60;
constexpr std::uint32_t kSeed = 20261215;

using Variables = FitProblem::Variables;

struct Attempt {
    Variables x;
    FitProblem::Pieces pieces{};
    double miss = 0;  // the constraints' length
};

// Levenberg-Marquardt on the constraints alone: the outlet brought onto the target, or as near
// as the search comes.
Variables restore(const FitProblem& problem, Variables x)
{
    std::vector<double> at = problem.constraints(x);
    double damping = kFirstDamping;
    int stalled = 0;
    for (int step = 0; step < kRestoreSteps && norm(at) > kSolvedMm && stalled < kStallSteps; ++step) {
        const SmallMatrix jacobian = problem.jacobianAt(x, at);
        bool better = false;
        while (!better && damping < kMostDamping) {
            // A section held at the largest bend its pieces take, where the step would take it
            // further, is left out of the step, so that the others do what it cannot.
            std::vector<bool> held(problem.freeSections().size());
            Variables move;
            do {
                const SmallMatrix usable = FitProblem::withoutHeld(jacobian, held);
                const SymmetricEigen normal = symmetricEigen(usable.transposed() * usable);
                move = inverseTimes(normal, usable.transposed() * at, x.size(),
                                    damping * std::max(normal.values.front(), kRankShare));
                for (double& part : move)
                    part = -part;
            } while (problem.holdAtLimits(x, move, held));
            Variables trial = x;
            for (std::size_t i = 0; i < x.size(); ++i)
                trial[i] += move[i];
            problem.keepWithin(trial);
            const std::vector<double> trialAt = problem.constraints(trial);
            if (norm(trialAt) < norm(at)) {
                stalled = norm(trialAt) > kStallRatio * norm(at) ? stalled + 1 : 0;
                x = std::move(trial);
                at = trialAt;
                damping /= kDampingEased;
                better = true;
            } else {
                damping *= kDampingStiffened;
            }
        }
        if (!better)
            break;
    }
    return x;
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
NewtonStep newtonStep(const Variables& x, const std::vector<double>& at, const SmallMatrix& jacobian, SmallMatrix hessian,
                      const std::vector<bool>& held)
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
Variables leastBending(const FitProblem& problem, Variables x)
{
    double weight = 0;
    SmallMatrix hessian = SmallMatrix::identity(x.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        hessian(i, i) = 2;
    Variables previous;
    SmallMatrix previousJacobianT;
    std::vector<double> at = problem.constraints(x);
    for (int step = 0; step < kNewtonSteps; ++step) {
        const SmallMatrix jacobian = problem.jacobianAt(x, at);
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
        std::vector<bool> held(problem.freeSections().size());
        NewtonStep newton;
        do {
            newton = newtonStep(x, at, FitProblem::withoutHeld(jacobian, held), hessian, held);
        } while (problem.holdAtLimits(x, newton.direction, held));
        if (newton.stationary)
            break;
        const Variables& direction = newton.direction;
        // The penalty is exact, its minimum the constrained one, once its weight passes the multipliers'.
        weight = std::max(weight, kPenaltyOverMultipliers * norm(multipliers) + 1);
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
            problem.keepWithin(trial);
            std::vector<double> trialAt = problem.constraints(trial);
            if (merit(trial, trialAt) >= now && halving == 0) {
                // The second-order correction: back onto the constraints from the full step.
                const Variables back = inverseTimes(newton.normal, newton.jacobianT * trialAt, newton.rank);
                for (std::size_t i = 0; i < n; ++i)
                    trial[i] -= back[i];
                problem.keepWithin(trial);
                trialAt = problem.constraints(trial);
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


Attempt solve(FitProblem& problem, Variables x)
{
    problem.resetPieces();
    for (;;) {
        problem.keepWithin(x);
        x = restore(problem, std::move(x));
        x = leastBending(problem, std::move(x));
        x = restore(problem, std::move(x));
        // Where a bend is held at what its pieces take, more pieces may let it go further.
        if (!problem.raisePieces(x))
            return {x, problem.pieces(), norm(problem.constraints(x))};
    }
}

// The best of the attempts from each start, by the route's own judgement: the least bending
// among those that reach the target, or the nearest.
Attempt best(FitProblem& problem, const ChamberBends& given, bool& reached)
{
    problem.resetPieces();
    const Variables none(problem.variables());
    const double missing = norm(problem.constraints(none));
    if (missing <= kSolvedMm || none.empty()) {
        reached = outletReaches(ChamberRoute::trace(problem.development(), problem.bendsAt(none, problem.pieces())), problem.target());
        return {none, problem.pieces(), missing};
    }
    std::vector<Variables> starts;
    Variables nudged(problem.variables());
    Variables typed(problem.variables());
    for (std::size_t k = 0; k < problem.freeSections().size(); ++k) {
        const double plane = (kNudgeFirstPlane + kNudgePlaneStep * static_cast<double>(k)) * kDegree;
        nudged[2 * k] = kNudgeDegrees * std::cos(plane);
        nudged[2 * k + 1] = kNudgeDegrees * std::sin(plane);
        const SectionBend& bend = given[problem.freeSections()[k]];
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
        Variables drawn(problem.variables());
        for (std::size_t k = 0; k < problem.freeSections().size(); ++k) {
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
        Attempt attempt = solve(problem, start);
        const bool reaches = attempt.miss <= kFoundMm
            && outletReaches(ChamberRoute::trace(problem.development(), problem.bendsAt(attempt.x, attempt.pieces)), problem.target());
        const bool better = !chosen || (reaches && !chosenReaches)
            || (reaches && dot(attempt.x, attempt.x) < dot(chosen->x, chosen->x))
            || (!reaches && !chosenReaches && attempt.miss < chosen->miss);
        if (better) {
            chosen = std::move(attempt);
            chosenReaches = reaches;
        }
    }
    reached = chosenReaches;
    return *chosen;
}



}  // namespace

FitAttempt searchFit(const ChamberDevelopment& development, const ChamberBends& bends, const FreeSections& free,
                     const FitTarget& target, bool withDirection)
{
    clearUpperVectorState();
    FitProblem problem(development, bends, free, target, withDirection);
    bool reached = false;
    const Attempt found = best(problem, bends, reached);
    return {problem.bendsAt(found.x, found.pieces), dot(found.x, found.x), reached};
}

}  // namespace scaricometro
