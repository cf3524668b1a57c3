#include "simulated_motor.h"

#include <algorithm>

namespace motor::sim {

bool is_broadcast(const Frame& frame) {
    return frame[0] == 0 && frame[1] == 0 && frame[2] == 0;
}

SimulatedMotor::SimulatedMotor(AddressBytes address, std::uint8_t position, int steps_per_second)
    : address_(address), start_position_(position), steps_per_second_(steps_per_second) {}

bool SimulatedMotor::is_addressed_by(const Frame& frame) const {
    return is_broadcast(frame) ||
           (frame[0] == address_[0] && frame[1] == address_[1] && frame[2] == address_[2]);
}

void SimulatedMotor::command(std::uint8_t code, std::uint8_t value, SimTime now) {
    std::optional<std::uint8_t> target = target_;
    switch (static_cast<CommandCode>(code)) {
        case CommandCode::OPEN:
            target = 255;
            break;
        case CommandCode::CLOSE:
            target = 0;
            break;
        case CommandCode::STOP:
            target.reset();
            break;
        case CommandCode::PROPORTIONAL_CONTROL:
            target = value;
            break;
        default:
            return;  // acknowledged; the movement goes on as it was
    }
    // A new movement starts from wherever the motor is now.
    start_position_ = position(now);
    start_time_ = now;
    target_ = target;
}

std::uint8_t SimulatedMotor::position(SimTime now) const {
    if (!target_ || now <= start_time_) return start_position_;
    const std::int64_t steps = (now - start_time_).count() * steps_per_second_ / 1000;
    const int distance = *target_ - start_position_;
    const int moved =
        static_cast<int>(std::min<std::int64_t>(steps, distance < 0 ? -distance : distance));
    return static_cast<std::uint8_t>(start_position_ + (distance < 0 ? -moved : moved));
}

Frame SimulatedMotor::reply(std::uint8_t code, SimTime now) const {
    const std::uint8_t p = position(now);
    return {address_[0], address_[1],
            address_[2], code,
            p,           frame_checksum(address_[0], address_[1], address_[2], code, p)};
}

}  // namespace motor::sim
