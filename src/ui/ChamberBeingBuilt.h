// The chamber as built, shared by the window's dialogs: made when the first of them opens, told
// of the window's results after each "Calcola", and telling every dialog when one of them changes
// it.
#pragma once

#include "model/BuiltChamber.h"

#include <QObject>

#include <optional>

namespace scaricometro {

class ChamberBeingBuilt : public QObject {
    Q_OBJECT

public:
    ChamberBeingBuilt(const ChamberDimensions& window, QObject* parent);

    [[nodiscard]] const BuiltChamber& chamber() const { return m_chamber; }

    void setWindow(const ChamberDimensions& window);
    [[nodiscard]] std::optional<SectionsRefusal> setByHand(const ChamberDimensions& typed);
    void tune(const ChamberTuning& tuning);
    void followWindow();
    bool undo();

Q_SIGNALS:
    // The chamber's figures, or where they come from, have changed; `undoable` where one undo
    // would put back what the chamber held before.
    void changed(bool undoable);

private:
    // Runs `change`, and tells of it where it changed anything.
    template <typename Change>
    auto changing(Change&& change);

    BuiltChamber m_chamber;
};

}  // namespace scaricometro
