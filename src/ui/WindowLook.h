// The window's own look, whatever the desktop's: its light colour scheme and its fonts, shared by
// the window and the dialogs it opens.
#pragma once

#include "ui/ControlLayout.h"

#include <QFont>
#include <QPalette>

#include <cstddef>

namespace scaricometro {

inline constexpr std::size_t kFontRoleCount = static_cast<std::size_t>(FontRole::Mark) + 1;

[[nodiscard]] QPalette windowColorScheme();
[[nodiscard]] QFont fontFor(FontRole role);

}  // namespace scaricometro
