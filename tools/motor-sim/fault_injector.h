#pragma once
// Faults the simulator puts into its replies, for tests and for curious operators: each fault
// strikes the first N replies, or each reply at random with a rate, or never.

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "frame.h"

namespace motor::sim {

struct FaultSetting {
    enum class Kind { never, first, rate };
    Kind kind = Kind::never;
    std::uint32_t count = 0;  // Kind::first: how many replies
    double rate = 0.0;        // Kind::rate: the chance for each reply, 0..1
    bool operator==(const FaultSetting&) const = default;
};

// "3" strikes the first 3 replies, "25%" a quarter of them at random, "0" and "0%" none.
std::optional<FaultSetting> parse_fault_setting(std::string_view text);

struct FaultPlan {
    FaultSetting silent;            // no answer at all
    FaultSetting noise;             // one random byte before the reply
    FaultSetting drop_byte;         // one byte of the reply left out
    FaultSetting corrupt_checksum;  // the checksum one too high
    FaultSetting pause_reply;       // a pause after the third byte, longer than the panel waits
};

// What befalls one reply.
struct ReplyFaults {
    bool silent = false;
    std::optional<std::uint8_t> noise{};      // the noise byte
    std::optional<std::size_t> drop_index{};  // 0..5
    bool corrupt_checksum = false;
    bool pause = false;
    bool operator==(const ReplyFaults&) const = default;
};

class FaultInjector {
  public:
    FaultInjector(const FaultPlan& plan, std::uint32_t seed);
    // Decides the faults of the next reply. A silent reply uses up no other fault.
    ReplyFaults next_reply();

  private:
    struct Rule {
        FaultSetting setting;
        std::uint32_t struck = 0;
    };
    bool strikes(Rule& rule);

    Rule silent_, noise_, drop_byte_, corrupt_checksum_, pause_reply_;
    std::mt19937 random_;
};

// The bytes of a reply as they go out, with its faults: `first` now, then after the pause
// `rest` (empty when the reply does not pause). A noise byte goes out on its own before both.
struct ReplyBytes {
    std::vector<std::uint8_t> first;
    std::vector<std::uint8_t> rest;
};
ReplyBytes apply_faults(const Frame& reply, const ReplyFaults& faults);

// Where a paused reply stops for its pause: after this many bytes.
inline constexpr std::size_t pause_after_bytes = 3;

}  // namespace motor::sim
