// A line that goes away: reported once.

#include "serial_line_fixture.h"

namespace motor {
namespace {

TEST_F(SerialLineTest, HangUpIsReportedOnceAndClosesThePort) {
    open_port();
    line.close_master();
    ASSERT_TRUE(events.pump_until([&] { return losses > 0; }, patience));
    EXPECT_FALSE(port.is_open());
    EXPECT_FALSE(port.last_error().empty());
    // Reception ended on the hang-up itself instead of spinning on it.
    EXPECT_LE(port.reception_wakeups(), 3u);
    EXPECT_EQ(port.send_byte(0x01), 0);
    events.run_pending();
    EXPECT_EQ(losses, 1);
}

}  // namespace
}  // namespace motor
