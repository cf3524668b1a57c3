#pragma once
// Qt key events to the Windows virtual-key codes that the key map compares. Qt's key() names
// the key whatever Shift or Caps Lock say, so a letter always gives its upper-case code; the
// native virtual key is no help (an X keysym on xcb, 0 in synthetic events).

#include <QtCore/qnamespace.h>

#include <cstdint>

namespace motor::panel {

// The code a key event reports: the virtual-key code with the keypad's digits, minus, point
// and slash reported as their main-keyboard codes. 0 for a key that has no code.
std::int32_t windows_key_code(int qt_key, Qt::KeyboardModifiers modifiers);

// 1 for Ctrl, 2 for Shift, 4 for Alt, added; a modifier key that is itself the key is not counted.
std::int32_t key_modifier_state(int qt_key, Qt::KeyboardModifiers modifiers);

}  // namespace motor::panel
