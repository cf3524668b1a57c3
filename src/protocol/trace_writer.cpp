#include "trace_writer.h"

#include <cerrno>
#include <cstring>
#include <string>

namespace motor {

TraceWriter::TraceWriter(std::FILE* out, Clock clock) : out_(out), clock_(std::move(clock)) {
    if (!clock_) clock_ = [] { return local_trace_time(std::chrono::system_clock::now()); };
}

void TraceWriter::frame_sent(const Frame& frame) {
    write(TraceDirection::sent, frame, command_meaning(frame));
}

void TraceWriter::reply_assembled(const Frame& frame, bool /*checksum_ok*/) {
    // reply_meaning tells a bad checksum by itself.
    write(TraceDirection::received, frame, reply_meaning(frame));
}

void TraceWriter::partial_dropped(const std::uint8_t* bytes, std::size_t count) {
    write(TraceDirection::received, std::span<const std::uint8_t>(bytes, count),
          partial_meaning(count));
}

void TraceWriter::write(TraceDirection direction, std::span<const std::uint8_t> bytes,
                        std::string_view meaning) {
    if (failed_) return;
    const std::string line = trace_line(clock_(), direction, bytes, meaning) + "\n";
    errno = 0;
    if (std::fputs(line.c_str(), out_) < 0 || std::fflush(out_) != 0) {
        failed_ = true;
        const int error = errno;
        if (out_ != stderr) {
            std::fprintf(stderr, "trace: writing failed (%s); tracing stops here\n",
                         error != 0 ? std::strerror(error) : "unknown error");
        }
    }
}

}  // namespace motor
