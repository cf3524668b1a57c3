#include "line_io.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace motor::sim::test {

using Clock = std::chrono::steady_clock;

int open_line(const std::filesystem::path& path) {
    return ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
}

bool write_bytes(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EAGAIN) {
            pollfd p{fd, POLLOUT, 0};
            if (::poll(&p, 1, 2000) <= 0) return false;
            continue;
        }
        if (n < 0 && errno != EINTR) return false;
        if (n > 0) done += static_cast<std::size_t>(n);
    }
    return true;
}

bool wait_readable(int fd, std::chrono::milliseconds limit) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, static_cast<int>(limit.count())) > 0;
}

std::vector<std::uint8_t> read_bytes(int fd, std::size_t count, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    std::vector<std::uint8_t> got;
    while (got.size() < count) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0 || !wait_readable(fd, left)) break;
        std::uint8_t buffer[64];
        const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, count - got.size()));
        if (n > 0) got.insert(got.end(), buffer, buffer + n);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) break;
    }
    return got;
}

}  // namespace motor::sim::test
