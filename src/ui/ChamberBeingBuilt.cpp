#include "ui/ChamberBeingBuilt.h"

namespace scaricometro {

ChamberBeingBuilt::ChamberBeingBuilt(const ChamberDimensions& window, QObject* parent)
    : QObject(parent)
    , m_chamber(window)
{
}

template <typename Change>
auto ChamberBeingBuilt::changing(Change&& change)
{
    const BuiltChamber before = m_chamber;
    const auto result = change();
    const bool sameFigures = before.dimensions() == m_chamber.dimensions() && before.window() == m_chamber.window();
    if (!sameFigures || before.source() != m_chamber.source() || before.canUndo() != m_chamber.canUndo())
        Q_EMIT changed(m_chamber.canUndo());
    return result;
}

void ChamberBeingBuilt::setWindow(const ChamberDimensions& window)
{
    changing([&] {
        m_chamber.setWindow(window);
        return true;
    });
}

std::optional<SectionsRefusal> ChamberBeingBuilt::setByHand(const ChamberDimensions& typed)
{
    return changing([&] { return m_chamber.setByHand(typed); });
}

void ChamberBeingBuilt::tune(const ChamberTuning& tuning)
{
    changing([&] {
        m_chamber.tune(tuning);
        return true;
    });
}

void ChamberBeingBuilt::followWindow()
{
    changing([&] {
        m_chamber.followWindow();
        return true;
    });
}

bool ChamberBeingBuilt::undo()
{
    return changing([&] { return m_chamber.undo(); });
}

}  // namespace scaricometro
