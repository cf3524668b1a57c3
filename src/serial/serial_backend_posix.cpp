// The port object's backend on POSIX terminals: exclusive open with flock, raw line settings
// with termios, reception on a worker that waits in poll() on the device and an eventfd, and
// bounded one-byte writes.

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <exception>
#include <system_error>
#include <thread>
#include <utility>

#include "port_paths.h"
#include "posix_line_settings.h"
#include "serial_backend.h"

namespace motor::serial_backend {
namespace {

using Clock = std::chrono::steady_clock;

std::string errno_text(int error) {
    return std::system_category().message(error);
}

class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        reset(std::exchange(other.fd_, -1));
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

  private:
    int fd_ = -1;
};

// Milliseconds for poll(), rounded up so that a wait never ends just before its deadline.
int poll_timeout(Clock::duration remaining) {
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(remaining).count();
    return static_cast<int>(std::clamp<decltype(ms)>(ms, 0, 60'000));
}

// Takes the line into the wanted state; an empty text means success.
std::string configure_line(int fd, const PortSettings& settings) {
    termios wanted{};
    if (tcgetattr(fd, &wanted) != 0) return errno_text(errno);
    if (!apply_port_settings(wanted, settings)) return "line settings not supported";
    if (tcsetattr(fd, TCSANOW, &wanted) != 0) return errno_text(errno);
    // tcsetattr succeeds when any part of the change was taken: read back what the device kept.
    termios actual{};
    if (tcgetattr(fd, &actual) != 0) return errno_text(errno);
    if (!device_kept_settings(wanted, actual)) return "the device refused the line settings";

    // RTS as the settings say; DTR is never written. A device without modem lines (a
    // pseudo-terminal) refuses the request, which leaves nothing to set.
    int rts = TIOCM_RTS;
    const unsigned long request = settings.rts_mode == 1 ? TIOCMBIC : TIOCMBIS;
    if (ioctl(fd, request, &rts) != 0 && errno != ENOTTY && errno != EINVAL) {
        return errno_text(errno);
    }
    return {};
}

class PosixDevice final : public Device {
  public:
    PosixDevice(UniqueFd device, UniqueFd stop_signal, int baud_rate, ReceptionSink& sink)
        : fd_(std::move(device)),
          stop_signal_(std::move(stop_signal)),
          character_time_(std::chrono::microseconds(10'000'000 / baud_rate)),
          worker_([this, &sink] { receive(sink); }) {
        // Named for top -H and diagnostics; from here, so the name is there once open returns.
        pthread_setname_np(worker_.native_handle(), "serial-rx");
    }

    ~PosixDevice() override {
        // Closing the descriptor would not wake poll(); the eventfd does. The write cannot fail
        // (the counter is written once), and if it did, join would wait forever.
        const std::uint64_t one = 1;
        if (write(stop_signal_.get(), &one, sizeof one) < 0) std::terminate();
        worker_.join();
        // Exclusivity is a property of the terminal, not of this descriptor: lift it so that a
        // later open without privileges is not refused. Closing releases the flock.
        ioctl(fd_.get(), TIOCNXCL);
    }

    PosixDevice(const PosixDevice&) = delete;
    PosixDevice& operator=(const PosixDevice&) = delete;

    std::int32_t send_byte(std::uint8_t b, std::chrono::milliseconds timeout) override;

    std::uint64_t reception_wakeups() const override {
        return wakeups_.load(std::memory_order_relaxed);
    }

  private:
    enum class Write { done, timed_out, failed };

    void receive(ReceptionSink& sink);
    // Reads until the device has nothing more; an empty text, or why the device is gone.
    std::string read_waiting(ReceptionSink& sink);
    Write write_one(std::uint8_t b, Clock::time_point deadline);
    bool wait_until_sent(Clock::time_point deadline);

    const UniqueFd fd_;
    const UniqueFd stop_signal_;
    const std::chrono::microseconds character_time_;  // start bit, 8 data bits, stop bit
    std::atomic<std::uint64_t> wakeups_{0};
    bool output_left_over_ = false;  // event thread: the last write timed out, output may be left
    std::thread worker_;             // last: starts once everything above is ready
};

void PosixDevice::receive(ReceptionSink& sink) {
    std::array<pollfd, 2> fds{{{fd_.get(), POLLIN, 0}, {stop_signal_.get(), POLLIN, 0}}};
    for (;;) {
        const int ready = poll(fds.data(), fds.size(), -1);
        wakeups_.fetch_add(1, std::memory_order_relaxed);
        if (ready < 0) {
            if (errno == EINTR) continue;
            sink.device_lost(errno_text(errno));
            return;
        }
        if (fds[1].revents != 0) return;  // stop_port: the owner closes the device
        const short events = fds[0].revents;
        if (events & POLLNVAL) {
            sink.device_lost("the descriptor became invalid");
            return;
        }
        // A hang-up may come with bytes still waiting: read them first.
        std::string lost = read_waiting(sink);
        if (lost.empty() && (events & (POLLHUP | POLLERR))) lost = "the device hung up";
        if (!lost.empty()) {
            sink.device_lost(std::move(lost));
            return;
        }
    }
}

std::string PosixDevice::read_waiting(ReceptionSink& sink) {
    std::array<std::uint8_t, 4096> buffer;
    for (;;) {
        const ssize_t n = read(fd_.get(), buffer.data(), buffer.size());
        if (n > 0) {
            sink.bytes_received(std::span(buffer.data(), static_cast<std::size_t>(n)));
            continue;
        }
        // With VMIN = VTIME = 0 a terminal answers 0, not EAGAIN, when nothing is waiting, so 0
        // is no sign of a hang-up here: poll() tells that with POLLHUP.
        if (n == 0 || errno == EAGAIN) return {};
        if (errno == EINTR) continue;
        return errno_text(errno);
    }
}

std::int32_t PosixDevice::send_byte(std::uint8_t b, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    // Input the device holds and reception has not taken yet belongs to no reply.
    tcflush(fd_.get(), TCIFLUSH);
    // Output is discarded only when it is left over from a write that timed out. Discarding
    // before every byte would destroy the earlier bytes of the same frame while a driver still
    // holds them.
    int queued = 0;
    if (std::exchange(output_left_over_, false) && ioctl(fd_.get(), TIOCOUTQ, &queued) == 0 &&
        queued > 0) {
        tcflush(fd_.get(), TCOFLUSH);
    }
    switch (write_one(b, deadline)) {
        case Write::failed:
            return 0;
        case Write::timed_out:
            output_left_over_ = true;
            return 1;
        case Write::done:
            break;
    }
    if (!wait_until_sent(deadline)) output_left_over_ = true;
    return 1;
}

PosixDevice::Write PosixDevice::write_one(std::uint8_t b, Clock::time_point deadline) {
    for (;;) {
        const ssize_t n = write(fd_.get(), &b, 1);
        if (n == 1) return Write::done;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) return Write::failed;
        // The device's buffer is full: wait until it takes a byte again, or the deadline.
        pollfd out{fd_.get(), POLLOUT, 0};
        const int ready = poll(&out, 1, poll_timeout(deadline - Clock::now()));
        if (ready < 0 && errno != EINTR) return Write::failed;
        if (ready == 0) return Write::timed_out;
        if (out.revents & (POLLHUP | POLLERR | POLLNVAL)) return Write::failed;
    }
}

// Nothing signals "output queue empty" except tcdrain, which cannot be bounded. So look at the
// queue, and while characters are left, wait the time they need on the line and look again.
// A device that cannot tell (a pseudo-terminal always says 0) counts as sent.
bool PosixDevice::wait_until_sent(Clock::time_point deadline) {
    for (;;) {
        int queued = 0;
        if (ioctl(fd_.get(), TIOCOUTQ, &queued) != 0 || queued <= 0) return true;
        const auto remaining = deadline - Clock::now();
        if (remaining <= Clock::duration::zero()) return false;
        std::this_thread::sleep_for(std::min<Clock::duration>(remaining, character_time_ * queued));
    }
}

}  // namespace

OpenResult open_device(const std::string& path, const PortSettings& settings, ReceptionSink& sink) {
    // O_CLOEXEC: a child started later must not inherit the descriptor, and the lock with it.
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) return {nullptr, errno_text(errno)};
    // flock holds for everyone, root included, in this process and in others.
    if (flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        return {nullptr, errno == EWOULDBLOCK ? "in use by another program" : errno_text(errno)};
    }
    if (std::string error = configure_line(fd.get(), settings); !error.empty()) {
        return {nullptr, std::move(error)};
    }
    // Whatever the device buffered before this open belongs to nobody.
    if (tcflush(fd.get(), TCIOFLUSH) != 0) return {nullptr, errno_text(errno)};
    UniqueFd stop_signal(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!stop_signal.valid()) return {nullptr, errno_text(errno)};
    // A second guard for programs that ignore flock; it does not stop root. Set last, so that no
    // failure above leaves the terminal exclusive.
    ioctl(fd.get(), TIOCEXCL);
    return {std::make_unique<PosixDevice>(std::move(fd), std::move(stop_signal), settings.baud_rate,
                                          sink),
            {}};
}

std::string device_path_for(std::int32_t com_number) {
    return port_device_path(com_number, port_environment());
}

}  // namespace motor::serial_backend
