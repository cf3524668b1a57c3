#include "simulator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace motor::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes command(AddressBytes a, CommandCode code, std::uint8_t value) {
    const auto c = static_cast<std::uint8_t>(code);
    return {a[0], a[1], a[2], c, value, frame_checksum(a[0], a[1], a[2], c, value)};
}

constexpr AddressBytes default_address{0x03, 0x02, 0x01};
constexpr AddressBytes broadcast{0, 0, 0};

struct TraceEntry {
    TraceDirection direction;
    Bytes bytes;
    std::string meaning;
};

// A simulator with 100 steps per second and a 20 ms reply delay, whose trace is kept.
class SimulatorTest : public testing::Test {
  protected:
    void start(SimulatorSettings s = {}) {
        s.steps_per_second = 100;
        simulator.emplace(
            s, [this](TraceDirection d, std::span<const std::uint8_t> b, std::string_view m) {
                trace.push_back({d, Bytes(b.begin(), b.end()), std::string(m)});
            });
    }
    void receive(const Bytes& bytes, int at_ms) { simulator->receive(bytes, SimTime(at_ms)); }
    // Runs the simulator's clock to `until_ms` as the event loop would: from due to due.
    Bytes run_until(int until_ms) {
        Bytes out;
        while (auto due = simulator->next_due()) {
            if (*due > SimTime(until_ms)) break;
            const Bytes b = simulator->take_due_output(*due);
            out.insert(out.end(), b.begin(), b.end());
            sent_at.push_back(static_cast<int>(due->count()));
        }
        return out;
    }

    std::optional<Simulator> simulator;
    std::vector<TraceEntry> trace;
    std::vector<int> sent_at;
};

class EveryCommand : public SimulatorTest, public testing::WithParamInterface<CommandCode> {};

TEST_P(EveryCommand, IsAnsweredAfterTheDelayWithAddressEchoAndPosition) {
    SimulatorSettings s;
    s.motors = {{default_address, 100}};
    start(s);
    receive(command(default_address, GetParam(), 150), 1000);
    EXPECT_EQ(simulator->next_due(), SimTime(1020));
    const Bytes out = run_until(1020);
    ASSERT_EQ(out.size(), 6u);
    EXPECT_EQ(out[0], 0x03);
    EXPECT_EQ(out[1], 0x02);
    EXPECT_EQ(out[2], 0x01);
    EXPECT_EQ(out[3], static_cast<std::uint8_t>(GetParam()));
    EXPECT_TRUE(checksum_holds({out[0], out[1], out[2], out[3], out[4], out[5]}));
    // The position 20 ms into whatever movement the command started.
    const std::uint8_t expected = GetParam() == CommandCode::OPEN                   ? 102
                                  : GetParam() == CommandCode::CLOSE                ? 98
                                  : GetParam() == CommandCode::PROPORTIONAL_CONTROL ? 102
                                                                                    : 100;
    EXPECT_EQ(out[4], expected);
}

INSTANTIATE_TEST_SUITE_P(AllCodes, EveryCommand, testing::ValuesIn(all_command_codes),
                         [](const auto& info) {
                             return std::string(
                                 command_name(static_cast<std::uint8_t>(info.param)));
                         });

TEST_F(SimulatorTest, MovesBetweenCommandsAndReportsWhereItIs) {
    start();
    receive(command(default_address, CommandCode::PROPORTIONAL_CONTROL, 200), 0);
    run_until(100);
    receive(command(default_address, CommandCode::READ_POSITION, 0), 1000);
    EXPECT_EQ(run_until(1100)[4], 102);  // 1020 ms at 100 per second
    receive(command(default_address, CommandCode::READ_POSITION, 0), 5000);
    EXPECT_EQ(run_until(5100)[4], 200);
}

TEST_F(SimulatorTest, StaysSilentForABadChecksumOrAnotherAddress) {
    start();
    Bytes bad = command(default_address, CommandCode::OPEN, 50);
    ++bad[5];
    receive(bad, 0);
    receive(command({0x01, 0x02, 0x03}, CommandCode::OPEN, 50), 10);
    EXPECT_FALSE(simulator->next_due());
    EXPECT_TRUE(run_until(10000).empty());
    EXPECT_EQ(simulator->motors()[0].position(SimTime(10000)), 0);  // nothing acted on
    ASSERT_EQ(trace.size(), 2u);
    EXPECT_EQ(trace[0].meaning, "bad checksum (expected 39)");
    EXPECT_EQ(trace[1].meaning, "OPEN value 50 to 030201 [no motor with this address]");
}

TEST_F(SimulatorTest, EveryMotorAnswersABroadcastInTurnWithItsOwnAddress) {
    SimulatorSettings s;
    s.motors = {{{0x0C, 0x0B, 0x0A}, 5}, {default_address, 7}};
    start(s);
    receive(command(broadcast, CommandCode::BROADCAST_READ_ADDRESS, 50), 0);
    const Bytes out = run_until(1000);
    EXPECT_EQ(out, (Bytes{0x0C, 0x0B, 0x0A, 0x20, 5, 0x46, 0x03, 0x02, 0x01, 0x20, 7, 0x2D}));
    EXPECT_EQ(sent_at, (std::vector<int>{20, 40}));
}

