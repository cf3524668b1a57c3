// A line that goes away, and a line that stops taking bytes.

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

TEST_F(SerialLineTest, HangUpAfterStopIsNotReported) {
    open_on(3);
    line.close_master();
    ASSERT_TRUE(events.wait_for_post(patience));
    port.stop_port();
    events.run_pending();
    EXPECT_EQ(losses, 0);
}

TEST_F(SerialLineTest, WriteThatCannotCompleteEndsAfterTheTimeoutAndCountsAsDone) {
    open_on(3);
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
