#pragma once
// Conversion between the address text (hex digits, most significant first, GBK bytes)
// and the three address bytes (byte 0 least significant).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace motor {

using AddressBytes = std::array<std::uint8_t, 3>;  // byte 0, byte 1, byte 2

// Reads hex digits byte by byte from the right; a byte that is no hex digit counts 0.
std::int64_t hex_text_to_value(std::string_view text);

// Six upper-case hex characters, byte 2 first: (0x0A, 0x00, 0xFF) -> "FF000A".
std::string address_bytes_to_text(std::uint8_t byte0, std::uint8_t byte1, std::uint8_t byte2);

// The three bytes of a text of six or more bytes: positions 5-6, 3-4, 1-2.
AddressBytes address_bytes_from_text(std::string_view text);

}  // namespace motor
