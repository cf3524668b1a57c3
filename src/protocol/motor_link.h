#pragma once
// Command sending and reply reception: a command request becomes one frame on the byte port;
// received bytes are assembled into replies, checked and shown in the window.

#include <cstdint>
#include <functional>

#include "address_text.h"
#include "byte_port.h"
#include "frame.h"
#include "panel_state.h"
#include "window_ops.h"

namespace motor {

// Observes the traffic without changing it (the panel's --trace).
class LinkObserver {
  public:
    virtual ~LinkObserver() = default;
    virtual void frame_sent(const Frame& frame) = 0;
    virtual void reply_assembled(const Frame& frame, bool checksum_ok) = 0;
    // A partial frame thrown away: by the watchdog or by a command request.
    virtual void partial_dropped(const std::uint8_t* bytes, std::size_t count) = 0;
};

class MotorLink {
  public:
    MotorLink(PanelState& state, WindowOps& window, BytePort& port);

    void set_observer(LinkObserver* observer) { observer_ = observer; }

    // The action of every command button and keyboard letter.
    void request_command(CommandCode code);
    void send_command(std::uint8_t code, std::int32_t value, bool broadcast);
    // Reads 编辑框_目标地址, padding it with leading zeros in the box first when it is short.
    AddressBytes read_target_address();

    // Handler of the port's byte_received event.
    void on_reply_byte(std::int32_t b);
    // Tick of 时钟1: drops a partial frame after three idle ticks.
    void on_watchdog_tick();
    // Tick of 时钟_闪烁定时: ends the green highlight.
    void on_highlight_tick();

  private:
    void show_reply();
    void note_partial_dropped();

    PanelState& state_;
    WindowOps& window_;
    BytePort& port_;
    LinkObserver* observer_ = nullptr;
};

// Value byte of a target position text: the low 8 bits of the truncated number.
std::int32_t position_text_to_value(std::string_view text);

}  // namespace motor
