// The motor-sim program itself: its link, its answers, its stop signals and its refusals.

#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "frame.h"
#include "line_io.h"
#include "port_directory.h"
#include "sim_process.h"

namespace motor::sim {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using test::SimProcess;

const Bytes read_position = {0x03, 0x02, 0x01, 0x00, 0x32, 0x38};

// Sends READ_POSITION to 010203 over comN and returns what comes back.
Bytes ask_position(const fs::path& link) {
    const int fd = test::open_line(link);
    if (fd < 0) return {};
    test::write_bytes(fd, read_position);
    Bytes reply = test::read_bytes(fd, 6, 5s);
    ::close(fd);
    return reply;
}

class StopSignal : public ::testing::TestWithParam<int> {};

TEST_P(StopSignal, EndsTheSimulatorAndRemovesItsLink) {
    motor::testing::PortDirectory dir;
    SimProcess sim(dir.path(), {"--port=4", "--motor=010203:77"});
    ASSERT_TRUE(sim.wait_ready()) << sim.errors();
    EXPECT_TRUE(fs::is_symlink(dir.path() / "com4"));

    EXPECT_EQ(ask_position(dir.path() / "com4"), (Bytes{0x03, 0x02, 0x01, 0x00, 77, 0x53}));
    EXPECT_TRUE(sim.wait_for_output("TX 03 02 01 00 4D 53  reply from 010203 position 77"))
        << sim.output();
    EXPECT_NE(sim.output().find("RX 03 02 01 00 32 38  READ_POSITION value 50 to 010203"),
              std::string::npos)
        << sim.output();

    sim.send_signal(GetParam());
    EXPECT_EQ(sim.wait_exit(), 0) << sim.errors();
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir.path() / "com4")));
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignal, ::testing::Values(SIGINT, SIGTERM, SIGHUP),
                         [](const auto& info) { return std::string(sigabbrev_np(info.param)); });

TEST(MotorSimProgram, RefusesAPortAnotherRunningSimulatorOwns) {
    motor::testing::PortDirectory dir;
    SimProcess first(dir.path(), {});
    ASSERT_TRUE(first.wait_ready()) << first.errors();
    const fs::path device = fs::read_symlink(dir.path() / "com1");

    SimProcess second(dir.path(), {});
    EXPECT_EQ(second.wait_exit(), 1);
    EXPECT_NE(second.errors().find("belongs to a running simulator"), std::string::npos)
        << second.errors();
    EXPECT_EQ(fs::read_symlink(dir.path() / "com1"), device);
    EXPECT_EQ(ask_position(dir.path() / "com1").size(), 6u);
}

TEST(MotorSimProgram, TakesOverTheLinkOfASimulatorThatWasKilled) {
    motor::testing::PortDirectory dir;
    {
        SimProcess killed(dir.path(), {});
        ASSERT_TRUE(killed.wait_ready()) << killed.errors();
        killed.send_signal(SIGKILL);
        killed.wait_exit();
    }
    ASSERT_TRUE(fs::is_symlink(dir.path() / "com1"));  // left behind
    SimProcess next(dir.path(), {"--motor=010203:9"});
    ASSERT_TRUE(next.wait_ready()) << next.errors();
    EXPECT_EQ(ask_position(dir.path() / "com1"), (Bytes{0x03, 0x02, 0x01, 0x00, 9, 0x0F}));
}

TEST(MotorSimProgram, AnswersAgainAfterTheProgramOnTheLineClosedIt) {
    motor::testing::PortDirectory dir;
    SimProcess sim(dir.path(), {"--quiet"});
    ASSERT_TRUE(sim.wait_ready()) << sim.errors();
    for (int run = 0; run < 3; ++run) {
        EXPECT_EQ(ask_position(dir.path() / "com1").size(), 6u) << "run " << run;
    }
    EXPECT_EQ(sim.output(), "");
}

TEST(MotorSimProgram, ExplainsItselfAndRefusesWrongOptions) {
    motor::testing::PortDirectory dir;
    SimProcess help(dir.path(), {"--help"});
    EXPECT_EQ(help.wait_exit(), 0);
    EXPECT_EQ(help.output().rfind("Usage: motor-sim [OPTION]...", 0), 0u) << help.output();

    SimProcess wrong(dir.path(), {"--port=0"});
    EXPECT_EQ(wrong.wait_exit(), 2);
    EXPECT_NE(wrong.errors().find("Try 'motor-sim --help'"), std::string::npos);
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

}  // namespace
}  // namespace motor::sim
