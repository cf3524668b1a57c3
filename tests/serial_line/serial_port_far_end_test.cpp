// The far end of the line: gone after a stop, and no longer reading. Every system runs these
// cases, each with its own serial_line_fixture.h.

#include "serial_line_fixture.h"

namespace motor {
namespace {

TEST_F(SerialLineTest, HangUpAfterStopIsNotReported) {
    open_port();
    line.close_master();
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
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    EXPECT_GE(waited, 1500ms) << "after " << filler << " bytes of filler";
    EXPECT_LE(waited, 5000ms);

    // Once the other end reads again, sending works again. The blocked byte may have got out at
    // the very end of its wait; nothing else comes between the filler and the next byte.
    EXPECT_EQ(line.read_from_port(filler, patience).size(), filler);
    EXPECT_EQ(port.send_byte(0x43), 1);
    std::vector<std::uint8_t> next = line.read_from_port(1, patience);
    if (next == std::vector<std::uint8_t>{0x42}) next = line.read_from_port(1, patience);
    EXPECT_EQ(next, std::vector<std::uint8_t>{0x43});
}

}  // namespace
}  // namespace motor
