#include "input_rules.h"

#include <algorithm>
#include <cmath>

#include "text_number.h"

namespace motor::panel {
namespace {

constexpr bool is_digit(std::int32_t code) {
    return code >= '0' && code <= '9';
}

}  // namespace

std::int32_t filter_address_char(std::int32_t code) {
    const bool hex_digit =
        is_digit(code) || (code >= 'A' && code <= 'F') || (code >= 'a' && code <= 'f');
    return hex_digit || code == 8 || code == 127 ? code : 0;
}

bool byte_mode_takes_char(std::int32_t code) {
    const bool control = (code >= 0 && code < 32) || code == 127;
    return is_digit(code) || control;
}

std::string normalise_byte_text(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int value = 0;  // saturates at 256: anything above 255 is 255 all the same
    for (; i < text.size() && is_digit(text[i]); ++i) {
        value = std::min(value * 10 + (text[i] - '0'), 256);
    }
    if (negative || value == 0) return {};
    return std::to_string(std::min(value, 255));
}

void on_position_lost_focus(WindowOps& window) {
    const double x = text_to_number(window.text(Control::编辑框_目标位置));
    if (std::fabs(x) <= 1e-7) window.set_text(Control::编辑框_目标位置, "0");
}

}  // namespace motor::panel
