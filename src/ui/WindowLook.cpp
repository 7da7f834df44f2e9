#include "ui/WindowLook.h"

#include <QStringList>

#include <array>
#include <iterator>

namespace scaricometro {
namespace {

// The window's own light colour scheme, whatever the desktop's: the window paints its own grey
// surface, where a dark scheme's light text could not be read. These are the standard light
// scheme's colours on the window's grey: each role's colour in an active or inactive window, and
// when disabled.
struct SchemeColor {
    QPalette::ColorRole role;
    QRgb normal;
    QRgb disabled;
};
constexpr SchemeColor kColorScheme[] = {
    {QPalette::Window, kWindowColor, kWindowColor},
    {QPalette::WindowText, kBlack, 0xBEBEBE},
    {QPalette::Base, 0xFFFFFF, 0xEFEFEF},
    {QPalette::AlternateBase, 0xF7F7F7, 0xF7F7F7},
    {QPalette::ToolTipBase, 0xFFFFDC, 0xFFFFDC},
    {QPalette::ToolTipText, kBlack, kBlack},
    {QPalette::PlaceholderText, 0x808080, 0x808080},
    {QPalette::Text, kBlack, 0xBEBEBE},
    {QPalette::Button, kWindowColor, kWindowColor},
    {QPalette::ButtonText, kBlack, 0xBEBEBE},
    {QPalette::BrightText, 0xFFFFFF, 0xFFFFFF},
    {QPalette::Light, 0xFFFFFF, 0xFFFFFF},
    {QPalette::Midlight, 0xCACACA, 0xCACACA},
    {QPalette::Dark, 0x9F9F9F, 0xBEBEBE},
    {QPalette::Mid, 0xB8B8B8, 0xB8B8B8},
    {QPalette::Shadow, 0x767676, 0xB1B1B1},
    {QPalette::Highlight, 0x308CC6, 0x919191},
    {QPalette::HighlightedText, 0xFFFFFF, 0xFFFFFF},
    {QPalette::Link, kBlue, kBlue},
    {QPalette::LinkVisited, 0xFF00FF, 0xFF00FF},
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    {QPalette::Accent, 0x308CC6, 0x919191},
#endif
};
static_assert(std::size(kColorScheme) == QPalette::NColorRoles - 1, "a colour for every role but NoRole");

struct FontFace {
    FontRole role;
    QStringView families[3];
    int pixelSize;
    QFont::Weight weight;
};

// One face for each role, in the order of FontRole. Arial resolves to a metric-compatible face
// (Liberation Sans on Debian); the mark needs its monospace fallbacks spelled out, or fontconfig
// picks a proportional face.
constexpr std::array kFonts{
    FontFace{FontRole::Window, {u"Arial"}, 11, QFont::Normal},
    FontFace{FontRole::Caption, {u"Arial"}, 13, QFont::Bold},
    FontFace{FontRole::Field, {u"Arial"}, 13, QFont::Normal},
    FontFace{FontRole::Mark, {u"Lucida Console", u"DejaVu Sans Mono", u"Liberation Mono"}, 29, QFont::Bold},
};
static_assert([] {
    for (std::size_t i = 0; i < kFonts.size(); ++i) {
        if (kFonts[i].role != static_cast<FontRole>(i))
            return false;
    }
    return kFonts.size() == kFontRoleCount;
}(), "one face for each font role, in the order of FontRole");

}  // namespace

QPalette windowColorScheme()
{
    QPalette palette;
    for (const SchemeColor& color : kColorScheme) {
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
            palette.setColor(group, color.role, QColor::fromRgb(color.normal));
        palette.setColor(QPalette::Disabled, color.role, QColor::fromRgb(color.disabled));
    }
    return palette;
}

QFont fontFor(FontRole role)
{
    const FontFace& face = kFonts[static_cast<std::size_t>(role)];
    QStringList families;
    for (QStringView family : face.families) {
        if (!family.isEmpty())
            families.append(family.toString());
    }
    QFont font(families.first());
    font.setFamilies(families);
    font.setStyleHint(role == FontRole::Mark ? QFont::Monospace : QFont::SansSerif);
    font.setPixelSize(face.pixelSize);
    font.setWeight(face.weight);
    // Every other attribute keeps its plain value rather than the desktop font's: no italic,
    // stretch or style of its own.
    font.setResolveMask(QFont::AllPropertiesResolved);
    return font;
}

}  // namespace scaricometro
