#pragma once

#include <functional>

namespace motor {

// Runs a callable on the event thread, later (Qt: a queued call; tests: a queue they pump).
// Must be callable from any thread.
using EventPoster = std::function<void(std::function<void()>)>;

}  // namespace motor
