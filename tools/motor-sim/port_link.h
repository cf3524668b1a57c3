#pragma once
// The link comN -> /dev/pts/K in a port directory, for as long as the simulator runs. Only an
// entry that a dead simulator left behind is ever replaced: one that leads elsewhere than a
// pseudo-terminal (a user's link to a real adapter) stays untouched.

#include <filesystem>
#include <optional>
#include <string>

#include "port_lock.h"

namespace motor::sim {

class PortLink {
  public:
    // Makes the directory if need be, takes the port's lock and links comN to `device`.
    static std::optional<PortLink> create(const std::filesystem::path& dir, int number,
                                          const std::string& device, std::string& error);

    PortLink(PortLink&& other) noexcept;
    PortLink& operator=(PortLink&&) = delete;
    PortLink(const PortLink&) = delete;
    // Removes the link if it still leads to our device, then the lock.
    ~PortLink();

    const std::filesystem::path& path() const { return path_; }

  private:
    PortLink(std::filesystem::path path, std::string device, PortLock lock)
        : path_(std::move(path)), device_(std::move(device)), lock_(std::move(lock)) {}

    std::filesystem::path path_;
    std::string device_;
    PortLock lock_;
    bool owned_ = true;
};

}  // namespace motor::sim