TEST_F(SimulatorTest, OnlyTheAddressedMotorOfSeveralActs) {
    SimulatorSettings s;
    s.motors = {{{0x0C, 0x0B, 0x0A}, 0}, {default_address, 0}};
    start(s);
    receive(command(default_address, CommandCode::OPEN, 0), 0);
    const Bytes out = run_until(1000);
    ASSERT_EQ(out.size(), 6u);
    EXPECT_EQ(out[0], 0x03);
    EXPECT_EQ(simulator->motors()[0].position(SimTime(1000)), 0);
    EXPECT_EQ(simulator->motors()[1].position(SimTime(1000)), 100);
}

TEST_F(SimulatorTest, AssemblesBytesThatArriveOneByOne) {
    start();
    const Bytes frame = command(default_address, CommandCode::READ_POSITION, 0);
    for (std::size_t i = 0; i < frame.size(); ++i) {
        receive({frame[i]}, static_cast<int>(100 * i));
    }
    EXPECT_EQ(run_until(1000).size(), 6u);
    EXPECT_EQ(sent_at, (std::vector<int>{520}));
}

TEST_F(SimulatorTest, DropsAPartialFrameAtTheWatchdogsTimeAndTracesIt) {
    start();
    receive({0x03, 0x02, 0x01}, 100);
    EXPECT_EQ(simulator->next_due(), SimTime(1500));
    EXPECT_TRUE(run_until(1500).empty());
    EXPECT_FALSE(simulator->next_due());
    ASSERT_EQ(trace.size(), 1u);
    EXPECT_EQ(trace[0].direction, TraceDirection::received);
    EXPECT_EQ(trace[0].bytes, (Bytes{3, 2, 1}));
    EXPECT_EQ(trace[0].meaning, "partial frame dropped (3 of 6 bytes)");
    // After the drop a whole frame is understood again.
    receive(command(default_address, CommandCode::READ_POSITION, 0), 2000);
    EXPECT_EQ(run_until(3000).size(), 6u);
}

TEST_F(SimulatorTest, TracesEachFrameInAndOut) {
    start();
    receive(command(default_address, CommandCode::OPEN, 50), 0);
    run_until(100);
    ASSERT_EQ(trace.size(), 2u);
    EXPECT_EQ(trace[0].direction, TraceDirection::received);
    EXPECT_EQ(trace[0].meaning, "OPEN value 50 to 010203");
    EXPECT_EQ(trace[1].direction, TraceDirection::sent);
    EXPECT_EQ(trace[1].bytes, (Bytes{3, 2, 1, 1, 2, 9}));
    EXPECT_EQ(trace[1].meaning, "reply from 010203 position 2");
}

TEST_F(SimulatorTest, APausedReplyHoldsBackTheRestAndTheRepliesBehindIt) {
    SimulatorSettings s;
    s.faults.pause_reply = {FaultSetting::Kind::first, 1, 0};
    s.pause = SimTime(2000);
    start(s);
    receive(command(default_address, CommandCode::READ_POSITION, 0), 0);
    receive(command(default_address, CommandCode::READ_POSITION, 0), 10);
    const Bytes out = run_until(5000);
    EXPECT_EQ(out, (Bytes{3, 2, 1, 0, 0, 6, 3, 2, 1, 0, 0, 6}));
    EXPECT_EQ(sent_at, (std::vector<int>{20, 2020}));
    ASSERT_EQ(trace.size(), 5u);
    EXPECT_EQ(trace[2].bytes, (Bytes{3, 2, 1}));
    EXPECT_EQ(trace[2].meaning, "reply from 010203 position 0 [pausing 2000 ms after byte 3]");
    EXPECT_EQ(trace[3].bytes, (Bytes{0, 0, 6}));
    EXPECT_EQ(trace[3].meaning, "rest of the reply, after the pause");
}

TEST_F(SimulatorTest, FaultsShowInTheBytesAndTheTrace) {
    SimulatorSettings s;
    s.faults.noise = {FaultSetting::Kind::first, 1, 0};
    s.faults.corrupt_checksum = {FaultSetting::Kind::first, 1, 0};
    s.faults.silent = {FaultSetting::Kind::first, 1, 0};
    start(s);
    receive(command(default_address, CommandCode::READ_POSITION, 0), 0);  // silent
    receive(command(default_address, CommandCode::READ_POSITION, 0), 100);
    receive(command(default_address, CommandCode::READ_POSITION, 0), 200);  // clean
    const Bytes out = run_until(1000);
    ASSERT_EQ(out.size(), 13u);
    EXPECT_EQ(Bytes(out.begin() + 1, out.begin() + 7), (Bytes{3, 2, 1, 0, 0, 7}));
    EXPECT_EQ(Bytes(out.begin() + 7, out.end()), (Bytes{3, 2, 1, 0, 0, 6}));
    EXPECT_EQ(trace[0].meaning, "READ_POSITION value 0 to 010203 [010203 stays silent]");
    EXPECT_EQ(trace[3].meaning, "noise byte");
    EXPECT_EQ(trace[3].bytes, Bytes{out[0]});
    EXPECT_EQ(trace[4].meaning, "bad checksum (expected 06) [checksum corrupted]");
}

TEST_F(SimulatorTest, ADroppedByteIsNamedInTheTrace) {
    SimulatorSettings s;
    s.faults.drop_byte = {FaultSetting::Kind::first, 1, 0};
    start(s);
    receive(command(default_address, CommandCode::READ_POSITION, 0), 0);
    EXPECT_EQ(run_until(1000).size(), 5u);
    ASSERT_EQ(trace.size(), 2u);
    EXPECT_EQ(trace[1].bytes.size(), 5u);
    EXPECT_NE(trace[1].meaning.find(" left out]"), std::string::npos) << trace[1].meaning;
}

}  // namespace
}  // namespace motor::sim
