#pragma once
// The system's texts are GBK bytes; widgets hold UTF-16. Conversion happens only at the
// widget boundary. Both directions never fail: a byte sequence that is not GBK becomes
// U+FFFD for the offending byte and conversion goes on; a character GBK cannot hold becomes '?'.

#include <string>
#include <string_view>

namespace motor {

std::u16string gbk_to_utf16(std::string_view gbk);
std::string utf16_to_gbk(std::u16string_view text);

// Convenience for literals and file names kept in UTF-8 in the source.
std::string utf8_to_gbk(std::string_view utf8);
std::string gbk_to_utf8(std::string_view gbk);

}  // namespace motor
