// The chamber as it is to be built, held while the program runs: the six lengths and the four
// diameters, which start as the window's results and may then be tuned to an rpm or changed by
// hand. Everything made from a chamber (its templates, cutting files, 3D model, route, fit and
// waves) is made from this one; the window's own results never change with it.
#pragma once

#include "model/ChamberModel.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace scaricometro {

enum class FigureKind { Length, Diameter };

// The ten figures a chamber is built from, in the order the window gives them.
struct SectionFigure {
    std::string_view name;  // "L1" ... "D4"
    FigureKind kind = FigureKind::Length;
    double ChamberDimensions::*value = nullptr;
};

inline constexpr std::array kSectionFigures{
    SectionFigure{"L1", FigureKind::Length, &ChamberDimensions::L1},
    SectionFigure{"L2", FigureKind::Length, &ChamberDimensions::L2},
    SectionFigure{"L3", FigureKind::Length, &ChamberDimensions::L3},
    SectionFigure{"L4", FigureKind::Length, &ChamberDimensions::L4},
    SectionFigure{"L5", FigureKind::Length, &ChamberDimensions::L5},
    SectionFigure{"L6", FigureKind::Length, &ChamberDimensions::L6},
    SectionFigure{"D1", FigureKind::Diameter, &ChamberDimensions::D1},
    SectionFigure{"D2", FigureKind::Diameter, &ChamberDimensions::D2},
    SectionFigure{"D3", FigureKind::Diameter, &ChamberDimensions::D3},
    SectionFigure{"D4", FigureKind::Diameter, &ChamberDimensions::D4},
};

// Where `member` stands in kSectionFigures. Where the lookup is a constant, a member that no row
// holds does not compile.
constexpr std::size_t figureIndex(double ChamberDimensions::*member)
{
    for (std::size_t i = 0; i < kSectionFigures.size(); ++i) {
        if (kSectionFigures[i].value == member)
            return i;
    }
    throw "no section figure is this member";
}

// The lengths a tuning multiplies: from the header to the convergent cone, the tailpipe as it is.
inline constexpr std::size_t kTunedLengths = 5;

// Where the chamber being built comes from.
enum class ChamberSource {
    Window,  // the window's results, following them after each "Calcola"
    Tuned,   // L1 to L5 multiplied by one factor, so that the chamber works at an rpm
    ByHand,  // sections typed
};

struct ChamberTuning {
    double targetRpm = 0;
    double factor = 1;  // L1 to L5 of the chamber before, times this
    double accordRpm = 0;
    std::optional<double> parabolaRpm;
};

// Why typed sections make no chamber: the first figure at fault, in the order of kSectionFigures.
struct SectionsRefusal {
    enum class Reason {
        NotAFigure,           // infinite or not a number
        NegativeLength,
        DiameterNotPositive,
    };
    Reason reason = Reason::NotAFigure;
    std::size_t figure = 0;  // into kSectionFigures
};

// The ten figures of `dimensions` that cannot be built from, or none; a length of 0 leaves its
// section out.
[[nodiscard]] std::optional<SectionsRefusal> refusalOf(const ChamberDimensions& dimensions);

// `dimensions` with L1 to L5 multiplied by `factor`.
[[nodiscard]] ChamberDimensions withTunedLengths(const ChamberDimensions& dimensions, double factor);

class BuiltChamber {
public:
    explicit BuiltChamber(const ChamberDimensions& window = {});

    [[nodiscard]] const ChamberDimensions& dimensions() const { return m_now.dimensions; }
    [[nodiscard]] const ChamberDimensions& window() const { return m_window; }
    [[nodiscard]] ChamberSource source() const { return m_now.source; }
    [[nodiscard]] const std::optional<ChamberTuning>& tuning() const { return m_now.tuning; }
    // Whether the window's results have changed since the chamber stopped following them.
    [[nodiscard]] bool windowChangedSince() const { return m_now.source != ChamberSource::Window && m_now.window != m_window; }
    // Which of kSectionFigures differ from the window's results.
    [[nodiscard]] std::vector<std::size_t> changedFigures() const;

    // The window's results, after each "Calcola": the chamber follows them while it is the window's.
    void setWindow(const ChamberDimensions& window);
    // The figures typed by hand, or the first that cannot be built from; then nothing changes.
    [[nodiscard]] std::optional<SectionsRefusal> setByHand(const ChamberDimensions& typed);
    // L1 to L5 of the chamber as it is multiplied by the tuning's factor.
    void tune(const ChamberTuning& tuning);
    // The window's results again ("Come la finestra").
    void followWindow();
    // What the chamber held before the last tuning or return to the window's; false where there is
    // nothing to put back. Typing sections by hand forgets it.
    bool undo();
    [[nodiscard]] bool canUndo() const { return m_before.has_value(); }

private:
    struct State {
        ChamberDimensions dimensions;
        ChamberSource source = ChamberSource::Window;
        std::optional<ChamberTuning> tuning;
        ChamberDimensions window;  // the window's results when the chamber stopped following them
    };
    void become(State next);

    ChamberDimensions m_window;
    State m_now;
    std::optional<State> m_before;
};

}  // namespace scaricometro
