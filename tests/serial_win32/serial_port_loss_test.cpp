// A line that goes away, and a line that stops taking bytes.

#include "serial_line_fixture.h"

namespace motor {
namespace {

TEST_F(SerialLineTest, HangUpIsReportedOnceAndClosesThePort) {
    open_port();
    line.close_far_end();
    ASSERT_TRUE(events.pump_until([&] { return losses > 0; }, patience));
    EXPECT_FALSE(port.is_open());
    EXPECT_FALSE(port.last_error().empty());
    // Reception ended on the hang-up itself instead of spinning on it.
    EXPECT_LE(port.reception_wakeups(), 3u);
    EXPECT_EQ(port.send_byte(0x01), 0);
    events.run_pending();
    EXPECT_EQ(losses, 1);
}

TEST_F(SerialLineTest, HangUpAfterStopIsNotReported) {
    open_port();
    line.close_far_end();
    ASSERT_TRUE(events.wait_for_post(patience));
    port.stop_port();
    events.run_pending();
    EXPECT_EQ(losses, 0);
}

TEST_F(SerialLineTest, WriteThatCannotCompleteEndsAfterTheTimeoutAndCountsAsDone) {
    open_port();
    const std::size_t filler = line.clog();

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.send_byte(0x42), 1);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, 1500ms);
    EXPECT_LE(waited, 5000ms);

    // Once the other end reads again, sending works again.
    EXPECT_EQ(line.read_from_port(filler, patience).size(), filler);
    EXPECT_EQ(port.send_byte(0x43), 1);
    EXPECT_EQ(line.read_from_port(1, patience), std::vector<std::uint8_t>{0x43});
}

}  // namespace
}  // namespace motor
