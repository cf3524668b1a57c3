#include "trace_format.h"

#include <cstdio>
#include <ctime>

#include "address_text.h"

namespace motor {
namespace {

constexpr std::size_t bytes_column_width = frame_size * 3 - 1;  // "03 02 01 01 32 39"

std::string hex_byte(std::uint8_t b) {
    static constexpr char digits[] = "0123456789ABCDEF";
    return {digits[b >> 4], digits[b & 0x0F]};
}

std::string frame_address(const Frame& frame) {
    return address_bytes_to_text(frame[0], frame[1], frame[2]);
}

std::string bad_checksum(const Frame& frame) {
    return "bad checksum (expected " +
           hex_byte(frame_checksum(frame[0], frame[1], frame[2], frame[3], frame[4])) + ")";
}

}  // namespace

TraceTime local_trace_time(std::chrono::system_clock::time_point moment) {
    using namespace std::chrono;
    const auto since_epoch = moment.time_since_epoch();
    const std::time_t seconds =
        static_cast<std::time_t>(floor<std::chrono::seconds>(since_epoch).count());
    // std::localtime shares one buffer per process; every trace line is written from one
    // thread (the panel's event thread, the simulator's only thread), and it is portable.
    const std::tm* local = std::localtime(&seconds);
    if (local == nullptr) return {};
    const std::tm parts = *local;
    const auto millis =
        duration_cast<milliseconds>(since_epoch - floor<std::chrono::seconds>(since_epoch));
    return {parts.tm_year + 1900,
            parts.tm_mon + 1,
            parts.tm_mday,
            parts.tm_hour,
            parts.tm_min,
            parts.tm_sec,
            static_cast<int>(millis.count())};
}

std::string trace_line(const TraceTime& time, TraceDirection direction,
                       std::span<const std::uint8_t> bytes, std::string_view meaning) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d.%03d", time.year, time.month,
                  time.day, time.hour, time.minute, time.second, time.millisecond);
    std::string line = stamp;
    line += direction == TraceDirection::sent ? " TX " : " RX ";
    std::string hex;
    for (std::uint8_t b : bytes) {
        if (!hex.empty()) hex += ' ';
        hex += hex_byte(b);
    }
    if (hex.size() < bytes_column_width) hex.resize(bytes_column_width, ' ');
    line += hex;
    line += "  ";
    line += meaning;
    return line;
}

std::string command_meaning(const Frame& frame) {
    if (!checksum_holds(frame)) return bad_checksum(frame);
    const std::string_view name = command_name(frame[3]);
    std::string meaning =
        name.empty() ? "unknown command " + hex_byte(frame[3]) : std::string(name);
    meaning += " value " + std::to_string(frame[4]) + " to " + frame_address(frame);
    if (frame[0] == 0 && frame[1] == 0 && frame[2] == 0) meaning += " (broadcast)";
    return meaning;
}

std::string reply_meaning(const Frame& frame) {
    if (!checksum_holds(frame)) return bad_checksum(frame);
    return "reply from " + frame_address(frame) + " position " + std::to_string(frame[4]);
}

std::string partial_meaning(std::size_t count) {
    return "partial frame dropped (" + std::to_string(count) + " of " + std::to_string(frame_size) +
           " bytes)";
}

}  // namespace motor
