#include "pty_pair.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <stdexcept>
#include <system_error>

namespace motor::testing {
namespace {

[[noreturn]] void fail(const char* what) {
    throw std::system_error(errno, std::system_category(), what);
}

void make_nonblocking_cloexec(int fd) {
    if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK) != 0) fail("fcntl");
    if (fcntl(fd, F_SETFD, FD_CLOEXEC) != 0) fail("fcntl");
}

int wait_ms(std::chrono::steady_clock::time_point deadline) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<std::int64_t>(left.count(), 0));
}

// Writes every byte at one end of the pair, waiting while the line is full.
void write_all(int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n > 0) {
            bytes = bytes.subspan(static_cast<std::size_t>(n));
        } else if (errno == EAGAIN) {
            pollfd out{fd, POLLOUT, 0};
            if (poll(&out, 1, 10'000) != 1) fail("poll for writing");
        } else if (errno != EINTR) {
            fail("write");
        }
    }
}

}  // namespace

PtyPair::PtyPair() {
    std::array<char, 128> name{};
    if (openpty(&master_, &slave_, name.data(), nullptr, nullptr) != 0) fail("openpty");
    slave_path_ = name.data();
    make_nonblocking_cloexec(master_);
    make_nonblocking_cloexec(slave_);
}

PtyPair::~PtyPair() {
    close_master();
    close(slave_);
}

void PtyPair::write_to_port(std::span<const std::uint8_t> bytes) const {
    write_all(master_, bytes);
}

void PtyPair::write_as_port(std::span<const std::uint8_t> bytes) const {
    write_all(slave_, bytes);
}

std::vector<std::uint8_t> PtyPair::read_from_port(std::size_t count,
                                                  std::chrono::milliseconds limit) const {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::vector<std::uint8_t> got;
    std::array<std::uint8_t, 4096> buffer;
    while (got.size() < count) {
        const ssize_t n = read(master_, buffer.data(), std::min(buffer.size(), count - got.size()));
        if (n > 0) {
            got.insert(got.end(), buffer.begin(), buffer.begin() + n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n == 0 || errno != EAGAIN) break;  // EIO: nobody has the slave open
        pollfd in{master_, POLLIN, 0};
        if (poll(&in, 1, wait_ms(deadline)) <= 0) break;
    }
    return got;
}

std::size_t PtyPair::clog() const {
    const std::array<std::uint8_t, 512> chunk{};
    std::size_t written = 0;
    for (;;) {
        const ssize_t n = write(slave_, chunk.data(), chunk.size());
        if (n > 0) {
            written += static_cast<std::size_t>(n);
            continue;
        }
        // The kernel moves bytes between its buffers in the background and may make room once
        // more: the line is full when it stays full for a while.
        pollfd out{slave_, POLLOUT, 0};
        if (poll(&out, 1, 500) == 0) return written;
    }
}

void PtyPair::close_master() {
    if (master_ >= 0) close(master_);
    master_ = -1;
}

}  // namespace motor::testing
