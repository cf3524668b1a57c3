#include "address_text.h"

#include <cmath>

#include "text_number.h"

namespace motor {
namespace {

int hex_digit_value(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;  // blanks, signs, other letters, and each byte of a double-byte character
}

void append_hex_byte(std::string& out, std::uint8_t b) {
    static constexpr char digits[] = "0123456789ABCDEF";
    out += digits[b >> 4];
    out += digits[b & 0x0F];
}

}  // namespace

std::int64_t hex_text_to_value(std::string_view text) {
    // Rightmost byte first, each term added in double precision and truncated after each step.
    // Exact up to 13 bytes; longer texts never reach here from the panel, and a term that would
    // overflow is simply no longer representable (truncate_to_int64 gives 0 for it).
    std::int64_t result = 0;
    const std::size_t n = text.size();
    for (std::size_t k = 0; k < n; ++k) {
        const int d = hex_digit_value(static_cast<unsigned char>(text[n - 1 - k]));
        if (d == 0) continue;  // adds nothing, and avoids 0 × infinity for very long texts
        const double term = d * std::pow(16.0, static_cast<double>(k));
        result = truncate_to_int64(static_cast<double>(result) + term);
    }
    return result;
}

std::string address_bytes_to_text(std::uint8_t byte0, std::uint8_t byte1, std::uint8_t byte2) {
    std::string text;
    text.reserve(6);
    append_hex_byte(text, byte2);
    append_hex_byte(text, byte1);
    append_hex_byte(text, byte0);
    return text;
}

AddressBytes address_bytes_from_text(std::string_view text) {
    auto piece = [&](std::size_t pos) {
        return static_cast<std::uint8_t>(hex_text_to_value(text.substr(pos, 2)) & 0xFF);
    };
    return {piece(4), piece(2), piece(0)};
}

}  // namespace motor
