// The window's fixed layout as data: every caption, field and the button, with its box in twips
// (15 to a logical pixel), its text, font, alignment and place in the tab order. Form1 builds
// itself from this table and nothing else.
#pragma once

#include <QColor>
#include <QRect>
#include <QStringView>
#include <Qt>

#include <array>
#include <cstddef>
#include <optional>

namespace scaricometro {

inline constexpr int kTwipsPerPixel = 15;

struct TwipRect {
    int left;
    int top;
    int width;
    int height;
};

constexpr QRect toPixels(TwipRect box)
{
    return {box.left / kTwipsPerPixel, box.top / kTwipsPerPixel, box.width / kTwipsPerPixel,
            box.height / kTwipsPerPixel};
}

constexpr bool onPixelGrid(TwipRect box)
{
    return box.left % kTwipsPerPixel == 0 && box.top % kTwipsPerPixel == 0
        && box.width % kTwipsPerPixel == 0 && box.height % kTwipsPerPixel == 0;
}

inline constexpr QStringView kWindowTitle = u"Scaricometro";
inline constexpr TwipRect kClientArea{2220, 2400, 10110, 7395};
inline constexpr QRgb kWindowColor = 0xE0E0E0;
inline constexpr QRgb kBlack = 0x000000;
inline constexpr QRgb kBlue = 0x0000FF;

enum class ControlKind { Caption, Field, Button };

enum class FontRole {
    Window,   // the window's own plain font, for captions that carry none of their own
    Caption,  // Arial bold
    Field,    // Arial regular
    Mark,     // Lucida Console bold, for the corner mark
};

struct Control {
    QStringView name;
    ControlKind kind;
    TwipRect box;
    QStringView text;
    FontRole font;
    Qt::AlignmentFlag alignment;
    int tabIndex;
    std::optional<QRgb> textColor;  // none: the window's text colour, black
};

// In reading order: mark, input row, captions on the chamber drawing, result rows, note.
inline constexpr std::array kControls{
    Control{u"Label28", ControlKind::Caption, {120, 120, 1095, 495}, u"TQV", FontRole::Mark, Qt::AlignLeft, 43, {}},
    Control{u"Label1", ControlKind::Caption, {1800, 480, 855, 615}, u"Gradi Scarico", FontRole::Caption, Qt::AlignHCenter, 4, {}},
    Control{u"Label2", ControlKind::Caption, {3120, 480, 855, 735}, u"Velocità onda sonica", FontRole::Caption, Qt::AlignHCenter, 5, {}},
    Control{u"Label3", ControlKind::Caption, {4440, 480, 855, 615}, u"Giri/min massimi", FontRole::Caption, Qt::AlignHCenter, 6, {}},
    Control{u"Label4", ControlKind::Caption, {5760, 480, 855, 615}, u"Corsa motore", FontRole::Caption, Qt::AlignHCenter, 7, {}},
    Control{u"Label5", ControlKind::Caption, {6960, 480, 1215, 855}, u"diam.interno collettore scarico", FontRole::Caption, Qt::AlignHCenter, 8, {}},
    Control{u"Label6", ControlKind::Caption, {120, 1440, 1575, 255}, u"Inserisci i dati :", FontRole::Caption, Qt::AlignLeft, 9, {}},
    Control{u"Text1", ControlKind::Field, {1680, 1440, 1095, 285}, u"203", FontRole::Field, Qt::AlignHCenter, 0, {}},
    Control{u"Text2", ControlKind::Field, {3000, 1440, 1095, 285}, u"510", FontRole::Field, Qt::AlignHCenter, 1, {}},
    Control{u"Text3", ControlKind::Field, {4320, 1440, 1095, 285}, u"12000", FontRole::Field, Qt::AlignHCenter, 2, {}},
    Control{u"Text4", ControlKind::Field, {5640, 1440, 1095, 285}, u"39,3", FontRole::Field, Qt::AlignHCenter, 3, {}},
    Control{u"Text15", ControlKind::Field, {6960, 1440, 1095, 285}, u"29", FontRole::Field, Qt::AlignHCenter, 40, {}},
    Control{u"Command1", ControlKind::Button, {8400, 1320, 1095, 495}, u"Calcola", FontRole::Caption, Qt::AlignHCenter, 41, {}},
    Control{u"Label7", ControlKind::Caption, {600, 3120, 255, 255}, u"D1", FontRole::Window, Qt::AlignLeft, 10, {}},
    Control{u"Label8", ControlKind::Caption, {6840, 3120, 255, 255}, u"D4", FontRole::Window, Qt::AlignLeft, 11, {}},
    Control{u"Label9", ControlKind::Caption, {3840, 3120, 255, 255}, u"D2", FontRole::Window, Qt::AlignLeft, 12, {}},
    Control{u"Label10", ControlKind::Caption, {5400, 3120, 255, 255}, u"D3", FontRole::Window, Qt::AlignLeft, 13, {}},
    Control{u"Label11", ControlKind::Caption, {1320, 2040, 255, 255}, u"L1", FontRole::Window, Qt::AlignLeft, 14, kBlue},
    Control{u"Label12", ControlKind::Caption, {2520, 2040, 255, 255}, u"L2", FontRole::Window, Qt::AlignLeft, 15, kBlue},
    Control{u"Label13", ControlKind::Caption, {4440, 2040, 255, 255}, u"L3", FontRole::Window, Qt::AlignLeft, 16, kBlue},
    Control{u"Label14", ControlKind::Caption, {5520, 2040, 255, 255}, u"L4", FontRole::Window, Qt::AlignLeft, 17, kBlue},
    Control{u"Label15", ControlKind::Caption, {6480, 2040, 255, 255}, u"L5", FontRole::Window, Qt::AlignLeft, 18, kBlue},
    Control{u"Label16", ControlKind::Caption, {8040, 2040, 255, 255}, u"L6", FontRole::Window, Qt::AlignLeft, 19, kBlue},
    Control{u"Label22", ControlKind::Caption, {720, 4080, 255, 255}, u"L1", FontRole::Caption, Qt::AlignLeft, 25, kBlack},
    Control{u"Label21", ControlKind::Caption, {2400, 4080, 255, 255}, u"L2", FontRole::Caption, Qt::AlignLeft, 24, kBlack},
    Control{u"Label20", ControlKind::Caption, {4080, 4080, 255, 255}, u"L3", FontRole::Caption, Qt::AlignLeft, 23, kBlack},
    Control{u"Label19", ControlKind::Caption, {5760, 4080, 255, 255}, u"L4", FontRole::Caption, Qt::AlignLeft, 22, kBlack},
    Control{u"Label18", ControlKind::Caption, {7440, 4080, 255, 255}, u"L5", FontRole::Caption, Qt::AlignLeft, 21, kBlack},
    Control{u"Label17", ControlKind::Caption, {9000, 4080, 255, 255}, u"L6", FontRole::Caption, Qt::AlignLeft, 20, kBlack},
    Control{u"Text5", ControlKind::Field, {120, 4440, 1455, 285}, u"Text5", FontRole::Field, Qt::AlignHCenter, 26, {}},
    Control{u"Text6", ControlKind::Field, {1800, 4440, 1455, 285}, u"Text6", FontRole::Field, Qt::AlignHCenter, 27, {}},
    Control{u"Text7", ControlKind::Field, {3480, 4440, 1455, 285}, u"Text7", FontRole::Field, Qt::AlignHCenter, 28, {}},
    Control{u"Text8", ControlKind::Field, {5160, 4440, 1455, 285}, u"Text8", FontRole::Field, Qt::AlignHCenter, 29, {}},
    Control{u"Text9", ControlKind::Field, {6840, 4440, 1455, 285}, u"Text9", FontRole::Field, Qt::AlignHCenter, 30, {}},
    Control{u"Text10", ControlKind::Field, {8520, 4440, 1455, 285}, u"Text10", FontRole::Field, Qt::AlignHCenter, 31, {}},
    Control{u"Label29", ControlKind::Caption, {2280, 5040, 1815, 255}, u"Lunghezza Totale", FontRole::Caption, Qt::AlignLeft, 45, {}},
    Control{u"Text16", ControlKind::Field, {4200, 5040, 3255, 285}, u"Text16", FontRole::Field, Qt::AlignHCenter, 44, {}},
    Control{u"Label23", ControlKind::Caption, {2400, 5520, 255, 255}, u"D1", FontRole::Caption, Qt::AlignLeft, 32, kBlack},
    Control{u"Label24", ControlKind::Caption, {4080, 5520, 255, 255}, u"D2", FontRole::Caption, Qt::AlignLeft, 33, kBlack},
    Control{u"Label25", ControlKind::Caption, {5760, 5520, 255, 255}, u"D3", FontRole::Caption, Qt::AlignLeft, 34, kBlack},
    Control{u"Label26", ControlKind::Caption, {7440, 5520, 255, 255}, u"D4", FontRole::Caption, Qt::AlignLeft, 35, kBlack},
    Control{u"Text11", ControlKind::Field, {1800, 5880, 1455, 285}, u"Text11", FontRole::Field, Qt::AlignHCenter, 36, {}},
    Control{u"Text12", ControlKind::Field, {3480, 5880, 1455, 285}, u"Text12", FontRole::Field, Qt::AlignHCenter, 37, {}},
    Control{u"Text13", ControlKind::Field, {5160, 5880, 1455, 285}, u"Text13", FontRole::Field, Qt::AlignHCenter, 38, {}},
    Control{u"Text14", ControlKind::Field, {6840, 5880, 1455, 285}, u"Text14", FontRole::Field, Qt::AlignHCenter, 39, {}},
    Control{u"Label27", ControlKind::Caption, {1800, 6600, 6615, 735},
                u"I dati sono tutti espressi in mm, D significa diametro e L lunghezza. Realizzazione Tessaro*6, dati e calcoli Brivadone",
                FontRole::Caption, Qt::AlignHCenter, 42, {}},
};

constexpr bool sameName(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i] != b[i])
            return false;
    }
    return true;
}

