#pragma once
// One readable line per frame on the line, shared by the panel's --trace and the simulator:
//
//   2025-03-14 09:26:53.589 TX 03 02 01 01 32 39  OPEN value 50 to 010203
//   2025-03-14 09:26:53.611 RX 03 02 01 01 32 39  reply from 010203 position 50
//
// Local time with milliseconds, the direction as seen by the program that writes the line (TX
// sent, RX received), the bytes in hex, and what they mean. Pure functions: the time is given.

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "frame.h"

namespace motor {

enum class TraceDirection { sent, received };

// A moment in local time, broken down; millisecond 0..999.
struct TraceTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// The local time of a moment on the system clock (the time zone of the process).
TraceTime local_trace_time(std::chrono::system_clock::time_point moment);

// "<time> <TX|RX> <bytes>  <meaning>"; the bytes are padded to the width of six so that the
// meanings line up. No line end.
std::string trace_line(const TraceTime& time, TraceDirection direction,
                       std::span<const std::uint8_t> bytes, std::string_view meaning);

// What a command frame asks: "OPEN value 50 to 010203", "BROADCAST_READ_ADDRESS value 50 to
// 000000 (broadcast)", "unknown command 99 value 0 to 010203"; "bad checksum (expected 39)"
// when the checksum does not hold.
std::string command_meaning(const Frame& frame);

// What a reply frame tells: "reply from 010203 position 42"; "bad checksum (expected 30)".
std::string reply_meaning(const Frame& frame);

// A partial frame thrown away: "partial frame dropped (3 of 6 bytes)".
std::string partial_meaning(std::size_t count);

}  // namespace motor
