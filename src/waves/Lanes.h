// A loop over cells written once for two kinds of number: a pack of as many doubles as the
// processor's vector registers hold, for the run of whole packs, and a plain double for the cells
// left over. The same operations in the same order on each lane, so the results are the same to
// the last bit whichever a cell falls to.
#pragma once

#include <experimental/simd>

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace scaricometro::waves::lanes {

namespace stdx = std::experimental;
using Pack = stdx::native_simd<double>;
inline constexpr std::size_t kWidth = Pack::size();

// Reads or writes the number at `i` (a pack: from `i` on).
template <typename T>
[[nodiscard]] T load(const double* values, std::size_t i)
{
    if constexpr (std::is_same_v<T, double>)
        return values[i];
    else
        return T(values + i, stdx::element_aligned);
}

inline void store(double* values, std::size_t i, double value)
{
    values[i] = value;
}

inline void store(double* values, std::size_t i, const Pack& value)
{
    value.copy_to(values + i, stdx::element_aligned);
}

// `whenTrue` where `condition` holds, else `whenFalse`, lane by lane.
[[nodiscard]] inline double select(bool condition, double whenTrue, double whenFalse)
{
    return condition ? whenTrue : whenFalse;
}

[[nodiscard]] inline Pack select(const Pack::mask_type& condition, const Pack& whenTrue, Pack whenFalse)
{
    stdx::where(condition, whenFalse) = whenTrue;
    return whenFalse;
}

// The largest of the numbers it is given, and whether a condition held for all of them; packs
// are kept lane by lane and folded once, at the end.
class Survey {
public:
    void take(double value, bool condition)
    {
        m_largest = std::max(m_largest, value);
        m_all = m_all && condition;
    }
    void take(const Pack& values, const Pack::mask_type& condition)
    {
        m_largestLanes = stdx::max(m_largestLanes, values);
        m_allLanes = m_allLanes && condition;
    }
    [[nodiscard]] double largest() const { return std::max(m_largest, stdx::hmax(m_largestLanes)); }
    [[nodiscard]] bool all() const { return m_all && stdx::all_of(m_allLanes); }

private:
    double m_largest = 0;
    bool m_all = true;
    Pack m_largestLanes = 0.0;
    Pack::mask_type m_allLanes{true};
};

// body(i, T{}) for every i from `from` to `to` (not included): packs first, then single cells.
template <typename Body>
void forEach(std::size_t from, std::size_t to, Body&& body)
{
    std::size_t i = from;
    for (; i + kWidth <= to; i += kWidth)
        body(i, Pack{});
    for (; i < to; ++i)
        body(i, double{});
}

}  // namespace scaricometro::waves::lanes
