// GBK <-> UTF-16 through Windows' converter for code page 936, which is GBK. One character at a
// time, so that a byte that is not GBK and a character GBK cannot hold are replaced one for one,
// exactly as the converter on other systems does; the machine's locale plays no part.
#include <windows.h>

#include "gbk_text.h"

namespace motor {
namespace {

constexpr UINT gbk_code_page = 936;

bool is_high_surrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool is_low_surrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// The UTF-16 units of the character at `at`: a surrogate pair is one character.
std::size_t character_length(std::u16string_view text, std::size_t at) {
    const bool pair =
        is_high_surrogate(text[at]) && at + 1 < text.size() && is_low_surrogate(text[at + 1]);
    return pair ? 2 : 1;
}

}  // namespace

std::u16string gbk_to_utf16(std::string_view gbk) {
    std::u16string out;
    out.reserve(gbk.size());
    std::size_t i = 0;
    while (i < gbk.size()) {
        const auto lead = static_cast<unsigned char>(gbk[i]);
        if (lead < 0x80) {
            out += static_cast<char16_t>(lead);
            ++i;
            continue;
        }
        // Every other character is two bytes; a bad pair costs its first byte only, and the
        // second is read again on its own.
        wchar_t wide[2];
        const int n = i + 1 < gbk.size() && IsDBCSLeadByteEx(gbk_code_page, lead)
                          ? MultiByteToWideChar(gbk_code_page, MB_ERR_INVALID_CHARS, gbk.data() + i,
                                                2, wide, 2)
                          : 0;
        if (n == 1) {
            out += static_cast<char16_t>(wide[0]);
            i += 2;
        } else {
            out += u'\uFFFD';
            ++i;
        }
    }
    return out;
}

std::string utf16_to_gbk(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] < 0x80) {
            out += static_cast<char>(text[i]);
            ++i;
            continue;
        }
        const std::size_t length = character_length(text, i);
        char bytes[4];
        BOOL defaulted = FALSE;
        // No best fit: a character GBK cannot hold becomes '?', not a look-alike.
        const int n = WideCharToMultiByte(
            gbk_code_page, WC_NO_BEST_FIT_CHARS, reinterpret_cast<const wchar_t*>(text.data() + i),
            static_cast<int>(length), bytes, sizeof bytes, nullptr, &defaulted);
        if (n > 0 && !defaulted) {
            out.append(bytes, static_cast<std::size_t>(n));
        } else {
            out += '?';
        }
        i += length;
    }
    return out;
}

}  // namespace motor
