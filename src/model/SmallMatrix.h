// Dense matrices of a dozen rows at most, for the fit's least squares: products, a symmetric
// matrix's eigenvalues and eigenvectors (Jacobi's rotations, exact enough and short), and what
// follows from them.
#pragma once

#include <cstddef>
#include <vector>

namespace scaricometro {

class SmallMatrix {
public:
    SmallMatrix() = default;
    SmallMatrix(std::size_t rows, std::size_t columns)
        : m_rows(rows)
        , m_columns(columns)
        , m_values(rows * columns)
    {
    }

    [[nodiscard]] std::size_t rows() const { return m_rows; }
    [[nodiscard]] std::size_t columns() const { return m_columns; }
    [[nodiscard]] double& operator()(std::size_t row, std::size_t column) { return m_values[row * m_columns + column]; }
    [[nodiscard]] double operator()(std::size_t row, std::size_t column) const { return m_values[row * m_columns + column]; }

    [[nodiscard]] SmallMatrix transposed() const;
    [[nodiscard]] SmallMatrix operator*(const SmallMatrix& right) const;
    [[nodiscard]] std::vector<double> operator*(const std::vector<double>& vector) const;

    [[nodiscard]] static SmallMatrix identity(std::size_t size);

private:
    std::size_t m_rows = 0;
    std::size_t m_columns = 0;
    std::vector<double> m_values;
};

// A symmetric matrix as Σ value · vector vectorᵀ: the values in descending order, the vectors the
// columns of `vectors`.
struct SymmetricEigen {
    std::vector<double> values;
    SmallMatrix vectors;
};

[[nodiscard]] SymmetricEigen symmetricEigen(SmallMatrix symmetric);

// How many of the values are above `share` of the largest: the directions the matrix does not
// flatten.
[[nodiscard]] std::size_t rankOf(const SymmetricEigen& eigen, double share);
// Σ vector (vectorᵀ b) / (value + damping) over the first `rank` pairs: without damping the
// least-length least-squares solution of the matrix times y = b, in those directions.
[[nodiscard]] std::vector<double> inverseTimes(const SymmetricEigen& eigen, const std::vector<double>& b,
                                               std::size_t rank, double damping = 0);
// Powell's damped BFGS update of a curvature from a step and the change of the gradient over it,
// kept positive definite: the change turned part of the way towards what the curvature predicts.
void updateCurvature(SmallMatrix& curvature, const std::vector<double>& step, std::vector<double> change);

[[nodiscard]] double dot(const std::vector<double>& a, const std::vector<double>& b);
[[nodiscard]] double norm(const std::vector<double>& a);

}  // namespace scaricometro
