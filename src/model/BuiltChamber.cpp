#include "model/BuiltChamber.h"

#include <cmath>

namespace scaricometro {

std::optional<SectionsRefusal> refusalOf(const ChamberDimensions& dimensions)
{
    using Reason = SectionsRefusal::Reason;
    for (std::size_t i = 0; i < kSectionFigures.size(); ++i) {
        const double value = dimensions.*kSectionFigures[i].value;
        if (!std::isfinite(value))
            return SectionsRefusal{Reason::NotAFigure, i};
        if (kSectionFigures[i].kind == FigureKind::Length && value < 0)
            return SectionsRefusal{Reason::NegativeLength, i};
        if (kSectionFigures[i].kind == FigureKind::Diameter && !(value > 0))
            return SectionsRefusal{Reason::DiameterNotPositive, i};
    }
    return std::nullopt;
}

ChamberDimensions withTunedLengths(const ChamberDimensions& dimensions, double factor)
{
    ChamberDimensions tuned = dimensions;
    for (std::size_t i = 0; i < kTunedLengths; ++i)
        tuned.*kSectionFigures[i].value *= factor;
    return tuned;
}

BuiltChamber::BuiltChamber(const ChamberDimensions& window)
    : m_window(window)
    , m_now{window, ChamberSource::Window, std::nullopt, window}
{
}

std::vector<std::size_t> BuiltChamber::changedFigures() const
{
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < kSectionFigures.size(); ++i) {
        if (m_now.dimensions.*kSectionFigures[i].value != m_window.*kSectionFigures[i].value)
            changed.push_back(i);
    }
    return changed;
}

void BuiltChamber::setWindow(const ChamberDimensions& window)
{
    m_window = window;
    if (m_now.source == ChamberSource::Window)
        m_now.dimensions = m_now.window = window;
}

std::optional<SectionsRefusal> BuiltChamber::setByHand(const ChamberDimensions& typed)
{
    if (const std::optional<SectionsRefusal> refusal = refusalOf(typed))
        return refusal;
    ChamberDimensions dimensions = m_now.dimensions;
    for (const SectionFigure& figure : kSectionFigures)
        dimensions.*figure.value = typed.*figure.value;
    if (dimensions == m_now.dimensions)
        return std::nullopt;
    m_now = {dimensions, ChamberSource::ByHand, std::nullopt, m_now.source == ChamberSource::Window ? m_window : m_now.window};
    m_before.reset();
    return std::nullopt;
}

void BuiltChamber::tune(const ChamberTuning& tuning)
{
    become({withTunedLengths(m_now.dimensions, tuning.factor), ChamberSource::Tuned, tuning,
            m_now.source == ChamberSource::Window ? m_window : m_now.window});
}

void BuiltChamber::followWindow()
{
    become({m_window, ChamberSource::Window, std::nullopt, m_window});
}

bool BuiltChamber::undo()
{
    if (!m_before)
        return false;
    m_now = *m_before;
    m_before.reset();
    if (m_now.source == ChamberSource::Window)
        m_now.dimensions = m_now.window = m_window;
    return true;
}

void BuiltChamber::become(State next)
{
    m_before = m_now;
    m_now = std::move(next);
}

}  // namespace scaricometro
