#pragma once
// Colours of the description on Qt palettes. Every palette made here sets all its roles, so
// no widget takes a colour from its parent: the orange of the window stays off the buttons,
// edit boxes and menu bar, which keep the system's colours.

#include <QColor>
#include <QPalette>

#include "window_description.h"

namespace motor::panel {

// A colour value 0x00BBGGRR; DEFAULT_COLOUR is the system's button face.
QColor to_qcolor(Colour colour);

// The application's palette with every role set.
QPalette system_palette();

// The palette a unit starts with: the background of the window, a label or a group box is
// the window colour, that of an edit box its base; a button keeps the system's colours.
QPalette unit_palette(const Unit& unit);

}  // namespace motor::panel
