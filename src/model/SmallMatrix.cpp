#include "model/SmallMatrix.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace scaricometro {
namespace {

// Sweeps of rotations, each zeroing every off-diagonal entry once; a dozen rows need far fewer.
constexpr int kMostSweeps = 60;
// Powell's: the change kept at least this share of the curvature along the step.
constexpr double kDampedShare = 0.2;

}  // namespace

SmallMatrix SmallMatrix::transposed() const
{
    SmallMatrix result(m_columns, m_rows);
    for (std::size_t row = 0; row < m_rows; ++row) {
        for (std::size_t column = 0; column < m_columns; ++column)
            result(column, row) = (*this)(row, column);
    }
    return result;
}

SmallMatrix SmallMatrix::operator*(const SmallMatrix& right) const
{
    SmallMatrix result(m_rows, right.m_columns);
    for (std::size_t row = 0; row < m_rows; ++row) {
        for (std::size_t column = 0; column < right.m_columns; ++column) {
            double sum = 0;
            for (std::size_t k = 0; k < m_columns; ++k)
                sum += (*this)(row, k) * right(k, column);
            result(row, column) = sum;
        }
    }
    return result;
}

std::vector<double> SmallMatrix::operator*(const std::vector<double>& vector) const
{
    std::vector<double> result(m_rows);
    for (std::size_t row = 0; row < m_rows; ++row) {
        for (std::size_t k = 0; k < m_columns; ++k)
            result[row] += (*this)(row, k) * vector[k];
    }
    return result;
}

SmallMatrix SmallMatrix::identity(std::size_t size)
{
    SmallMatrix result(size, size);
    for (std::size_t i = 0; i < size; ++i)
        result(i, i) = 1;
    return result;
}

// Cyclic Jacobi: each rotation zeroes one off-diagonal entry, until they are all below rounding.
SymmetricEigen symmetricEigen(SmallMatrix a)
{
    const std::size_t size = a.rows();
    SmallMatrix vectors = SmallMatrix::identity(size);
    for (int sweep = 0; sweep < kMostSweeps; ++sweep) {
        double off = 0;
        double diagonal = 0;
        for (std::size_t p = 0; p < size; ++p) {
            diagonal += a(p, p) * a(p, p);
            for (std::size_t q = p + 1; q < size; ++q)
                off += a(p, q) * a(p, q);
        }
        if (off <= 1e-30 * diagonal || off == 0)
            break;
        for (std::size_t p = 0; p < size; ++p) {
            for (std::size_t q = p + 1; q < size; ++q) {
                if (a(p, q) == 0)
                    continue;
                const double theta = (a(q, q) - a(p, p)) / (2 * a(p, q));
                const double t = (theta >= 0 ? 1 : -1) / (std::abs(theta) + std::sqrt(theta * theta + 1));
                const double c = 1 / std::sqrt(t * t + 1);
                const double s = t * c;
                for (std::size_t k = 0; k < size; ++k) {
                    const double kp = a(k, p);
                    const double kq = a(k, q);
                    a(k, p) = c * kp - s * kq;
                    a(k, q) = s * kp + c * kq;
                }
                for (std::size_t k = 0; k < size; ++k) {
                    const double pk = a(p, k);
                    const double qk = a(q, k);
                    a(p, k) = c * pk - s * qk;
                    a(q, k) = s * pk + c * qk;
                }
                for (std::size_t k = 0; k < size; ++k) {
                    const double kp = vectors(k, p);
                    const double kq = vectors(k, q);
                    vectors(k, p) = c * kp - s * kq;
                    vectors(k, q) = s * kp + c * kq;
                }
            }
        }
    }
    std::vector<std::size_t> order(size);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::ranges::sort(order, [&](std::size_t i, std::size_t j) { return a(i, i) > a(j, j); });
    SymmetricEigen result{std::vector<double>(size), SmallMatrix(size, size)};
    for (std::size_t i = 0; i < size; ++i) {
        result.values[i] = a(order[i], order[i]);
        for (std::size_t k = 0; k < size; ++k)
            result.vectors(k, i) = vectors(k, order[i]);
    }
    return result;
}

std::size_t rankOf(const SymmetricEigen& eigen, double share)
{
    std::size_t rank = 0;
    while (rank < eigen.values.size() && eigen.values[rank] > share * eigen.values.front())
        ++rank;
    return rank;
}

std::vector<double> inverseTimes(const SymmetricEigen& eigen, const std::vector<double>& b, std::size_t rank, double damping)
{
    std::vector<double> result(b.size());
    for (std::size_t k = 0; k < std::min(rank, b.size()); ++k) {
        double along = 0;
        for (std::size_t i = 0; i < b.size(); ++i)
            along += eigen.vectors(i, k) * b[i];
        const double value = std::max(eigen.values[k], 0.0) + damping;
        for (std::size_t i = 0; i < b.size(); ++i)
            result[i] += eigen.vectors(i, k) * along / value;
    }
    return result;
}

void updateCurvature(SmallMatrix& curvature, const std::vector<double>& step, std::vector<double> change)
{
    const std::size_t n = step.size();
    const std::vector<double> bent = curvature * step;
    const double curved = dot(step, bent);
    const double along = dot(step, change);
    if (!(curved > 0))
        return;
    const double theta = along >= kDampedShare * curved ? 1 : (1 - kDampedShare) * curved / (curved - along);
    for (std::size_t i = 0; i < n; ++i)
        change[i] = theta * change[i] + (1 - theta) * bent[i];
    const double turned = dot(step, change);
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = 0; j < n; ++j)
            curvature(i, j) += change[i] * change[j] / turned - bent[i] * bent[j] / curved;
    }
}

double dot(const std::vector<double>& a, const std::vector<double>& b)
{
    return std::inner_product(a.begin(), a.end(), b.begin(), 0.0);
}

double norm(const std::vector<double>& a)
{
    return std::sqrt(dot(a, a));
}

}  // namespace scaricometro