// The place of the control called `name` in kControls, if there is one.
constexpr std::optional<std::size_t> controlIndex(QStringView name)
{
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        if (sameName(kControls[i].name, name))
            return i;
    }
    return std::nullopt;
}

// A control of kControls as another table names it. The name is looked up when that table is
// compiled, so a misspelt name, or the name of a control of another kind, fails the build.
template <ControlKind Kind>
class ControlName {
public:
    template <std::size_t Length>
    consteval ControlName(const char16_t (&name)[Length])  // implicit, so tables read as names
        : m_index(indexOf(QStringView(name)))
    {
    }

    [[nodiscard]] constexpr std::size_t index() const { return m_index; }
    [[nodiscard]] constexpr QStringView name() const { return kControls[m_index].name; }

private:
    static consteval std::size_t indexOf(QStringView name)
    {
        const std::optional<std::size_t> index = controlIndex(name);
        if (!index)
            throw "no control has this name";
        if (kControls[*index].kind != Kind)
            throw "the control of this name is of another kind";
        return *index;
    }

    std::size_t m_index;
};

using CaptionName = ControlName<ControlKind::Caption>;
using FieldName = ControlName<ControlKind::Field>;
using ButtonName = ControlName<ControlKind::Button>;

static_assert(onPixelGrid(kClientArea));
static_assert([] {
    for (const Control& control : kControls) {
        if (!onPixelGrid(control.box))
            return false;
    }
    return true;
}(), "every box must fall on whole logical pixels");

}  // namespace scaricometro
