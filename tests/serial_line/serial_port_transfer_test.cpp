// Bytes on the line in both directions, and what stop_port drops. Every system runs these
// cases, each with its own serial_line_fixture.h: a pseudo-terminal on POSIX, a line held by the
// line peer under Wine.

#include <memory>

#include "byte_sequences.h"
#include "serial_line_fixture.h"

namespace motor {
namespace {

using testing::BytesCase;
using testing::counting;

const auto case_name = [](const auto& info) { return std::string(info.param.name); };

class Sending : public SerialLineTest, public ::testing::WithParamInterface<BytesCase> {};

TEST_P(Sending, BytesArriveCompleteAndInCallOrder) {
    open_port();
    const std::vector<std::uint8_t>& bytes = GetParam().bytes;
    for (const std::uint8_t b : bytes) ASSERT_EQ(port.send_byte(b), 1);
    EXPECT_EQ(line.read_from_port(bytes.size(), patience), bytes);
}

INSTANTIATE_TEST_SUITE_P(Table, Sending, testing::byte_sequences, case_name);

class Receiving : public SerialLineTest, public ::testing::WithParamInterface<BytesCase> {};

TEST_P(Receiving, EachByteBecomesOneEventInOrderAndTheLineStaysOpen) {
    open_port();
    const std::vector<std::uint8_t>& bytes = GetParam().bytes;
    std::vector<std::int32_t> expected(bytes.begin(), bytes.end());
    line.write_to_port(bytes);
    ASSERT_TRUE(receive_until_count(bytes.size()));
    EXPECT_EQ(received, expected);

    // A quiet line after a burst is not a lost one.
    line.write_to_port(bytes);
    ASSERT_TRUE(receive_until_count(2 * bytes.size()));
    expected.insert(expected.end(), bytes.begin(), bytes.end());
    EXPECT_EQ(received, expected);
    EXPECT_TRUE(port.is_open());
    EXPECT_EQ(losses, 0);
}

INSTANTIATE_TEST_SUITE_P(Table, Receiving, testing::byte_sequences, case_name);

TEST_F(SerialLineTest, SendOnClosedPortWritesNothing) {
    EXPECT_EQ(port.send_byte(0x41), 0);  // never opened
    open_port();
    port.stop_port();
    EXPECT_EQ(port.send_byte(0x42), 0);  // stopped

    // Anything the port wrote would come before a marker written on the same line now.
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

TEST_F(SerialLineTest, TwoStartsInARowOnAFreeDeviceBothSucceed) {
    open_port();
    ASSERT_EQ(port.start_port(), 1) << port.last_error();
    EXPECT_TRUE(port.is_open());
    const std::vector<std::uint8_t> reply{0x30, 0x31};
    line.write_to_port(reply);
    ASSERT_TRUE(receive_until_count(2));
    EXPECT_EQ(received, (std::vector<std::int32_t>{0x30, 0x31}));
}

TEST_F(SerialLineTest, RestartDropsEarlierBytesAndReceivesNewOnes) {
    open_port();
    line.write_to_port(counting(10));
    ASSERT_TRUE(events.wait_for_post(patience));
    ASSERT_EQ(port.start_port(), 1);
    events.run_pending();
    EXPECT_TRUE(received.empty());

    line.write_to_port(std::vector<std::uint8_t>{0x77});
    ASSERT_TRUE(receive_until_count(1));
    EXPECT_EQ(received, std::vector<std::int32_t>{0x77});
}

// Each case ends the port from inside its byte handler.
struct EndingCase {
    const char* name;
    void (*end)(std::unique_ptr<SerialPort>& port);
    friend void PrintTo(const EndingCase& c, std::ostream* os) { *os << c.name; }
};

class HandlerEndsThePort : public SerialLineTest,
                           public ::testing::WithParamInterface<EndingCase> {};

TEST_P(HandlerEndsThePort, RestOfTheBatchIsDropped) {
    std::unique_ptr<SerialPort> ending = second_port();
    ending->byte_received = [&](std::int32_t value) {
        received.push_back(value);
        GetParam().end(ending);
    };
    line.write_to_port(counting(10));
    ASSERT_TRUE(receive_until_count(1));
    events.run_pending();
    EXPECT_EQ(received.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HandlerEndsThePort,
    ::testing::Values(
        EndingCase{"Stop", [](std::unique_ptr<SerialPort>& port) { port->stop_port(); }},
        // The window closing while a handler pumps events destroys the port inside delivery.
        EndingCase{"Destroy", [](std::unique_ptr<SerialPort>& port) { port.reset(); }}),
    case_name);

TEST_F(SerialLineTest, HandoverQueuedForADestroyedPortDoesNothing) {
    std::unique_ptr<SerialPort> doomed = second_port();
    line.write_to_port(counting(10));
    ASSERT_TRUE(events.wait_for_post(patience));
    doomed.reset();
    EXPECT_GE(events.run_pending(), 1u);
    EXPECT_TRUE(received.empty());
}

}  // namespace
}  // namespace motor
