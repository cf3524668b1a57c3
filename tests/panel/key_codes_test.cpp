#include "key_codes.h"

#include <gtest/gtest.h>

namespace motor::panel {
namespace {

struct KeyCase {
    const char* name;
    int key;
    Qt::KeyboardModifiers modifiers;
    std::int32_t code;
};

constexpr Qt::KeyboardModifiers none = Qt::NoModifier;
constexpr Qt::KeyboardModifiers keypad = Qt::KeypadModifier;

void PrintTo(const KeyCase& c, std::ostream* os) {
    *os << c.name;
}

class WindowsKeyCode : public testing::TestWithParam<KeyCase> {};

TEST_P(WindowsKeyCode, IsWhatTheKeyMapCompares) {
    const KeyCase& c = GetParam();
    EXPECT_EQ(windows_key_code(c.key, c.modifiers), c.code);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, WindowsKeyCode,
    testing::Values(
        // Letters are upper-case codes whatever Shift, Ctrl, Alt or Caps Lock say.
        KeyCase{"A", Qt::Key_A, none, 65}, KeyCase{"Z", Qt::Key_Z, none, 90},
        KeyCase{"ShiftA", Qt::Key_A, Qt::ShiftModifier, 65},
        KeyCase{"CtrlA", Qt::Key_A, Qt::ControlModifier, 65},
        KeyCase{"AltS", Qt::Key_S, Qt::AltModifier, 83},
        KeyCase{"CtrlShiftAltG", Qt::Key_G,
                Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier, 71},
        KeyCase{"F1", Qt::Key_F1, none, 112}, KeyCase{"F4", Qt::Key_F4, none, 115},
        KeyCase{"F7", Qt::Key_F7, none, 118}, KeyCase{"F9", Qt::Key_F9, none, 120},
        KeyCase{"F11", Qt::Key_F11, none, 122}, KeyCase{"F24", Qt::Key_F24, none, 135},
        KeyCase{"AltF4", Qt::Key_F4, Qt::AltModifier, 115}, KeyCase{"Digit0", Qt::Key_0, none, 48},
        KeyCase{"Digit9", Qt::Key_9, none, 57},
        // The keypad's digits, minus, point and slash report the main keyboard's codes.
        KeyCase{"Keypad0", Qt::Key_0, keypad, 48}, KeyCase{"Keypad1", Qt::Key_1, keypad, 49},
        KeyCase{"Keypad9", Qt::Key_9, keypad, 57},
        KeyCase{"KeypadMinus", Qt::Key_Minus, keypad, 189},
        KeyCase{"KeypadPoint", Qt::Key_Period, keypad, 190},
        KeyCase{"KeypadSlash", Qt::Key_Slash, keypad, 191},
        KeyCase{"KeypadStar", Qt::Key_Asterisk, keypad, 106},
        KeyCase{"KeypadPlus", Qt::Key_Plus, keypad, 107},
        KeyCase{"KeypadEnter", Qt::Key_Enter, keypad, 13},
        KeyCase{"KeypadHomeWithoutNumLock", Qt::Key_Home, keypad, 36},
        // Main-keyboard symbols, shifted or not, give the code of their key.
        KeyCase{"Minus", Qt::Key_Minus, none, 189},
        KeyCase{"Underscore", Qt::Key_Underscore, Qt::ShiftModifier, 189},
        KeyCase{"Plus", Qt::Key_Plus, Qt::ShiftModifier, 187},
        KeyCase{"Star", Qt::Key_Asterisk, Qt::ShiftModifier, 56},
        KeyCase{"Exclam", Qt::Key_Exclam, Qt::ShiftModifier, 49},
        KeyCase{"ParenRight", Qt::Key_ParenRight, Qt::ShiftModifier, 48},
        KeyCase{"Period", Qt::Key_Period, none, 190}, KeyCase{"Slash", Qt::Key_Slash, none, 191},
        KeyCase{"Return", Qt::Key_Return, none, 13}, KeyCase{"Space", Qt::Key_Space, none, 32},
        KeyCase{"Escape", Qt::Key_Escape, none, 27}, KeyCase{"Tab", Qt::Key_Tab, none, 9},
        KeyCase{"Backtab", Qt::Key_Backtab, Qt::ShiftModifier, 9},
        KeyCase{"Backspace", Qt::Key_Backspace, none, 8}, KeyCase{"Left", Qt::Key_Left, none, 37},
        KeyCase{"Up", Qt::Key_Up, none, 38}, KeyCase{"Right", Qt::Key_Right, none, 39},
        KeyCase{"Down", Qt::Key_Down, none, 40}, KeyCase{"Delete", Qt::Key_Delete, none, 46},
        KeyCase{"Shift", Qt::Key_Shift, Qt::ShiftModifier, 16},
        KeyCase{"Control", Qt::Key_Control, Qt::ControlModifier, 17},
        KeyCase{"Alt", Qt::Key_Alt, Qt::AltModifier, 18},
        KeyCase{"CapsLock", Qt::Key_CapsLock, none, 20},
        KeyCase{"Unknown", Qt::Key_unknown, none, 0},
        KeyCase{"Udiaeresis", Qt::Key_Udiaeresis, none, 0}),
    [](const testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

// The lower-case entries of the letter table must stay out of reach of every key: no key,
// on the keypad or not, may report 97-100, 102, 103, 109 or 110.
TEST(WindowsKeyCode, NoKeyReportsALowerCaseLetterCode) {
    const auto check = [](int key) {
        for (Qt::KeyboardModifiers mods : {none, keypad}) {
            const std::int32_t code = windows_key_code(key, mods);
            const bool lower_case_entry = (code >= 97 && code <= 100) || code == 102 ||
                                          code == 103 || code == 109 || code == 110;
            ASSERT_FALSE(lower_case_entry)
                << "Qt key 0x" << std::hex << key << " gives " << std::dec << code;
            ASSERT_TRUE(code >= 0 && code <= 255);
        }
    };
    for (int key = 0; key <= 0xFFFF; ++key) check(key);
    for (int key = 0x01000000; key <= 0x0100FFFF; ++key) check(key);
}

struct ModifierCase {
    int key;
    Qt::KeyboardModifiers modifiers;
    std::int32_t state;
};

void PrintTo(const ModifierCase& c, std::ostream* os) {
    *os << "key 0x" << std::hex << c.key << ", modifiers 0x" << c.modifiers.toInt();
}

class KeyModifierState : public testing::TestWithParam<ModifierCase> {};

TEST_P(KeyModifierState, CountsHeldModifiersButNotTheKeyItself) {
    EXPECT_EQ(key_modifier_state(GetParam().key, GetParam().modifiers), GetParam().state);
}

INSTANTIATE_TEST_SUITE_P(
    Modifiers, KeyModifierState,
    testing::Values(
        ModifierCase{Qt::Key_A, none, 0}, ModifierCase{Qt::Key_A, Qt::ControlModifier, 1},
        ModifierCase{Qt::Key_A, Qt::ShiftModifier, 2}, ModifierCase{Qt::Key_A, Qt::AltModifier, 4},
        ModifierCase{Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier, 7},
        ModifierCase{Qt::Key_1, keypad, 0}, ModifierCase{Qt::Key_Shift, Qt::ShiftModifier, 0},
        ModifierCase{Qt::Key_Control, Qt::ControlModifier | Qt::ShiftModifier, 2},
        ModifierCase{Qt::Key_Alt, Qt::AltModifier | Qt::ControlModifier, 1}));

}  // namespace
}  // namespace motor::panel
