#pragma once
// Byte I/O on a terminal descriptor for tests, bounded by deadlines instead of sleeps.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace motor::sim::test {

// Opens a terminal read-write, non-blocking, never as the controlling terminal; -1 on failure.
int open_line(const std::filesystem::path& path);
// Writes all the bytes; false on an error.
bool write_bytes(int fd, std::span<const std::uint8_t> bytes);
// Reads until `count` bytes came or `limit` passed; what came.
std::vector<std::uint8_t> read_bytes(int fd, std::size_t count, std::chrono::milliseconds limit);
// True when the descriptor becomes readable within `limit`.
bool wait_readable(int fd, std::chrono::milliseconds limit);

}  // namespace motor::sim::test
