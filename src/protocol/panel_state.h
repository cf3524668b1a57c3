#pragma once
// The state the command and reply handlers share. One instance lives for the whole process,
// created by init_globals before the window is built.

#include <array>
#include <cstdint>
#include <memory>

namespace motor {

struct PanelState {
    std::array<std::uint8_t, 8> send_buffer{};   // frame being sent in bytes 0..5
    std::array<std::uint8_t, 8> reply_buffer{};  // frame being received in bytes 0..5
    std::uint8_t reply_index = 0;                // 1-based position of the next received byte
    std::uint8_t idle_ticks = 0;                 // watchdog ticks since the last received byte
};

// Creates the shared state: both buffers eight zero bytes, counters 0.
std::unique_ptr<PanelState> init_globals();

}  // namespace motor
