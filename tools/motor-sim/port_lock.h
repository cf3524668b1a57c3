#pragma once
// Ownership of comN in a port directory between simulators: an exclusive flock on the file
// comN.lock beside the link, holding the owner's process id for messages. The kernel lets go
// of the lock when its owner dies, however it dies, so a lock file left behind is no obstacle.

#include <filesystem>
#include <optional>
#include <string>

#include "unique_fd.h"

namespace motor::sim {

class PortLock {
  public:
    // Takes the lock of comN in dir; nullopt and a reason in `error` when another process
    // holds it or the file cannot be made.
    static std::optional<PortLock> acquire(const std::filesystem::path& dir, int number,
                                           std::string& error);

    PortLock(PortLock&&) = default;
    PortLock& operator=(PortLock&&) = default;
    // Removes the lock file, then lets go of the lock.
    ~PortLock();

    const std::filesystem::path& path() const { return path_; }

  private:
    PortLock(std::filesystem::path path, UniqueFd fd)
        : path_(std::move(path)), fd_(std::move(fd)) {}

    std::filesystem::path path_;
    UniqueFd fd_;
};

}  // namespace motor::sim
