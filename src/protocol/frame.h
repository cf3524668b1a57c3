#pragma once
// Six-byte frames between panel and motor: address byte 0 (least significant), address
// byte 1, address byte 2, command, value, checksum. No markers: a frame is six bytes counted.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace motor {

inline constexpr std::size_t frame_size = 6;
using Frame = std::array<std::uint8_t, frame_size>;
using CommandFrame = Frame;
using ReplyFrame = Frame;

enum class CommandCode : std::uint8_t {
    READ_POSITION = 0,
    OPEN = 1,
    STOP = 2,
    CLOSE = 3,
    PROPORTIONAL_CONTROL = 4,
    PULL_START_ON = 19,
    PULL_START_OFF = 20,
    BROADCAST_READ_ADDRESS = 32,
    PAIRING = 128,
    RESTORE_FACTORY_DIRECTION = 161,
    RESERVED_ON = 163,
    RESERVED_OFF = 164,
    RESTORE_FACTORY_RESERVED = 165,
    CHANGE_DIRECTION = 177,
};

inline constexpr std::array<CommandCode, 14> all_command_codes = {
    CommandCode::READ_POSITION,
    CommandCode::OPEN,
    CommandCode::STOP,
    CommandCode::CLOSE,
    CommandCode::PROPORTIONAL_CONTROL,
    CommandCode::PULL_START_ON,
    CommandCode::PULL_START_OFF,
    CommandCode::BROADCAST_READ_ADDRESS,
    CommandCode::PAIRING,
    CommandCode::RESTORE_FACTORY_DIRECTION,
    CommandCode::RESERVED_ON,
    CommandCode::RESERVED_OFF,
    CommandCode::RESTORE_FACTORY_RESERVED,
    CommandCode::CHANGE_DIRECTION,
};

// Sum of bytes 0..4 modulo 256.
constexpr std::uint8_t frame_checksum(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2,
                                      std::uint8_t b3, std::uint8_t b4) {
    return static_cast<std::uint8_t>(b0 + b1 + b2 + b3 + b4);
}

constexpr bool checksum_holds(const Frame& f) {
    return f[5] == frame_checksum(f[0], f[1], f[2], f[3], f[4]);
}

// "OPEN", "CHANGE_DIRECTION", ...; empty for a byte that is no command code.
std::string_view command_name(std::uint8_t code);
std::optional<CommandCode> command_from_byte(std::uint8_t code);

}  // namespace motor
