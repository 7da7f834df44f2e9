// Qt's own texts in Italian, as the rest of the program: the file dialog's columns and buttons,
// the message boxes' buttons, a field's edit menu. Loaded when a dialog, a message or a menu
// first needs them, so that starting the program reads no translation.
#pragma once

namespace scaricometro {

void useQtItalian();

}  // namespace scaricometro
