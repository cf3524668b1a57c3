#pragma once
// The simulated motor controller without its line: bytes in, frames assembled as the panel
// assembles them, motors acting on the commands addressed to them, and replies out after a
// delay, with the faults asked for. The time is always given, so tests drive it directly and
// the event loop sleeps until next_due().
//
// Every frame addressed to one of the motors, or to the broadcast address 000000, is answered
// by that motor; a broadcast is acted on and answered by every motor, in the order they were
// given, one reply delay apart (on a real line they would collide; the panel shows the last
// reply it gets). Frames with a bad checksum, or for an address no motor has, get no answer.

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "fault_injector.h"
#include "frame_assembler.h"
#include "simulated_motor.h"
#include "trace_format.h"

namespace motor::sim {

struct MotorSetting {
    AddressBytes address{0x03, 0x02, 0x01};  // 010203, the panel's default target
    std::uint8_t position = 0;
    bool operator==(const MotorSetting&) const = default;
};

struct SimulatorSettings {
    std::vector<MotorSetting> motors = std::vector<MotorSetting>(1);  // one motor, 010203 at 0
    int steps_per_second = 64;  // end to end (255 steps) in about four seconds
    SimTime reply_delay{20};
    SimTime pause{2000};  // longer than the panel's watchdog waits (at most 1500 ms)
    FaultPlan faults;
    std::uint32_t seed = 1;
};

class Simulator {
  public:
    // Told of every frame in and out: direction, the bytes, what they mean.
    using TraceSink =
        std::function<void(TraceDirection, std::span<const std::uint8_t>, std::string_view)>;

    Simulator(const SimulatorSettings& settings, TraceSink trace);

    void receive(std::span<const std::uint8_t> bytes, SimTime now);
    // The earliest moment something is due: reply bytes, or a partial frame to drop.
    std::optional<SimTime> next_due() const;
    // Does everything due at `now`; the bytes to write to the line, in order.
    std::vector<std::uint8_t> take_due_output(SimTime now);

    const std::vector<SimulatedMotor>& motors() const { return motors_; }

  private:
    struct Outgoing {
        SimTime due;
        std::size_t motor = 0;  // the motor whose reply this is
        std::uint8_t code = 0;  // the command it answers
        ReplyFaults faults;
        std::vector<std::uint8_t> rest;  // set: the remainder of a paused reply
    };

    void handle_frame(const Frame& frame, SimTime now);
    void trace_dropped(const std::vector<std::uint8_t>& bytes);
    void send_reply(const Outgoing& reply, SimTime now, std::vector<std::uint8_t>& out);

    std::vector<SimulatedMotor> motors_;
    SimTime reply_delay_;
    SimTime pause_;
    FaultInjector faults_;
    FrameAssembler assembler_;
    std::deque<Outgoing> queue_;  // in the order the bytes must go out
    TraceSink trace_;
};

}  // namespace motor::sim
