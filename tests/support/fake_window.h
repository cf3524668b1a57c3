#pragma once
// An in-memory window for protocol tests: holds texts, records every write in order, keeps a
// queue of pending events that process_pending_events runs, and drives the two timers on a
// virtual clock so highlight and watchdog timing are tested without waiting.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "window_ops.h"

namespace motor::test {

struct Write {
    enum class Kind { text, background, timer_period, focus };
    Kind kind;
    Control control;
    std::string text;       // for text writes
    std::uint32_t value{};  // colour or period
    bool operator==(const Write&) const = default;
};

class FakeWindow final : public WindowOps {
  public:
    FakeWindow();

    std::string text(Control c) const override;
    void set_text(Control c, std::string_view gbk) override;
    void set_background(Control c, Colour colour) override;
    void set_timer_period(Control c, std::int32_t ms) override;
    void set_focus(Control c) override;
    void process_pending_events() override;

    // Queues an event for the next process_pending_events (or run_pending).
    void post(std::function<void()> event) { pending_.push_back(std::move(event)); }
    // Called for each timer tick, with the timer's name.
    std::function<void(Control)> on_tick;
    // Moves the virtual clock forward by ms, firing timer ticks in time order.
    void advance(std::int64_t ms);
    std::int64_t now() const { return now_ms_; }

    std::vector<Write> writes;  // every write, in order
    std::vector<Write> writes_to(Control c) const;
    Colour background(Control c) const;
    std::int32_t timer_period(Control c) const;
    int processed_batches = 0;

  private:
    struct Timer {
        std::int32_t period = 0;
        std::int64_t next_due = 0;
    };
    std::map<Control, std::string> texts_;
    std::map<Control, Colour> backgrounds_;
    std::map<Control, Timer> timers_;
    std::deque<std::function<void()>> pending_;
    std::int64_t now_ms_ = 0;
};

}  // namespace motor::test
