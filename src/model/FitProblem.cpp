#include "model/FitProblem.h"

#include "model/Space.h"

#include <algorithm>
#include <cmath>

namespace scaricometro {
namespace {

constexpr double kStepDegrees = 1e-3;
// The bends are kept this far inside the largest the pieces can take, the differences' steps with
// them; and below 180, which the dialog refuses, by a margin its rounding cannot cross.
constexpr double kLimitMarginDegrees = 0.01;
constexpr double kLargestBendDegrees = 179.9;
constexpr int kLimitSearchSteps = 40;
constexpr double kAtLimitDegrees = 1e-9;
// A section that cannot take even this bend in the most pieces would only hold the search at its
// limit: it stays as given.
constexpr double kLeastUsefulBendDegrees = 10;

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

}  // namespace

FitProblem::FitProblem(const ChamberDevelopment& development, const ChamberBends& bends, const FreeSections& free,
                       const FitTarget& target, bool withDirection)
    : m_development(development)
    , m_bends(bends)
    , m_target(target)
{
    for (std::size_t i = 0; i < kChamberSections.size(); ++i) {
        m_bends[i].pieces = std::clamp(bends[i].pieces, kFewestBendPieces, kMostBendPieces);
        m_scale += std::max(development.sections[i].length, 0.0);
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

ChamberBends FitProblem::bendsAt(const Variables& x, const Pieces& pieces) const
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

std::vector<double> FitProblem::constraints(const Variables& x) const
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

SmallMatrix FitProblem::jacobianAt(const Variables& x, const std::vector<double>& at) const
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

void FitProblem::keepWithin(Variables& x) const
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


bool FitProblem::holdAtLimits(const Variables& x, const Variables& move, std::vector<bool>& held) const
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

SmallMatrix FitProblem::withoutHeld(SmallMatrix jacobian, const std::vector<bool>& held)
{
    for (std::size_t k = 0; k < held.size(); ++k) {
        for (std::size_t i = 0; held[k] && i < jacobian.rows(); ++i)
            jacobian(i, 2 * k) = jacobian(i, 2 * k + 1) = 0;
    }
    return jacobian;
}

void FitProblem::resetPieces()
{
    for (std::size_t i = 0; i < kChamberSections.size(); ++i)
        m_pieces[i] = m_bends[i].pieces;
}

double FitProblem::limitOf(std::size_t k) const
{
    return std::max(m_largest[k][static_cast<std::size_t>(m_pieces[m_free[k]])] - kLimitMarginDegrees, 0.0);
}

bool FitProblem::raisePieces(const Variables& x)
{
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
    return raised;
}

}  // namespace scaricometro
