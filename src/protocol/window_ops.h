#pragma once
// What the protocol needs from the window. The Qt window implements it on real widgets;
// tests use an in-memory window that records every write.

#include <cstdint>
#include <string>
#include <string_view>

#include "control.h"

namespace motor {

// Colour values are 0x00BBGGRR (red in the low byte).
using Colour = std::uint32_t;
inline constexpr Colour DEFAULT_COLOUR = 0xFF000000u;  // the system's button-face colour
inline constexpr Colour GREEN = 65280u;                // 0x00FF00

class WindowOps {
  public:
    virtual ~WindowOps() = default;

    // Text of an edit box or caption of a label, as GBK bytes.
    virtual std::string text(Control c) const = 0;
    virtual void set_text(Control c, std::string_view gbk) = 0;
    // Background of an edit box: a colour value or DEFAULT_COLOUR.
    virtual void set_background(Control c, Colour colour) = 0;
    // Period of a timer in ms. Negative is 0 (stopped); writing the current period does nothing.
    virtual void set_timer_period(Control c, std::int32_t ms) = 0;
    virtual void set_focus(Control c) = 0;
    // Runs every event waiting in the window's queue, each with its handler.
    virtual void process_pending_events() = 0;
};

}  // namespace motor
