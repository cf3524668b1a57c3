#include "event_loop.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

namespace motor::sim {
namespace {

using Clock = std::chrono::steady_clock;

std::string failure(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

// Writes what the line takes now; the rest waits for POLLOUT. False on a write error.
bool write_some(int fd, std::vector<std::uint8_t>& unsent) {
    while (!unsent.empty()) {
        const ssize_t n = ::write(fd, unsent.data(), unsent.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno == EAGAIN || errno == EWOULDBLOCK;
        }
        unsent.erase(unsent.begin(), unsent.begin() + n);
    }
    return true;
}

// Reads everything the line has; false on a read error.
bool read_all(int fd, std::vector<std::uint8_t>& received) {
    std::uint8_t buffer[256];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            received.insert(received.end(), buffer, buffer + n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
}

}  // namespace

int run_event_loop(Simulator& simulator, PseudoTerminal& line, int stop_fd, std::string& error) {
    const Clock::time_point start = Clock::now();
    const auto now = [start] { return std::chrono::duration_cast<SimTime>(Clock::now() - start); };
    std::vector<std::uint8_t> unsent;
    std::vector<std::uint8_t> received;
    for (;;) {
        const std::vector<std::uint8_t> due = simulator.take_due_output(now());
        unsent.insert(unsent.end(), due.begin(), due.end());
        if (!write_some(line.master(), unsent)) {
            error = failure("writing to the line failed");
            return 1;
        }

        int timeout = -1;
        if (const auto next = simulator.next_due()) {
            timeout = static_cast<int>(std::max<std::int64_t>(0, (*next - now()).count()));
        }
        pollfd fds[] = {
            {stop_fd, POLLIN, 0},
            {line.master(), static_cast<short>(POLLIN | (unsent.empty() ? 0 : POLLOUT)), 0},
            {line.watch(), POLLIN, 0},
        };
        if (::poll(fds, 3, timeout) < 0) {
            if (errno == EINTR) continue;
            error = failure("waiting for the line failed");
            return 1;
        }
        if (fds[0].revents != 0) return 0;
        if (fds[2].revents != 0) line.slave_closed();
        if (fds[1].revents & POLLIN) {
            received.clear();
            if (!read_all(line.master(), received)) {
                error = failure("reading from the line failed");
                return 1;
            }
            simulator.receive(received, now());
        } else if (fds[1].revents & (POLLERR | POLLHUP | POLLNVAL)) {
            error = "the line hung up";
            return 1;
        }
    }
}

}  // namespace motor::sim
