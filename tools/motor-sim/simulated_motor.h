#pragma once
// One simulated motor: a 24-bit address and a position 0..255 that moves toward a target at a
// fixed number of steps per second. The position is worked out from the time when asked, so
// the simulator needs no timer while a motor moves.
//
// What each command does is this simulation's own choice, not any device's definition: OPEN
// heads for 255, CLOSE for 0, PROPORTIONAL_CONTROL for the value byte, STOP halts where the
// motor is; every other code leaves the movement as it is.

#include <cstdint>
#include <optional>

#include "address_text.h"
#include "frame.h"
#include "sim_time.h"

namespace motor::sim {

class SimulatedMotor {
  public:
    SimulatedMotor(AddressBytes address, std::uint8_t position, int steps_per_second);

    const AddressBytes& address() const { return address_; }
    // Its own address, or the broadcast address 000000.
    bool is_addressed_by(const Frame& frame) const;

    // Acts on a command that arrived at `now`.
    void command(std::uint8_t code, std::uint8_t value, SimTime now);
    std::uint8_t position(SimTime now) const;
    // Where it is heading; nullopt when it stands still by command.
    std::optional<std::uint8_t> target() const { return target_; }

    // The reply frame at `now`: its address, the command echoed in byte 3, its position.
    Frame reply(std::uint8_t code, SimTime now) const;

  private:
    AddressBytes address_;
    std::uint8_t start_position_;  // where the current movement began
    SimTime start_time_{0};        // and when
    std::optional<std::uint8_t> target_;
    int steps_per_second_;
};

bool is_broadcast(const Frame& frame);

}  // namespace motor::sim
