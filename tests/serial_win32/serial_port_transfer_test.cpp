// Bytes on the line in both directions, and what stop_port drops.

#include <memory>
#include <numeric>
#include <thread>

#include "serial_line_fixture.h"

namespace motor {
namespace {

std::vector<std::uint8_t> every_byte_value() {
    std::vector<std::uint8_t> bytes(256);
    std::iota(bytes.begin(), bytes.end(), 0);
    return bytes;
}

std::vector<std::uint8_t> counting(std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 1);
    return bytes;
}

struct BytesCase {
    const char* name;
    std::vector<std::uint8_t> bytes;
};

const auto sequences = ::testing::Values(
    BytesCase{"Frame", {0x03, 0x02, 0x01, 0x01, 0x32, 0x39}},
    BytesCase{"TenByteBurst", counting(10)},
    // Line ends, XON/XOFF and NUL travel as plain data.
    BytesCase{"EveryByteValue", every_byte_value()},
    // Back to back, as frames go out: a purge of pending output before each would lose some.
    BytesCase{"ThousandBackToBack", counting(1000)});

const auto case_name = [](const auto& info) { return std::string(info.param.name); };

class Sending : public SerialLineTest, public ::testing::WithParamInterface<BytesCase> {};

TEST_P(Sending, BytesArriveCompleteAndInCallOrder) {
    open_port();
    const std::vector<std::uint8_t>& bytes = GetParam().bytes;
    for (const std::uint8_t b : bytes) ASSERT_EQ(port.send_byte(b), 1);
    EXPECT_EQ(line.read_from_port(bytes.size(), patience), bytes);
}

INSTANTIATE_TEST_SUITE_P(Table, Sending, sequences, case_name);

class Receiving : public SerialLineTest, public ::testing::WithParamInterface<BytesCase> {};

TEST_P(Receiving, EachByteBecomesOneEventInOrder) {
    open_port();
    const std::vector<std::uint8_t>& bytes = GetParam().bytes;
    line.write_to_port(bytes);
    ASSERT_TRUE(receive_until_count(bytes.size()));
    EXPECT_EQ(received, std::vector<std::int32_t>(bytes.begin(), bytes.end()));
}

INSTANTIATE_TEST_SUITE_P(Table, Receiving, sequences, case_name);

TEST_F(SerialLineTest, SendOnClosedPortWritesNothing) {
    port.set_com_number(line.com_number());
    EXPECT_EQ(port.send_byte(0x41), 0);  // never opened
    ASSERT_EQ(port.start_port(), 1) << port.last_error();
    port.stop_port();
    EXPECT_EQ(port.send_byte(0x42), 0);  // stopped

    // Anything the port wrote would come before a marker put on the same line now.
    const std::vector<std::uint8_t> marker{0x7E};
    line.write_as_port(marker);
    EXPECT_EQ(line.read_from_port(1, patience), marker);
}

TEST_F(SerialLineTest, BytesReceivedBeforeStopAreNeverDelivered) {
    open_port();
    line.write_to_port(counting(10));
    ASSERT_TRUE(events.wait_for_post(patience));  // reception took them and posted the handover
    port.stop_port();
    events.run_pending();
    EXPECT_TRUE(received.empty());
}

TEST_F(SerialLineTest, RestartDropsEarlierBytesAndReceivesNewOnes) {
    open_port();
    line.write_to_port(counting(10));
    ASSERT_TRUE(events.wait_for_post(patience));
    ASSERT_EQ(port.start_port(), 1) << port.last_error();
    events.run_pending();
    EXPECT_TRUE(received.empty());

    line.write_to_port(std::vector<std::uint8_t>{0x77});
    ASSERT_TRUE(receive_until_count(1));
    EXPECT_EQ(received, std::vector<std::int32_t>{0x77});
}

TEST_F(SerialLineTest, StopFromTheHandlerDropsTheRestOfTheBatch) {
    open_port();
    port.byte_received = [this](std::int32_t value) {
        received.push_back(value);
        port.stop_port();
    };
    line.write_to_port(counting(10));
    ASSERT_TRUE(receive_until_count(1));
    events.run_pending();
    EXPECT_EQ(received.size(), 1u);
}

// Sleeping is the point here: the port must stay asleep while nothing happens on the line.
TEST_F(SerialLineTest, IdleOpenPortCostsNoWakeUps) {
    open_port();
    std::this_thread::sleep_for(3s);
    EXPECT_EQ(port.reception_wakeups(), 0u);

    // And one byte costs about one.
    line.write_to_port(std::vector<std::uint8_t>{0x55});
    ASSERT_TRUE(receive_until_count(1));
    EXPECT_GE(port.reception_wakeups(), 1u);
    EXPECT_LE(port.reception_wakeups(), 2u);
}

}  // namespace
}  // namespace motor
