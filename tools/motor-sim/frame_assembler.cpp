#include "frame_assembler.h"

namespace motor::sim {

FrameAssembler::Result FrameAssembler::push(std::uint8_t b, SimTime now) {
    Result result;
    result.dropped = expire(now);
    buffer_[count_++] = b;
    last_byte_ = now;
    if (count_ == frame_size) {
        count_ = 0;
        result.frame = buffer_;
    }
    return result;
}

std::vector<std::uint8_t> FrameAssembler::expire(SimTime now) {
    const auto due = drop_time();
    if (!due || now < *due) return {};
    std::vector<std::uint8_t> dropped(buffer_.begin(), buffer_.begin() + count_);
    count_ = 0;
    return dropped;
}

std::optional<SimTime> FrameAssembler::drop_time() const {
    if (count_ == 0) return std::nullopt;
    // The first tick after the last byte, then two more.
    const SimTime first_tick = (last_byte_ / watchdog_period + 1) * watchdog_period;
    return first_tick + (watchdog_idle_ticks - 1) * watchdog_period;
}

}  // namespace motor::sim
