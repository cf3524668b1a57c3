#include "saved_port_file.h"

namespace motor {

std::optional<std::string> first_line(std::string_view bytes, bool at_end) {
    std::string line;
    bool ends_in_cr = false;  // the last character taken is a carriage return of its own
    auto finish = [&] {
        if (ends_in_cr) line.pop_back();
        return line;
    };
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (line.size() >= saved_port_line_limit) return line;  // long enough to stop reading
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == 0x0A || b == 0x00 || b == 0x1A) return finish();
        if (b >= 0x80) {
            if (i + 1 >= bytes.size()) break;  // its second byte is not here (yet)
            // A lead byte followed by NUL is no character: the line ends at the NUL without it.
            if (bytes[i + 1] == '\0') return finish();
            line += bytes.substr(i, 2);
            ends_in_cr = false;
            i += 2;
            continue;
        }
        line += static_cast<char>(b);
        ends_in_cr = b == 0x0D;
        ++i;
    }
    if (!at_end) return std::nullopt;
    // The end of the file ends the line; a lead byte left without its second byte is dropped.
    return finish();
}

}  // namespace motor
