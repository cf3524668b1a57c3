#include "key_codes.h"

#include <algorithm>
#include <array>
#include <utility>

namespace motor::panel {
namespace {

using KeyCode = std::pair<int, std::int32_t>;  // Qt key, virtual-key code

// Keys that Qt names the same on the keypad and elsewhere but Windows tells apart.
constexpr auto keypad_operators = std::to_array<KeyCode>({
    {Qt::Key_Asterisk, 106},
    {Qt::Key_Plus, 107},
    {Qt::Key_Minus, 109},
    {Qt::Key_Period, 110},
    {Qt::Key_Slash, 111},
});

// Every other key with a code. Shifted symbols give the code of the key that carries them
// (US layout), as Windows reports the key, not the character.
constexpr auto other_keys = std::to_array<KeyCode>({
    {Qt::Key_Backspace, 8},
    {Qt::Key_Tab, 9},
    {Qt::Key_Backtab, 9},
    {Qt::Key_Clear, 12},
    {Qt::Key_Return, 13},
    {Qt::Key_Enter, 13},
    {Qt::Key_Shift, 16},
    {Qt::Key_Control, 17},
    {Qt::Key_Alt, 18},
    {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20},
    {Qt::Key_Escape, 27},
    {Qt::Key_Space, 32},
    {Qt::Key_PageUp, 33},
    {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},
    {Qt::Key_Home, 36},
    {Qt::Key_Left, 37},
    {Qt::Key_Up, 38},
    {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},
    {Qt::Key_Select, 41},
    {Qt::Key_Printer, 42},
    {Qt::Key_Execute, 43},
    {Qt::Key_Print, 44},
    {Qt::Key_SysReq, 44},
    {Qt::Key_Insert, 45},
    {Qt::Key_Delete, 46},
    {Qt::Key_Help, 47},
    {Qt::Key_ParenRight, 48},
    {Qt::Key_Exclam, 49},
    {Qt::Key_At, 50},
    {Qt::Key_NumberSign, 51},
    {Qt::Key_Dollar, 52},
    {Qt::Key_Percent, 53},
    {Qt::Key_AsciiCircum, 54},
    {Qt::Key_Ampersand, 55},
    {Qt::Key_Asterisk, 56},
    {Qt::Key_ParenLeft, 57},
    {Qt::Key_Meta, 91},
    {Qt::Key_Super_L, 91},
    {Qt::Key_Super_R, 92},
    {Qt::Key_Menu, 93},
    {Qt::Key_Sleep, 95},
    {Qt::Key_NumLock, 144},
    {Qt::Key_ScrollLock, 145},
    {Qt::Key_Semicolon, 186},
    {Qt::Key_Colon, 186},
    {Qt::Key_Equal, 187},
    {Qt::Key_Plus, 187},
    {Qt::Key_Comma, 188},
    {Qt::Key_Less, 188},
    {Qt::Key_Minus, 189},
    {Qt::Key_Underscore, 189},
    {Qt::Key_Period, 190},
    {Qt::Key_Greater, 190},
    {Qt::Key_Slash, 191},
    {Qt::Key_Question, 191},
    {Qt::Key_QuoteLeft, 192},
    {Qt::Key_AsciiTilde, 192},
    {Qt::Key_BracketLeft, 219},
    {Qt::Key_BraceLeft, 219},
    {Qt::Key_Backslash, 220},
    {Qt::Key_Bar, 220},
    {Qt::Key_BracketRight, 221},
    {Qt::Key_BraceRight, 221},
    {Qt::Key_Apostrophe, 222},
    {Qt::Key_QuoteDbl, 222},
    {Qt::Key_AltGr, 18},
});

std::int32_t look_up(const auto& table, int qt_key) {
    const auto it = std::find_if(table.begin(), table.end(),
                                 [qt_key](const KeyCode& k) { return k.first == qt_key; });
    return it == table.end() ? 0 : it->second;
}

// The virtual-key code as Windows names the key, before the keypad substitutions.
std::int32_t virtual_key(int qt_key, bool keypad) {
    if (qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z) return qt_key;  // 65..90
    if (qt_key >= Qt::Key_F1 && qt_key <= Qt::Key_F24) return 112 + (qt_key - Qt::Key_F1);
    if (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9) {
        return keypad ? 96 + (qt_key - Qt::Key_0) : qt_key;  // 96..105 or 48..57
    }
    if (keypad) {
        if (const std::int32_t code = look_up(keypad_operators, qt_key)) return code;
    }
    return look_up(other_keys, qt_key);
}

// The keypad's digits, minus, point and slash are reported as the main keyboard's.
std::int32_t reported(std::int32_t code) {
    if (code >= 96 && code <= 105) return code - 96 + 48;
    if (code >= 109 && code <= 111) return code - 109 + 189;
    return code;
}

}  // namespace

std::int32_t windows_key_code(int qt_key, Qt::KeyboardModifiers modifiers) {
    return reported(virtual_key(qt_key, modifiers.testFlag(Qt::KeypadModifier)));
}

std::int32_t key_modifier_state(int qt_key, Qt::KeyboardModifiers modifiers) {
    std::int32_t state = 0;
    if (modifiers.testFlag(Qt::ControlModifier) && qt_key != Qt::Key_Control) state += 1;
    if (modifiers.testFlag(Qt::ShiftModifier) && qt_key != Qt::Key_Shift) state += 2;
    if (modifiers.testFlag(Qt::AltModifier) && qt_key != Qt::Key_Alt) state += 4;
    return state;
}

}  // namespace motor::panel
