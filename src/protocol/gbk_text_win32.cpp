// GBK <-> UTF-16 through the Windows code page 936 converter.
#include <windows.h>

#include "gbk_text.h"

namespace motor {
namespace {

constexpr UINT gbk_code_page = 936;

}  // namespace

std::u16string gbk_to_utf16(std::string_view gbk) {
    // Character by character, so that one bad byte becomes U+FFFD and the rest is kept, the same
    // as on every other system.
    std::u16string out;
    out.reserve(gbk.size());
    std::size_t i = 0;
    while (i < gbk.size()) {
        const auto lead = static_cast<unsigned char>(gbk[i]);
        const int len = lead >= 0x80 && IsDBCSLeadByteEx(gbk_code_page, lead) ? 2 : 1;
        wchar_t wide[2];
        const int n = i + len <= gbk.size()
                          ? MultiByteToWideChar(gbk_code_page, MB_ERR_INVALID_CHARS, gbk.data() + i,
                                                len, wide, 2)
                          : 0;
        if (n <= 0 || (lead >= 0x80 && len == 1 && lead != 0x80)) {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        out.append(reinterpret_cast<const char16_t*>(wide), static_cast<std::size_t>(n));
        i += static_cast<std::size_t>(len);
    }
    return out;
}

std::string utf16_to_gbk(std::u16string_view text) {
    if (text.empty()) return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int wide_len = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(gbk_code_page, 0, wide, wide_len, nullptr, 0, "?", nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(gbk_code_page, 0, wide, wide_len, out.data(), n, "?", nullptr);
    return out;
}

}  // namespace motor
