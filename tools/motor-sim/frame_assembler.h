#pragma once
// Assembles received bytes into six-byte frames by the panel's own rules: no markers, six
// bytes counted; a partial frame is dropped after a pause. The panel's watchdog ticks every
// 500 ms on a clock that received bytes do not restart, and drops the partial frame at its
// third tick after the last byte, so 1000 to 1500 ms of silence. The same ticks run here, from
// the simulator's start, worked out from the time instead of counted.

#include <cstdint>
#include <optional>
#include <vector>

#include "frame.h"
#include "sim_time.h"

namespace motor::sim {

inline constexpr SimTime watchdog_period{500};
inline constexpr int watchdog_idle_ticks = 3;

class FrameAssembler {
  public:
    struct Result {
        std::vector<std::uint8_t> dropped;  // a partial frame whose time was up, else empty
        std::optional<Frame> frame;         // complete when the byte was the sixth
    };

    // Takes one byte received at `now`; first drops a partial frame whose time is up.
    Result push(std::uint8_t b, SimTime now);
    // Drops the partial frame if its time is up at `now`; its bytes, else empty.
    std::vector<std::uint8_t> expire(SimTime now);
    // When the partial frame held will be dropped; nullopt when none is held.
    std::optional<SimTime> drop_time() const;

  private:
    Frame buffer_{};
    std::size_t count_ = 0;
    SimTime last_byte_{0};
};

}  // namespace motor::sim
