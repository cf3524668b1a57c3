// The simulator's line on a real pseudo-terminal, linked in a temporary port directory.

#include "port_link.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>

#include "line_io.h"
#include "port_directory.h"
#include "pseudo_terminal.h"

namespace motor::sim {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

class PortLinkTest : public ::testing::Test {
  protected:
    PseudoTerminal open_pty() {
        std::string error;
        auto pty = PseudoTerminal::open(error);
        EXPECT_TRUE(pty) << error;
        return std::move(*pty);
    }
    std::optional<PortLink> link(const PseudoTerminal& pty, int number) {
        return PortLink::create(dir.path(), number, pty.slave_path(), error);
    }

    motor::testing::PortDirectory dir;
    std::string error;
};

TEST_F(PortLinkTest, LinksTheSlaveAsComNAndBytesFlowBothWaysRaw) {
    PseudoTerminal pty = open_pty();
    const auto made = link(pty, 3);
    ASSERT_TRUE(made) << error;
    EXPECT_EQ(made->path(), dir.path() / "com3");
    EXPECT_EQ(fs::read_symlink(dir.path() / "com3"), pty.slave_path());

    const int fd = test::open_line(dir.path() / "com3");
    ASSERT_GE(fd, 0);
    // Bytes a cooked terminal would change or swallow: CR, LF, Ctrl-C, Ctrl-D, DEL, 0xFF.
    const Bytes awkward = {0x0D, 0x0A, 0x03, 0x04, 0x7F, 0xFF, 0x00, 0x11, 0x13};
    ASSERT_TRUE(test::write_bytes(fd, awkward));
    EXPECT_EQ(test::read_bytes(pty.master(), awkward.size(), 2s), awkward);
    ASSERT_TRUE(test::write_bytes(pty.master(), awkward));
    EXPECT_EQ(test::read_bytes(fd, awkward.size(), 2s), awkward);
    // Nothing came back by itself (no echo).
    EXPECT_TRUE(test::read_bytes(pty.master(), 1, 50ms).empty());
    ::close(fd);
}

TEST_F(PortLinkTest, RemovesItsLinkAndLockWhenItEnds) {
    PseudoTerminal pty = open_pty();
    {
        const auto made = link(pty, 1);
        ASSERT_TRUE(made) << error;
        EXPECT_TRUE(fs::exists(dir.path() / "com1.lock"));
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir.path() / "com1")));
    EXPECT_FALSE(fs::exists(dir.path() / "com1.lock"));
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST_F(PortLinkTest, RefusesAPortThatALiveOwnerHoldsAndLeavesItsLink) {
    PseudoTerminal first = open_pty();
    PseudoTerminal second = open_pty();
    const auto owner = link(first, 1);
    ASSERT_TRUE(owner) << error;
    EXPECT_FALSE(link(second, 1));
    EXPECT_EQ(error, "com1 in " + dir.path().string() +
                         " belongs to a running simulator (process " + std::to_string(::getpid()) +
                         ")");
    EXPECT_EQ(fs::read_symlink(dir.path() / "com1"), first.slave_path());
    // Another number is free.
    EXPECT_TRUE(link(second, 2)) << error;
}

TEST_F(PortLinkTest, TakesOverWhatADeadSimulatorLeftBehind) {
    fs::create_symlink("/dev/pts/999", dir.path() / "com1");
    std::ofstream(dir.path() / "com1.lock") << "999999\n";
    PseudoTerminal pty = open_pty();
    const auto made = link(pty, 1);
    ASSERT_TRUE(made) << error;
    EXPECT_EQ(fs::read_symlink(dir.path() / "com1"), pty.slave_path());
}

TEST_F(PortLinkTest, LeavesEntriesThatAreNotASimulatorsLinkAlone) {
    fs::create_symlink("/dev/ttyUSB0", dir.path() / "com1");
    std::ofstream(dir.path() / "com2") << "not a link";
    PseudoTerminal pty = open_pty();
    EXPECT_FALSE(link(pty, 1));
    EXPECT_NE(error.find("is not a simulator's link"), std::string::npos) << error;
    EXPECT_FALSE(link(pty, 2));
    EXPECT_EQ(fs::read_symlink(dir.path() / "com1"), "/dev/ttyUSB0");
    EXPECT_TRUE(fs::is_regular_file(dir.path() / "com2"));
    // Refusing took no lock that would keep a later attempt out.
    EXPECT_FALSE(fs::exists(dir.path() / "com1.lock"));
}

TEST_F(PortLinkTest, LeavesAnEntrySomeoneElseMadeMeanwhile) {
    PseudoTerminal pty = open_pty();
    {
        const auto made = link(pty, 1);
        ASSERT_TRUE(made) << error;
        fs::remove(dir.path() / "com1");
        fs::create_symlink("/dev/ttyUSB0", dir.path() / "com1");
    }
    EXPECT_EQ(fs::read_symlink(dir.path() / "com1"), "/dev/ttyUSB0");
}

TEST_F(PortLinkTest, MakesAMissingPortDirectory) {
    PseudoTerminal pty = open_pty();
    const fs::path nested = dir.path() / "config/motor-panel/ports";
    const auto made = PortLink::create(nested, 1, pty.slave_path(), error);
    ASSERT_TRUE(made) << error;
    EXPECT_TRUE(fs::is_symlink(nested / "com1"));
}

TEST(PseudoTerminal, ClearsTheExclusiveFlagWhenAProgramClosesTheLine) {
    // A program that opens the line exclusively and closes it must not keep the next ordinary
    // user out: the simulator holds the terminal open, so the flag would stay.
    std::string error;
    auto pty = PseudoTerminal::open(error);
    ASSERT_TRUE(pty) << error;
    // Opened before the flag is set, so this one needs no privilege to read it later.
    const int observer = test::open_line(pty->slave_path());
    ASSERT_GE(observer, 0);
    const int program = test::open_line(pty->slave_path());
    ASSERT_GE(program, 0);
    ASSERT_EQ(::ioctl(program, TIOCEXCL), 0);
    ::close(program);
    ASSERT_TRUE(test::wait_readable(pty->watch(), 2s));

    int exclusive = 0;
    ASSERT_EQ(::ioctl(observer, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 1);
    pty->slave_closed();
    ASSERT_EQ(::ioctl(observer, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    ::close(observer);
}

}  // namespace
}  // namespace motor::sim
