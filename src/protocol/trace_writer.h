#pragma once
// Writes one trace line per frame sent, reply assembled and partial frame dropped, to a stream
// such as stderr or a file opened for appending. Watches the link and never changes it: a
// failed write is reported once on stderr and tracing stops, the panel goes on as before.

#include <cstdio>
#include <functional>
#include <span>
#include <string_view>

#include "motor_link.h"
#include "trace_format.h"

namespace motor {

class TraceWriter final : public LinkObserver {
  public:
    using Clock = std::function<TraceTime()>;

    // out stays owned by the caller. The clock defaults to the local time now.
    explicit TraceWriter(std::FILE* out, Clock clock = {});

    void frame_sent(const Frame& frame) override;
    void reply_assembled(const Frame& frame, bool checksum_ok) override;
    void partial_dropped(const std::uint8_t* bytes, std::size_t count) override;

    // One line of any kind; each line is flushed, so a trace survives a crash.
    void write(TraceDirection direction, std::span<const std::uint8_t> bytes,
               std::string_view meaning);

    bool failed() const { return failed_; }

  private:
    std::FILE* out_;
    Clock clock_;
    bool failed_ = false;
};

}  // namespace motor
