#pragma once
// A byte port that records what is sent; open or closed.

#include <cstdint>
#include <vector>

#include "byte_port.h"

namespace motor::test {

class RecordingPort final : public BytePort {
  public:
    std::int32_t send_byte(std::uint8_t b) override {
        ++calls;
        if (!open) return 0;
        sent.push_back(b);
        return 1;
    }
    bool open = true;
    int calls = 0;
    std::vector<std::uint8_t> sent;
};

}  // namespace motor::test
