#include "stop_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace motor::sim {
namespace {

constexpr int stop_signals[] = {SIGINT, SIGTERM, SIGHUP};

// Written by the handler, so a plain int that is set once before the handlers go in.
volatile std::sig_atomic_t signal_write_end = -1;

extern "C" void on_stop_signal(int signal) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    // Non-blocking: a full pipe already says "stop".
    [[maybe_unused]] const ssize_t n = ::write(signal_write_end, &byte, 1);
    errno = saved;
}

}  // namespace

std::optional<StopSignals> StopSignals::install(std::string& error) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        error = std::string("cannot make the signal pipe: ") + std::strerror(errno);
        return std::nullopt;
    }
    StopSignals signals;
    signals.read_end_.reset(ends[0]);
    signals.write_end_.reset(ends[1]);
    signal_write_end = ends[1];

    struct sigaction action {};
    action.sa_handler = on_stop_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : stop_signals) {
        if (::sigaction(s, &action, nullptr) != 0) {
            error = std::string("cannot handle signal ") + std::to_string(s) + ": " +
                    std::strerror(errno);
            return std::nullopt;
        }
    }
    std::signal(SIGPIPE, SIG_IGN);
    return signals;
}

StopSignals::~StopSignals() {
    if (!write_end_) return;  // moved from
    for (int s : stop_signals) std::signal(s, SIG_DFL);
    signal_write_end = -1;
}

}  // namespace motor::sim
