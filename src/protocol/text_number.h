#pragma once
// The one conversion of a text (GBK bytes) into a number, used for the target position,
// the position field rule and the saved port number.

#include <cstdint>
#include <string_view>

namespace motor {

// Full-width forms made ASCII, leading white space skipped, the longest decimal prefix
// (sign, digits, fraction, exponent e/E/d/D) read; 0 when there is none. Never fails.
double text_to_number(std::string_view text);

// Truncates toward zero; not finite or outside the signed 64-bit range gives 0.
std::int64_t truncate_to_int64(double x);

}  // namespace motor
