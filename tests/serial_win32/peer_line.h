#pragma once
// A serial line whose far end is held by the line peer (line_peer.cpp), the Linux program that
// runs this test program under Wine: the line is a pseudo-terminal that the Wine prefix maps to
// COMn, and the test plays the motor controller through requests to the peer.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace motor::testing {

class PeerLine {
  public:
    // A fresh line behind COM`com`, replacing the one there was.
    explicit PeerLine(std::int32_t com);
    PeerLine(const PeerLine&) = delete;
    PeerLine& operator=(const PeerLine&) = delete;

    std::int32_t com_number() const { return com_; }
    // The pseudo-terminal behind the port, as the peer named it.
    const std::string& far_device() const { return device_; }

    // Sends every byte from the far end, as the motor controller would.
    void write_to_port(std::span<const std::uint8_t> bytes) const;
    // What the far end received: `count` bytes, or fewer when `limit` passed first.
    std::vector<std::uint8_t> read_from_port(std::size_t count,
                                             std::chrono::milliseconds limit) const;
    // Puts bytes on the line as if the port had written them.
    void write_as_port(std::span<const std::uint8_t> bytes) const;
    // Fills the line until the far end, which reads nothing, takes no more; how many bytes.
    std::size_t clog() const;
    // Hangs up the line, as an unplugged adapter does.
    void close_master() const;

  private:
    std::int32_t com_;
    std::string device_;
};

}  // namespace motor::testing
