// An open port on a quiet line sleeps.

#include <thread>

#include "serial_line_fixture.h"

namespace motor {
namespace {

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
