// A line that goes away: reported once, and the reception thread is gone with it.

#include <filesystem>
#include <fstream>
#include <string>

#include "serial_line_fixture.h"

namespace motor {
namespace {

// Threads of this process with the given name, as the kernel lists them.
int threads_named(const std::string& name) {
    int count = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::string comm;
        std::getline(std::ifstream(task.path() / "comm"), comm);
        if (comm == name) ++count;
    }
    return count;
}

constexpr const char* reception_thread = "serial-rx";

TEST_F(SerialLineTest, HangUpIsReportedOnceAndClosesThePort) {
    const int before = threads_named(reception_thread);
    open_on(3);
    EXPECT_EQ(threads_named(reception_thread), before + 1);

    line.close_master();
    ASSERT_TRUE(events.pump_until([&] { return losses > 0; }, patience));
    EXPECT_FALSE(port.is_open());
    EXPECT_FALSE(port.last_error().empty());
    // Reception ended on the hang-up itself instead of spinning on it, and its thread is gone.
    EXPECT_LE(port.reception_wakeups(), 3u);
    EXPECT_EQ(threads_named(reception_thread), before);
    EXPECT_EQ(port.send_byte(0x01), 0);
    events.run_pending();
    EXPECT_EQ(losses, 1);
}

}  // namespace
}  // namespace motor
