#pragma once
// Time inside the simulator: milliseconds on a monotonic clock, counted from its start. The
// simulation takes the time as an argument everywhere, so tests run it without waiting.

#include <chrono>

namespace motor::sim {

using SimTime = std::chrono::milliseconds;

}  // namespace motor::sim
