#include "simulated_motor.h"

#include <gtest/gtest.h>

namespace motor::sim {
namespace {

constexpr AddressBytes address{0x03, 0x02, 0x01};
constexpr std::uint8_t code(CommandCode c) {
    return static_cast<std::uint8_t>(c);
}

struct MoveCase {
    const char* name;
    std::uint8_t start;
    CommandCode command;
    std::uint8_t value;
    int elapsed_ms;  // after the command, at 100 steps per second
    std::uint8_t position;
};

class Movement : public testing::TestWithParam<MoveCase> {};

TEST_P(Movement, HeadsForTheTargetAtItsSpeedAndStopsThere) {
    const auto& c = GetParam();
    SimulatedMotor motor(address, c.start, 100);
    motor.command(code(c.command), c.value, SimTime(1000));
    EXPECT_EQ(motor.position(SimTime(1000 + c.elapsed_ms)), c.position);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Movement,
    testing::Values(
        MoveCase{"OpenStartsFromWhereItIs", 10, CommandCode::OPEN, 0, 0, 10},
        MoveCase{"OpenAfterHalfASecond", 10, CommandCode::OPEN, 0, 500, 60},
        MoveCase{"OpenPartStep", 10, CommandCode::OPEN, 0, 509, 60},
        MoveCase{"OpenStopsAt255", 10, CommandCode::OPEN, 0, 60000, 255},
        MoveCase{"CloseDownward", 200, CommandCode::CLOSE, 0, 1000, 100},
        MoveCase{"CloseStopsAt0", 200, CommandCode::CLOSE, 0, 5000, 0},
        MoveCase{"ProportionalUp", 0, CommandCode::PROPORTIONAL_CONTROL, 200, 1000, 100},
        MoveCase{"ProportionalArrives", 0, CommandCode::PROPORTIONAL_CONTROL, 200, 9000, 200},
        MoveCase{"ProportionalDown", 250, CommandCode::PROPORTIONAL_CONTROL, 200, 300, 220},
        MoveCase{"ProportionalWhereItIs", 77, CommandCode::PROPORTIONAL_CONTROL, 77, 1000, 77},
        MoveCase{"ReadPositionDoesNotMove", 42, CommandCode::READ_POSITION, 255, 5000, 42},
        MoveCase{"BroadcastReadDoesNotMove", 42, CommandCode::BROADCAST_READ_ADDRESS, 255, 5000,
                 42},
        MoveCase{"PairingDoesNotMove", 42, CommandCode::PAIRING, 255, 5000, 42}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SimulatedMotor, StopHaltsWhereItIsAndANewCommandStartsFromThere) {
    SimulatedMotor motor(address, 0, 100);
    motor.command(code(CommandCode::OPEN), 0, SimTime(0));
    motor.command(code(CommandCode::STOP), 0, SimTime(500));
    EXPECT_EQ(motor.position(SimTime(500)), 50);
    EXPECT_EQ(motor.position(SimTime(9000)), 50);
    EXPECT_FALSE(motor.target());
    motor.command(code(CommandCode::CLOSE), 0, SimTime(10000));
    EXPECT_EQ(motor.position(SimTime(10200)), 30);
}

TEST(SimulatedMotor, CommandsThatDoNotMoveItLeaveAMovementGoing) {
    SimulatedMotor motor(address, 0, 100);
    motor.command(code(CommandCode::OPEN), 0, SimTime(0));
    for (CommandCode c : {CommandCode::READ_POSITION, CommandCode::PULL_START_ON,
                          CommandCode::BROADCAST_READ_ADDRESS, CommandCode::CHANGE_DIRECTION}) {
        motor.command(code(c), 9, SimTime(300));
    }
    motor.command(0xEE, 9, SimTime(400));  // no command code at all
    EXPECT_EQ(motor.position(SimTime(1000)), 100);
    EXPECT_EQ(motor.target(), 255);
}

TEST(SimulatedMotor, ARedirectedMovementTurnsAround) {
    SimulatedMotor motor(address, 100, 100);
    motor.command(code(CommandCode::OPEN), 0, SimTime(0));
    motor.command(code(CommandCode::PROPORTIONAL_CONTROL), 90, SimTime(200));  // at 120
    EXPECT_EQ(motor.position(SimTime(300)), 110);
    EXPECT_EQ(motor.position(SimTime(2000)), 90);
}

TEST(SimulatedMotor, AnswersItsOwnAddressAndTheBroadcastOnly) {
    const SimulatedMotor motor(address, 0, 100);
    EXPECT_TRUE(motor.is_addressed_by({0x03, 0x02, 0x01, 0, 0, 6}));
    EXPECT_TRUE(motor.is_addressed_by({0x00, 0x00, 0x00, 0x20, 0, 0x20}));
    EXPECT_FALSE(motor.is_addressed_by({0x01, 0x02, 0x03, 0, 0, 6}));  // the bytes reversed
    EXPECT_FALSE(motor.is_addressed_by({0x03, 0x02, 0x00, 0, 0, 5}));
}

TEST(SimulatedMotor, ReplyCarriesAddressEchoPositionAndAValidChecksum) {
    SimulatedMotor motor({0x0A, 0x00, 0xFF}, 200, 100);
    EXPECT_EQ(motor.reply(code(CommandCode::READ_POSITION), SimTime(0)),
              (Frame{0x0A, 0x00, 0xFF, 0x00, 0xC8, 0xD1}));
    const Frame r = motor.reply(code(CommandCode::CHANGE_DIRECTION), SimTime(0));
    EXPECT_EQ(r[3], 0xB1);
    EXPECT_TRUE(checksum_holds(r));
}

}  // namespace
}  // namespace motor::sim
