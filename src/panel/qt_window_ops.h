#pragma once
// The window operations on real widgets: texts through the GBK conversion, edit box
// backgrounds on the palette's base, timer periods, focus, pending events, and the window's
// visibility and state.

#include <cstdint>

#include "window_controls.h"
#include "window_ops.h"

class QWidget;

namespace motor::panel {

// Values of window_state. CENTRED can be written but is never read.
enum WindowState : std::int32_t { NORMAL = 0, CENTRED = 1, MINIMISED = 2, MAXIMISED = 3 };

class QtWindowOps final : public WindowOps {
  public:
    QtWindowOps(QWidget& window, const WindowControls& controls)
        : window_(window), controls_(controls) {}

    std::string text(Control c) const override;
    void set_text(Control c, std::string_view gbk) override;
    void set_background(Control c, Colour colour) override;
    void set_timer_period(Control c, std::int32_t ms) override;
    void set_focus(Control c) override;
    void process_pending_events() override;

    bool visible() const;
    // true shows and activates the window in its current state: a minimised one stays so.
    void set_visible(bool visible);
    std::int32_t window_state() const;
    // Clamped to NORMAL..MAXIMISED; a hidden window shows no effect.
    void set_window_state(std::int32_t state);

    // A timer's period: 0 while it is stopped.
    std::int32_t timer_period(Control c) const;

  private:
    QWidget& window_;
    const WindowControls& controls_;
};

}  // namespace motor::panel
