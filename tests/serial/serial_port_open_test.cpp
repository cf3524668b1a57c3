// Which device a port number opens, and when opening must fail.

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>

#include "serial_line_fixture.h"

namespace motor {
namespace {

struct ComNumberCase {
    const char* name;
    std::int32_t given;
    std::int32_t stored;
    friend void PrintTo(const ComNumberCase& c, std::ostream* os) { *os << c.name; }
};

class ComNumber : public SerialLineTest, public ::testing::WithParamInterface<ComNumberCase> {};

TEST_P(ComNumber, OpensTheDeviceOfTheStoredNumber) {
    const ComNumberCase& c = GetParam();
    ports.link(c.stored, line.slave_path());
    port.set_com_number(c.given);
    EXPECT_EQ(port.com_number(), c.stored);
    EXPECT_EQ(port.device_path(), line.slave_path());
    ASSERT_EQ(port.start_port(), 1) << port.last_error();
    EXPECT_EQ(port.send_byte(0x5A), 1);
    EXPECT_EQ(line.read_from_port(1, patience), std::vector<std::uint8_t>{0x5A});
}

INSTANTIATE_TEST_SUITE_P(Table, ComNumber,
                         ::testing::Values(ComNumberCase{"ZeroIsCom1", 0, 1},
                                           ComNumberCase{"NegativeIsCom1", -5, 1},
                                           ComNumberCase{"Com1", 1, 1},
                                           ComNumberCase{"Com255", 255, 255}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SerialLineTest, OpenPortStaysOnItsDeviceUntilTheNextStart) {
    testing::PtyPair other;
    ports.link(2, other.slave_path());
    open_on(1);

    port.set_com_number(2);
    EXPECT_EQ(port.send_byte(0x11), 1);
    EXPECT_EQ(line.read_from_port(1, patience), std::vector<std::uint8_t>{0x11});

    ASSERT_EQ(port.start_port(), 1);
    EXPECT_EQ(port.send_byte(0x22), 1);
    EXPECT_EQ(other.read_from_port(1, patience), std::vector<std::uint8_t>{0x22});
}

// Exclusivity stays on the terminal after its descriptor closes; left set, it would refuse the
// next open of anyone but root.
TEST_F(SerialLineTest, TerminalIsExclusiveOnlyWhileThePortIsOpen) {
    int exclusive = -1;
    open_on(3);
    ASSERT_EQ(ioctl(line.slave(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 1);
    port.stop_port();
    ASSERT_EQ(ioctl(line.slave(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
}

// Each case makes COM9 something that cannot be opened as a port.
struct UnusableCase {
    const char* name;
    std::function<void(const testing::PortDirectory&)> make_com9;
    friend void PrintTo(const UnusableCase& c, std::ostream* os) { *os << c.name; }
};

class UnusableDevice : public SerialLineTest, public ::testing::WithParamInterface<UnusableCase> {};

TEST_P(UnusableDevice, StartFailsAndLeavesThePortClosedEvenIfItWasOpen) {
    GetParam().make_com9(ports);
    open_on(3);
    port.set_com_number(9);
    EXPECT_EQ(port.start_port(), 0);
    EXPECT_FALSE(port.is_open());
    EXPECT_FALSE(port.last_error().empty());
    EXPECT_EQ(port.send_byte(0x01), 0);
}

INSTANTIATE_TEST_SUITE_P(Table, UnusableDevice,
                         ::testing::Values(
                             // No fallback to /dev/ttyS8 while the port directory is set.
                             UnusableCase{"NoEntry", [](const testing::PortDirectory&) {}},
                             UnusableCase{"UnpluggedAdapter",
                                          [](const testing::PortDirectory& dir) {
                                              dir.link(9, dir.path() / "gone");
                                          }},
                             // Opens and locks, but refuses terminal settings.
                             UnusableCase{"NotATerminal",
                                          [](const testing::PortDirectory& dir) {
                                              std::ofstream(dir.path() / "plain-file") << "x";
                                              dir.link(9, dir.path() / "plain-file");
                                          }}),
                         [](const auto& info) { return std::string(info.param.name); });

// Another process that opens and locks a device until destroyed.
class LockingChild {
  public:
    explicit LockingChild(const std::string& path) {
        int ready[2];
        int release[2];
        if (pipe2(ready, O_CLOEXEC) != 0 || pipe2(release, O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe2");
        }
        pid_ = fork();
        if (pid_ == 0) {
            close(ready[0]);
            close(release[1]);  // else the child would wait for itself to let go
            const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
            const char locked = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0 ? 1 : 0;
            if (write(ready[1], &locked, 1) != 1) _exit(1);
            char ignored;
            const ssize_t ended = read(release[0], &ignored, 1);  // 0 once the parent lets go
            _exit(ended == 0 ? 0 : 1);
        }
        close(ready[1]);
        close(release[0]);
        release_ = release[1];
        pollfd answer{ready[0], POLLIN, 0};
        char locked = 0;
        const bool answered = poll(&answer, 1, 10'000) == 1 && read(ready[0], &locked, 1) == 1;
        close(ready[0]);
        if (!answered || locked != 1) throw std::runtime_error("the child could not lock");
    }
    ~LockingChild() {
        close(release_);
        waitpid(pid_, nullptr, 0);
    }
    LockingChild(const LockingChild&) = delete;
    LockingChild& operator=(const LockingChild&) = delete;

  private:
    pid_t pid_ = -1;
    int release_ = -1;
};

// A descriptor of this process that opens and locks a device.
class LockingDescriptor {
  public:
    explicit LockingDescriptor(const std::string& path)
        : fd_(open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {
        if (fd_ < 0 || flock(fd_, LOCK_EX | LOCK_NB) != 0) throw std::runtime_error("lock");
    }
    ~LockingDescriptor() { close(fd_); }
    LockingDescriptor(const LockingDescriptor&) = delete;
    LockingDescriptor& operator=(const LockingDescriptor&) = delete;

  private:
    int fd_;
};

struct HolderCase {
    const char* name;
    // Holds COM1 (the test's line) until the result is destroyed.
    std::function<std::shared_ptr<void>(const EventPoster&, const std::string& path)> hold;
    friend void PrintTo(const HolderCase& c, std::ostream* os) { *os << c.name; }
};

class HeldDevice : public SerialLineTest, public ::testing::WithParamInterface<HolderCase> {
  protected:
    testing::PtyPair other;
};

TEST_P(HeldDevice, StartFailsUntilTheHolderLetsGo) {
    ports.link(1, line.slave_path());
    ports.link(2, other.slave_path());
    auto holder = GetParam().hold(events.poster(), line.slave_path());

    port.set_com_number(2);
    ASSERT_EQ(port.start_port(), 1) << port.last_error();
    port.set_com_number(1);
    EXPECT_EQ(port.start_port(), 0);
    EXPECT_FALSE(port.is_open());
    EXPECT_EQ(port.send_byte(0x01), 0);

    holder.reset();
    EXPECT_EQ(port.start_port(), 1) << port.last_error();
}

INSTANTIATE_TEST_SUITE_P(
    Table, HeldDevice,
    ::testing::Values(HolderCase{"DescriptorInThisProcess",
                                 [](const EventPoster&, const std::string& path) {
                                     return std::make_shared<LockingDescriptor>(path);
                                 }},
                      // Forked before any port starts its worker, so the child is single-threaded.
                      HolderCase{"AnotherProcess",
                                 [](const EventPoster&, const std::string& path) {
                                     return std::make_shared<LockingChild>(path);
                                 }},
                      HolderCase{"AnotherPortObject",
                                 [](const EventPoster& post, const std::string&) {
                                     auto holder = std::make_shared<SerialPort>(post);
                                     holder->set_com_number(1);
                                     if (holder->start_port() != 1)
                                         throw std::runtime_error("first open");
                                     return holder;
                                 }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace motor
