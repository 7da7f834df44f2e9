// A loop over cells written once for two kinds of number: a pack of as many doubles as the
// vector registers hold, for the run of whole packs, and a plain double for the cells left over.
// The same operations in the same order on each lane, so the results are the same to the last bit
// whichever a cell falls to.
//
// The loops are compiled once for each instruction set the program can choose at run time, and
// everything here is local to the file that includes it (the unnamed namespace; and the lanes'
// own minimum, maximum and the like rather than the standard library's templates for double): the
// same inline function compiled for two instruction sets must never be one symbol at link time,
// or a processor without the wider set could be handed its copy.
#pragma once

#include <experimental/simd>

#include <cmath>
#include <cstddef>

namespace scaricometro::waves {
namespace {
namespace lanes {

namespace stdx = std::experimental;
using Pack = stdx::native_simd<double>;
inline constexpr std::size_t kWidth = Pack::size();

// Everything here is inlined whatever the compiler would judge: a call passes a pack through
// memory, which costs more than the operation.

// Reads or writes the number at `i` (a pack: from `i` on).
template <typename T>
[[nodiscard]] [[gnu::always_inline]] inline T load(const double* values, std::size_t i)
{
    if constexpr (std::is_same_v<T, double>)
        return values[i];
    else
        return T(values + i, stdx::element_aligned);
}

[[gnu::always_inline]] inline void store(double* values, std::size_t i, double value)
{
    values[i] = value;
}

[[gnu::always_inline]] inline void store(double* values, std::size_t i, const Pack& value)
{
    value.copy_to(values + i, stdx::element_aligned);
}

// `whenTrue` where `condition` holds, else `whenFalse`, lane by lane.
[[nodiscard]] [[gnu::always_inline]] inline double select(bool condition, double whenTrue, double whenFalse)
{
    return condition ? whenTrue : whenFalse;
}

[[nodiscard]] [[gnu::always_inline]] inline Pack select(const Pack::mask_type& condition, const Pack& whenTrue, Pack whenFalse)
{
    stdx::where(condition, whenFalse) = whenTrue;
    return whenFalse;
}

// As std::min, std::max, std::abs and std::sqrt, lane by lane.
[[nodiscard]] [[gnu::always_inline]] inline double min(double a, double b)
{
    return b < a ? b : a;
}

[[nodiscard]] [[gnu::always_inline]] inline double max(double a, double b)
{
    return a < b ? b : a;
}

[[nodiscard]] [[gnu::always_inline]] inline double abs(double a)
{
    return __builtin_fabs(a);
}

[[nodiscard]] [[gnu::always_inline]] inline double sqrt(double a)
{
    return __builtin_sqrt(a);
}

[[nodiscard]] [[gnu::always_inline]] inline Pack min(const Pack& a, const Pack& b)
{
    return stdx::min(a, b);
}

[[nodiscard]] [[gnu::always_inline]] inline Pack max(const Pack& a, const Pack& b)
{
    return stdx::max(a, b);
}

[[nodiscard]] [[gnu::always_inline]] inline Pack abs(const Pack& a)
{
    return stdx::abs(a);
}

[[nodiscard]] [[gnu::always_inline]] inline Pack sqrt(const Pack& a)
{
    return stdx::sqrt(a);
}

// The largest of the numbers it is given, and whether a condition held for all of them; packs
// are kept lane by lane and folded once, at the end.
class Survey {
public:
    [[gnu::always_inline]] inline void take(double value, bool condition)
    {
        m_largest = max(m_largest, value);
        m_all = m_all && condition;
    }
    [[gnu::always_inline]] inline void take(const Pack& values, const Pack::mask_type& condition)
    {
        m_largestLanes = max(m_largestLanes, values);
        m_allLanes = m_allLanes && condition;
    }
    [[nodiscard]] double largest() const { return max(m_largest, stdx::hmax(m_largestLanes)); }
    [[nodiscard]] bool all() const { return m_all && stdx::all_of(m_allLanes); }

private:
    double m_largest = 0;
    bool m_all = true;
    Pack m_largestLanes = 0.0;
    Pack::mask_type m_allLanes{true};
};

// A sum of the numbers it is given; packs are summed lane by lane and folded once, at the end.
class Sum {
public:
    [[gnu::always_inline]] inline void add(double value) { m_sum += value; }
    [[gnu::always_inline]] inline void add(const Pack& values) { m_lanes += values; }
    [[nodiscard]] double total() const { return stdx::reduce(m_lanes) + m_sum; }

private:
    double m_sum = 0;
    Pack m_lanes = 0.0;
};

// body(i, T{}) for every i from `from` to `to` (not included): packs first, then single cells.
template <typename Body>
[[gnu::flatten]] void forEach(std::size_t from, std::size_t to, Body&& body)
{
    std::size_t i = from;
    for (; i + kWidth <= to; i += kWidth)
        body(i, Pack{});
    for (; i < to; ++i)
        body(i, double{});
}

}  // namespace lanes
}  // namespace
}  // namespace scaricometro::waves
