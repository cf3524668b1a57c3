#include "text_number.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace motor {
namespace {

// Full-width ASCII forms and a few look-alikes become their single-byte characters;
// every other double-byte character is kept. A lead byte with nothing after it ends the text.
std::string normalise_full_width(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            out += static_cast<char>(lead);
            continue;
        }
        if (i + 1 == text.size()) break;
        const auto trail = static_cast<unsigned char>(text[i + 1]);
        ++i;
        if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
            out += static_cast<char>(trail - 0x80);
        } else if (lead == 0xA1 && trail == 0xA1) {
            out += ' ';
        } else if (lead == 0xA1 && trail == 0xAB) {
            out += '~';
        } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
            out += '*';
        } else {
            out += static_cast<char>(lead);
            out += static_cast<char>(trail);
        }
    }
    return out;
}

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

double text_to_number(std::string_view input) {
    const std::string text = normalise_full_width(input);
    std::size_t i = 0;
    while (i < text.size() && is_space(text[i])) ++i;

    // The longest prefix sign? digits [. digits] [(e|E|d|D) sign? digits], rebuilt for from_chars
    // (which is locale-independent and takes neither '+' nor 'd').
    std::string number;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

    std::size_t int_digits = 0, leading_zeros = 0;
    bool seen_nonzero = false;
    for (; i < text.size() && is_digit(text[i]); ++i, ++int_digits) {
        if (!seen_nonzero && text[i] == '0') ++leading_zeros;
        seen_nonzero = seen_nonzero || text[i] != '0';
        number += text[i];
    }
    std::size_t frac_digits = 0, frac_zeros_before_first = 0;
    bool frac_nonzero = false;
    if (i < text.size() && text[i] == '.') {
        std::size_t j = i + 1;
        std::string frac;
        for (; j < text.size() && is_digit(text[j]); ++j) {
            if (!frac_nonzero && text[j] == '0') ++frac_zeros_before_first;
            frac_nonzero = frac_nonzero || text[j] != '0';
            frac += text[j];
        }
        frac_digits = frac.size();
        if (int_digits > 0 || frac_digits > 0) {
            number += '.';
            number += frac;
            i = j;
        }
    }
    if (int_digits == 0 && frac_digits == 0) return 0.0;

    long long exponent = 0;  // saturated; only used to tell overflow from underflow
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        std::size_t j = i + 1;
        bool exp_negative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) exp_negative = text[j++] == '-';
        if (j < text.size() && is_digit(text[j])) {
            number += 'e';
            if (exp_negative) number += '-';
            for (; j < text.size() && is_digit(text[j]); ++j) {
                number += text[j];
                if (exponent < 1'000'000'000) exponent = exponent * 10 + (text[j] - '0');
            }
            if (exp_negative) exponent = -exponent;
        }
    }

    double value = 0.0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        // Decimal exponent of the first significant digit decides between infinity and zero.
        long long magnitude = seen_nonzero ? static_cast<long long>(int_digits - leading_zeros) - 1
                                           : -static_cast<long long>(frac_zeros_before_first) - 1;
        magnitude += exponent;
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (ec != std::errc{}) {
        value = 0.0;
    }
    return negative ? -value : value;
}

std::int64_t truncate_to_int64(double x) {
    if (!std::isfinite(x)) return 0;
    const double t = std::trunc(x);
    // 2^63 is exactly representable; the valid range is [-2^63, 2^63).
    constexpr double limit = 9223372036854775808.0;
    if (t < -limit || t >= limit) return 0;
    return static_cast<std::int64_t>(t);
}

}  // namespace motor
