#include "fake_window.h"

#include <algorithm>

namespace motor::test {

FakeWindow::FakeWindow() {
    // The texts and colours the window description starts with.
    texts_[Control::编辑框_实际位置] = "50";
    texts_[Control::编辑框_目标位置] = "50";
    texts_[Control::编辑框_目标地址] = "010203";
    texts_[Control::编辑框_通读地址] = "";
    backgrounds_[Control::编辑框_通读地址] = 0x00C0C0C0;
    backgrounds_[Control::编辑框_实际位置] = 0x00FFFFFF;
    backgrounds_[Control::编辑框_目标位置] = 0x00FFFFFF;
    backgrounds_[Control::编辑框_目标地址] = 0x00FFFFFF;
    timers_[Control::时钟1] = {500, 500};
    timers_[Control::时钟_闪烁定时] = {0, 0};
}

std::string FakeWindow::text(Control c) const {
    const auto it = texts_.find(c);
    return it == texts_.end() ? std::string{} : it->second;
}

void FakeWindow::set_text(Control c, std::string_view gbk) {
    texts_[c] = std::string(gbk);
    writes.push_back({Write::Kind::text, c, std::string(gbk), 0});
}

void FakeWindow::set_background(Control c, Colour colour) {
    backgrounds_[c] = colour;
    writes.push_back({Write::Kind::background, c, {}, colour});
}

void FakeWindow::set_timer_period(Control c, std::int32_t ms) {
    writes.push_back({Write::Kind::timer_period, c, {}, static_cast<std::uint32_t>(ms)});
    Timer& t = timers_[c];
    const std::int32_t period = std::max(ms, 0);
    if (period == t.period) return;  // a running timer is neither restarted nor reset
    t.period = period;
    t.next_due = now_ms_ + period;
}

void FakeWindow::set_focus(Control c) {
    writes.push_back({Write::Kind::focus, c, {}, 0});
}

void FakeWindow::process_pending_events() {
    ++processed_batches;
    while (!pending_.empty()) {
        auto event = std::move(pending_.front());
        pending_.pop_front();
        event();
    }
}

void FakeWindow::advance(std::int64_t ms) {
    const std::int64_t end = now_ms_ + ms;
    for (;;) {
        // The earliest due running timer at or before the end; ties in name order.
        auto next = timers_.end();
        for (auto it = timers_.begin(); it != timers_.end(); ++it) {
            if (it->second.period > 0 && it->second.next_due <= end &&
                (next == timers_.end() || it->second.next_due < next->second.next_due)) {
                next = it;
            }
        }
        if (next == timers_.end()) break;
        now_ms_ = next->second.next_due;
        next->second.next_due += next->second.period;
        if (on_tick) on_tick(next->first);
    }
    now_ms_ = end;
}

std::vector<Write> FakeWindow::writes_to(Control c) const {
    std::vector<Write> out;
    std::copy_if(writes.begin(), writes.end(), std::back_inserter(out),
                 [c](const Write& w) { return w.control == c; });
    return out;
}

Colour FakeWindow::background(Control c) const {
    const auto it = backgrounds_.find(c);
    return it == backgrounds_.end() ? 0 : it->second;
}

std::int32_t FakeWindow::timer_period(Control c) const {
    const auto it = timers_.find(c);
    return it == timers_.end() ? 0 : it->second.period;
}

}  // namespace motor::test
