#include "fault_injector.h"

#include <charconv>

namespace motor::sim {

std::optional<FaultSetting> parse_fault_setting(std::string_view text) {
    const bool percent = !text.empty() && text.back() == '%';
    if (percent) text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    if (percent) {
        // Digits with an optional fraction, 0 to 100.
        double value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value,
                                                  std::chars_format::fixed);
        if (error != std::errc{} || end != text.data() + text.size() || value < 0 || value > 100)
            return std::nullopt;
        if (value == 0) return FaultSetting{};
        return FaultSetting{FaultSetting::Kind::rate, 0, value / 100.0};
    }
    std::uint32_t count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    if (count == 0) return FaultSetting{};
    return FaultSetting{FaultSetting::Kind::first, count, 0.0};
}

FaultInjector::FaultInjector(const FaultPlan& plan, std::uint32_t seed)
    : silent_{plan.silent},
      noise_{plan.noise},
      drop_byte_{plan.drop_byte},
      corrupt_checksum_{plan.corrupt_checksum},
      pause_reply_{plan.pause_reply},
      random_(seed) {}

bool FaultInjector::strikes(Rule& rule) {
    switch (rule.setting.kind) {
        case FaultSetting::Kind::never:
            return false;
        case FaultSetting::Kind::first:
            if (rule.struck >= rule.setting.count) return false;
            ++rule.struck;
            return true;
        case FaultSetting::Kind::rate:
            return std::bernoulli_distribution(rule.setting.rate)(random_);
    }
    return false;
}

ReplyFaults FaultInjector::next_reply() {
    ReplyFaults faults;
    if (strikes(silent_)) {
        faults.silent = true;
        return faults;
    }
    if (strikes(noise_)) {
        faults.noise =
            static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0, 255)(random_));
    }
    if (strikes(drop_byte_)) {
        faults.drop_index = std::uniform_int_distribution<std::size_t>(0, frame_size - 1)(random_);
    }
    faults.corrupt_checksum = strikes(corrupt_checksum_);
    faults.pause = strikes(pause_reply_);
    return faults;
}

ReplyBytes apply_faults(const Frame& reply, const ReplyFaults& faults) {
    if (faults.silent) return {};
    Frame frame = reply;
    if (faults.corrupt_checksum) ++frame[5];
    std::vector<std::uint8_t> bytes(frame.begin(), frame.end());
    if (faults.drop_index)
        bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(*faults.drop_index));
    if (!faults.pause) return {bytes, {}};
    const auto split = bytes.begin() + static_cast<std::ptrdiff_t>(pause_after_bytes);
    return {std::vector<std::uint8_t>(bytes.begin(), split),
            std::vector<std::uint8_t>(split, bytes.end())};
}

}  // namespace motor::sim
