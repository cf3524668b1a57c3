#pragma once
// SIGINT, SIGTERM and SIGHUP as a readable descriptor (the self-pipe way), so the event loop
// waits for them in poll() together with the line and ends in order, removing its link.
// SIGPIPE is ignored: a write error is handled where it happens.

#include <optional>
#include <string>

#include "unique_fd.h"

namespace motor::sim {

class StopSignals {
  public:
    // One per process; installs the handlers.
    static std::optional<StopSignals> install(std::string& error);
    StopSignals(StopSignals&&) = default;
    // Puts the default handlers back.
    ~StopSignals();

    // Readable once a stop signal came.
    int fd() const { return read_end_.get(); }

  private:
    StopSignals() = default;

    UniqueFd read_end_;
    UniqueFd write_end_;
};

}  // namespace motor::sim
