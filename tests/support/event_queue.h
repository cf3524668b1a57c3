#pragma once
// The event thread of a test or benchmark: posts arrive from any thread and run on the thread
// that pumps, one at a time, in order, like a window's event queue. Pumping may nest.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>

#include "event_poster.h"

namespace motor::testing {

class EventQueue {
  public:
    EventPoster poster() {
        return [this](std::function<void()> call) {
            {
                const std::lock_guard lock(mutex_);
                calls_.push_back(std::move(call));
                ++posted_;
            }
            posted_signal_.notify_all();
        };
    }

    // Runs everything queued, including what the calls queue meanwhile; the number run.
    std::size_t run_pending() {
        std::size_t ran = 0;
        while (auto call = pop()) {
            call();
            ++ran;
        }
        return ran;
    }

    // Runs posted calls as they arrive until `done` holds or `limit` has passed; done().
    bool pump_until(const std::function<bool()>& done, std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        for (;;) {
            run_pending();
            if (done()) return true;
            std::unique_lock lock(mutex_);
            if (!posted_signal_.wait_until(lock, deadline, [this] { return !calls_.empty(); })) {
                lock.unlock();
                return done();
            }
        }
    }

    // Waits without running anything until a call is queued; false after `limit`.
    bool wait_for_post(std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        return posted_signal_.wait_for(lock, limit, [this] { return !calls_.empty(); });
    }

    // How many calls were ever posted.
    std::size_t posted() const {
        const std::lock_guard lock(mutex_);
        return posted_;
    }

  private:
    std::function<void()> pop() {
        const std::lock_guard lock(mutex_);
        if (calls_.empty()) return {};
        auto call = std::move(calls_.front());
        calls_.pop_front();
        return call;
    }

    mutable std::mutex mutex_;
    std::condition_variable posted_signal_;
    std::deque<std::function<void()>> calls_;
    std::size_t posted_ = 0;
};

}  // namespace motor::testing
