#include "waves/CycleSettling.h"

#include <algorithm>
#include <cmath>

namespace scaricometro::waves {

bool repeats(const PortTrace& later, const PortTrace& earlier)
{
    const auto [low, high] = std::minmax_element(later.begin(), later.end());
    const double allowed = kSettledShareOfRange * (*high - *low);
    for (std::size_t degree = 0; degree < kTracePoints; ++degree) {
        if (!(std::abs(later[degree] - earlier[degree]) <= allowed))
            return false;
    }
    return true;
}

std::optional<Settling> SettlingWatch::take(const PortTrace& port)
{
    const bool periodic = m_seen >= 1 && repeats(port, m_before[0]);
    const bool alternating = m_seen >= 2 && repeats(port, m_before[1]);
    m_inARow = periodic || alternating ? m_inARow + 1 : 0;
    m_before[1] = m_before[0];
    m_before[0] = port;
    ++m_seen;
    if (m_inARow < kSettledCyclesInARow)
        return std::nullopt;
    return periodic ? Settling::Periodic : Settling::Alternating;
}

}  // namespace scaricometro::waves
