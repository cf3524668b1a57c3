#pragma once
// A pseudo-terminal pair standing in for a serial line: the port opens the slave, the test
// plays the motor controller at the master. Both of the test's ends are non-blocking.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace motor::testing {

class PtyPair {
  public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& slave_path() const { return slave_path_; }
    int master() const { return master_; }
    // The test's own descriptor of the slave: the same line as the port's, not locked.
    int slave() const { return slave_; }

    // Writes every byte at the master, as the motor controller would send them.
    void write_to_port(std::span<const std::uint8_t> bytes) const;
    // Reads from the master until `count` bytes came or `limit` passed; what came.
    std::vector<std::uint8_t> read_from_port(std::size_t count,
                                             std::chrono::milliseconds limit) const;
    // Writes every byte at the slave, as if the port had written them.
    void write_as_port(std::span<const std::uint8_t> bytes) const;
    // Writes at the slave until the master, which nobody reads, takes no more, so that the
    // port's next write blocks; how many bytes that took.
    std::size_t clog() const;
    // Hangs up the line, as an unplugged adapter does.
    void close_master();

  private:
    int master_ = -1;
    int slave_ = -1;
    std::string slave_path_;
};

}  // namespace motor::testing
