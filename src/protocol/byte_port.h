#pragma once
// The protocol's outgoing side of the serial line: one byte per call, 1 on success, 0 on failure.
// Incoming bytes reach the protocol as calls of MotorLink::on_reply_byte on the event thread.

#include <cstdint>

namespace motor {

class BytePort {
  public:
    virtual ~BytePort() = default;
    virtual std::int32_t send_byte(std::uint8_t b) = 0;
};

}  // namespace motor
