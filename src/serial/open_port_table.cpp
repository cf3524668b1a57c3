#include "open_port_table.h"

#include <algorithm>
#include <cctype>
#include <mutex>
#include <set>
#include <utility>

namespace motor::serial_backend {
namespace {

struct Table {
    std::mutex mutex;
    std::set<std::string> devices;
};

Table& table() {
    static Table instance;
    return instance;
}

// Device names are case-blind: \\.\com3 and \\.\COM3 are one port.
std::string key_of(std::string device) {
    std::transform(device.begin(), device.end(), device.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return device;
}

}  // namespace

OpenPortClaim::OpenPortClaim(std::string device) : device_(key_of(std::move(device))) {
    const std::lock_guard lock(table().mutex);
    held_ = table().devices.insert(device_).second;
}

OpenPortClaim::OpenPortClaim(OpenPortClaim&& other) noexcept
    : device_(std::move(other.device_)), held_(std::exchange(other.held_, false)) {}

OpenPortClaim::~OpenPortClaim() {
    if (!held_) return;
    const std::lock_guard lock(table().mutex);
    table().devices.erase(device_);
}

}  // namespace motor::serial_backend
