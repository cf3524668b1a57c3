// Which device a port number opens, and when opening must fail.

#include <memory>

#include "serial_line_fixture.h"

namespace motor {
namespace {

struct ComNumberCase {
    const char* name;
    std::int32_t given;
    std::int32_t stored;
    const char* device;
};

// Only the name: COM1 is the machine's own first serial device under Wine and is never opened.
TEST(ComNumber, NamesTheDeviceOfTheStoredNumber) {
    const ComNumberCase cases[] = {
        {"ZeroIsCom1", 0, 1, "\\\\.\\COM1"},   {"NegativeIsCom1", -5, 1, "\\\\.\\COM1"},
        {"Com9", 9, 9, "\\\\.\\COM9"},         {"Com12", 12, 12, "\\\\.\\COM12"},
        {"Com255", 255, 255, "\\\\.\\COM255"},
    };
    testing::EventQueue events;
    SerialPort port(events.poster());
    for (const ComNumberCase& c : cases) {
        SCOPED_TRACE(c.name);
        port.set_com_number(c.given);
        EXPECT_EQ(port.com_number(), c.stored);
        EXPECT_EQ(port.device_path(), c.device);
    }
}

TEST_F(SerialLineTest, OpensTheHighestPortNumber) {
    testing::PeerLine high(highest_com);
    port.set_com_number(highest_com);
    ASSERT_EQ(port.start_port(), 1) << port.last_error();
    EXPECT_EQ(port.send_byte(0x5A), 1);
    EXPECT_EQ(high.read_from_port(1, patience), std::vector<std::uint8_t>{0x5A});
}

TEST_F(SerialLineTest, OpenPortStaysOnItsDeviceUntilTheNextStart) {
    testing::PeerLine other(other_line_com);
    open_port();

    port.set_com_number(other.com_number());
    EXPECT_EQ(port.send_byte(0x11), 1);
    EXPECT_EQ(line.read_from_port(1, patience), std::vector<std::uint8_t>{0x11});

    ASSERT_EQ(port.start_port(), 1) << port.last_error();
    EXPECT_EQ(port.send_byte(0x22), 1);
    EXPECT_EQ(other.read_from_port(1, patience), std::vector<std::uint8_t>{0x22});
}

TEST_F(SerialLineTest, StartOfAPortWithoutDeviceFailsAndLeavesThePortClosed) {
    open_port();
    port.set_com_number(unplugged_com);  // mapped, but no line behind it
    EXPECT_EQ(port.start_port(), 0);
    EXPECT_FALSE(port.is_open());
    EXPECT_FALSE(port.last_error().empty());
    EXPECT_EQ(port.send_byte(0x01), 0);
}

// Windows refuses a second open of an open port; Wine does not, and the port object refuses it
// all the same.
TEST_F(SerialLineTest, SecondStartOfAnOpenPortFailsUntilTheFirstLetsGo) {
    testing::PeerLine other(other_line_com);
    auto holder = std::make_unique<SerialPort>(events.poster());
    holder->set_com_number(line.com_number());
    ASSERT_EQ(holder->start_port(), 1) << holder->last_error();

    port.set_com_number(other.com_number());
    ASSERT_EQ(port.start_port(), 1) << port.last_error();
    port.set_com_number(line.com_number());
    EXPECT_EQ(port.start_port(), 0);
    EXPECT_FALSE(port.is_open());
    EXPECT_EQ(port.send_byte(0x01), 0);

    // The holder still has the line to itself.
    EXPECT_EQ(holder->send_byte(0x66), 1);
    EXPECT_EQ(line.read_from_port(1, patience), std::vector<std::uint8_t>{0x66});

    holder.reset();
    EXPECT_EQ(port.start_port(), 1) << port.last_error();
}

}  // namespace
}  // namespace motor
