// The portable half of the text conversion: UTF-8 <-> UTF-16 for literals and file names.
// The GBK <-> UTF-16 half is per OS (iconv on POSIX).
#include "gbk_text.h"

namespace motor {
namespace {

constexpr char16_t replacement = u'\uFFFD';

std::u16string utf8_to_utf16(std::string_view in) {
    std::u16string out;
    out.reserve(in.size());
    std::size_t i = 0;
    while (i < in.size()) {
        const auto b = static_cast<unsigned char>(in[i]);
        std::size_t len = b < 0x80           ? 1
                          : (b >> 5) == 0x6  ? 2
                          : (b >> 4) == 0xE  ? 3
                          : (b >> 3) == 0x1E ? 4
                                             : 0;
        if (len == 0 || i + len > in.size()) {
            out += replacement;
            ++i;
            continue;
        }
        char32_t cp = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
        bool valid = true;
        for (std::size_t k = 1; k < len; ++k) {
            const auto c = static_cast<unsigned char>(in[i + k]);
            if ((c & 0xC0) != 0x80) valid = false;
            cp = (cp << 6) | (c & 0x3F);
        }
        static constexpr char32_t min_for_len[] = {0, 0, 0x80, 0x800, 0x10000};
        if (!valid || cp < min_for_len[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out += replacement;
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
        i += len;
    }
    return out;
}

std::string utf16_to_utf8(std::u16string_view in) {
    std::string out;
    out.reserve(in.size() * 3);
    for (std::size_t i = 0; i < in.size(); ++i) {
        char32_t cp = in[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 &&
            in[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (in[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = replacement;
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

}  // namespace

std::string utf8_to_gbk(std::string_view utf8) {
    return utf16_to_gbk(utf8_to_utf16(utf8));
}
std::string gbk_to_utf8(std::string_view gbk) {
    return utf16_to_utf8(gbk_to_utf16(gbk));
}

}  // namespace motor
