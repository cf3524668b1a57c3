#pragma once
// What the two input fields accept. Character codes are the 8-bit codes of the window's
// text (GBK); codes of 128 and above begin double-byte characters.

#include <cstdint>
#include <string>
#include <string_view>

#include "window_ops.h"

namespace motor::panel {

// Character-input handler of 编辑框_目标地址: the code itself for a hex digit, Backspace (8)
// or the delete character (127); 0, which discards the character, for anything else.
std::int32_t filter_address_char(std::int32_t code);

// Byte input mode: a typed digit or control character is taken, anything else discarded.
bool byte_mode_takes_char(std::int32_t code);

// Byte input mode on focus loss: the leading decimal integer (blanks and one sign allowed
// before it, 0 without digits) clamped to 0..255, in decimal; 0 gives the empty text.
std::string normalise_byte_text(std::string_view text);

// Focus-loss handler of 编辑框_目标位置, run after the byte input mode has normalised the
// text: a field that reads as zero shows "0" rather than nothing.
void on_position_lost_focus(WindowOps& window);

}  // namespace motor::panel
