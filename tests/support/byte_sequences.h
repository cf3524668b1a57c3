#pragma once
// The byte sequences that the serial tests put on a line in either direction, on every system.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <numeric>
#include <ostream>
#include <vector>

namespace motor::testing {

inline std::vector<std::uint8_t> every_byte_value() {
    std::vector<std::uint8_t> bytes(256);
    std::iota(bytes.begin(), bytes.end(), 0);
    return bytes;
}

inline std::vector<std::uint8_t> counting(std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 1);
    return bytes;
}

struct BytesCase {
    const char* name;
    std::vector<std::uint8_t> bytes;
    friend void PrintTo(const BytesCase& c, std::ostream* os) { *os << c.name; }
};

inline const auto byte_sequences = ::testing::Values(
    BytesCase{"Frame", {0x03, 0x02, 0x01, 0x01, 0x32, 0x39}},
    // A reply burst, as the motor sends it.
    BytesCase{"TenByteBurst", counting(10)},
    // Line ends, XON/XOFF, interrupt and end-of-file characters travel as plain data.
    BytesCase{"EveryByteValue", every_byte_value()},
    // Back to back, as frames go out: a purge of pending output before each would lose some.
    BytesCase{"ThousandBackToBack", counting(1000)});

}  // namespace motor::testing
