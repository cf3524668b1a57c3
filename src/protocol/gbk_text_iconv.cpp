// GBK <-> UTF-16 through glibc's iconv. The machine's locale plays no part.
#include <iconv.h>

#include <bit>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "gbk_text.h"

namespace motor {
namespace {

constexpr const char* utf16_native =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
        }
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts all of in. An input unit that cannot be converted (invalid, truncated, or not
    // representable in the target) is replaced by `replacement`; `unit_size` tells how many
    // bytes that unit spans, given the bytes left.
    template <typename UnitSize>
    std::string run(const char* in, std::size_t in_len, std::string_view replacement,
                    UnitSize unit_size) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out;
        char buffer[256];
        char* src = const_cast<char*>(in);
        std::size_t src_left = in_len;
        while (src_left > 0) {
            char* dst = buffer;
            std::size_t dst_left = sizeof buffer;
            const std::size_t rc = iconv(cd_, &src, &src_left, &dst, &dst_left);
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (rc != static_cast<std::size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL: replace one unit and go on with the rest of the text.
            out.append(replacement);
            const std::size_t skip = unit_size(src, src_left);
            const std::size_t n = skip < src_left ? skip : src_left;
            src += n;
            src_left -= n;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

  private:
    iconv_t cd_;
};

}  // namespace

std::u16string gbk_to_utf16(std::string_view gbk) {
    thread_local Converter from_gbk(utf16_native, "GBK");
    const char16_t fffd = u'\uFFFD';
    // One byte at a time: a bad lead byte must not swallow the good byte after it.
    const std::string bytes = from_gbk.run(
        gbk.data(), gbk.size(), std::string_view(reinterpret_cast<const char*>(&fffd), 2),
        [](const char*, std::size_t) { return std::size_t{1}; });
    std::u16string out(bytes.size() / 2, u'\0');
    std::memcpy(out.data(), bytes.data(), out.size() * 2);
    return out;
}

std::string utf16_to_gbk(std::u16string_view text) {
    thread_local Converter to_gbk("GBK", utf16_native);
    // A surrogate pair is one character: one '?' for it, not two.
    return to_gbk.run(reinterpret_cast<const char*>(text.data()), text.size() * 2, "?",
                      [](const char* at, std::size_t left) {
                          if (left < 4) return std::size_t{2};
                          char16_t first, second;
                          std::memcpy(&first, at, 2);
                          std::memcpy(&second, at + 2, 2);
                          const bool pair = first >= 0xD800 && first <= 0xDBFF &&
                                            second >= 0xDC00 && second <= 0xDFFF;
                          return std::size_t{pair ? 4u : 2u};
                      });
}

}  // namespace motor
