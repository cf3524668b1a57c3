// The panel's protocol core and serial port against motor-sim over a real pseudo-terminal:
// commands go out through SerialPort, the simulator answers, and the replies reach MotorLink
// as byte events on a test event thread, whose window timers run on the real clock.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "event_queue.h"
#include "fake_window.h"
#include "motor_link.h"
#include "port_directory.h"
#include "serial_port.h"
#include "sim_process.h"
#include "trace_format.h"

namespace motor {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using sim::test::SimProcess;

std::string hex(const Frame& f) {
    std::string s;
    for (std::uint8_t b : f) {
        static constexpr char digits[] = "0123456789ABCDEF";
        if (!s.empty()) s += ' ';
        s += digits[b >> 4];
        s += digits[b & 0x0F];
    }
    return s;
}

// What crossed the link, as the panel's --trace would see it.
struct Traffic final : LinkObserver {
    void frame_sent(const Frame& f) override { sent.push_back(f); }
    void reply_assembled(const Frame& f, bool ok) override {
        (ok ? replies : bad_replies).push_back(f);
    }
    void partial_dropped(const std::uint8_t*, std::size_t count) override {
        dropped.push_back(count);
    }
    std::vector<Frame> sent, replies, bad_replies;
    std::vector<std::size_t> dropped;
};

class LinkAgainstSim : public ::testing::Test {
  protected:
    LinkAgainstSim() {
        state.reply_index = 1;
        link.set_observer(&traffic);
        window.on_tick = [this](Control timer) {
            if (timer == Control::时钟1) link.on_watchdog_tick();
            if (timer == Control::时钟_闪烁定时) link.on_highlight_tick();
        };
        port.byte_received = [this](std::int32_t b) {
            ++bytes_received;
            link.on_reply_byte(b);
        };
    }
    ~LinkAgainstSim() override { port.stop_port(); }

    // Starts the simulator with these options on COM1 and opens the port on it.
    void start(const std::vector<std::string>& options) {
        sim.emplace(dir.path(), options);
        ASSERT_TRUE(sim->wait_ready()) << sim->errors();
        port.set_com_number(1);
        ASSERT_EQ(port.start_port(), 1);
        started = Clock::now();
    }

    // The event thread for real: byte events as they come, the window's timers by the clock.
    bool run_until(const std::function<bool()>& done, std::chrono::milliseconds limit = 5s) {
        const auto deadline = Clock::now() + limit;
        for (;;) {
            const auto elapsed =
                std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
            window.advance(elapsed.count() - window.now());
            if (done()) return true;
            const auto now = Clock::now();
            if (now >= deadline) return false;
            // Up to the next watchdog tick, or sooner when a byte event comes.
            const auto next_tick =
                started + std::chrono::milliseconds((window.now() / 500 + 1) * 500);
            const auto until = std::min(next_tick, deadline);
            events.pump_until(
                done, std::chrono::duration_cast<std::chrono::milliseconds>(until - now + 1ms));
        }
    }

    // Sends the command and runs until a reply with a good checksum is shown.
    bool command_answered(CommandCode code) {
        const std::size_t before = traffic.replies.size();
        link.request_command(code);
        return run_until([&] { return traffic.replies.size() > before; });
    }

    std::string text(Control c) const { return window.text(c); }

    // Reads the position until it shows `expected` (each read waits for its reply) or a few
    // seconds pass; the position last shown.
    std::string read_position_until(const std::string& expected) {
        const auto deadline = Clock::now() + 5s;
        while (text(Control::编辑框_实际位置) != expected && Clock::now() < deadline) {
            if (!command_answered(CommandCode::READ_POSITION)) break;
        }
        return text(Control::编辑框_实际位置);
    }

    motor::testing::PortDirectory dir;  // the port's only mapping while the test runs
    std::optional<SimProcess> sim;
    motor::testing::EventQueue events;
    SerialPort port{events.poster()};
    PanelState state;
    test::FakeWindow window;
    MotorLink link{state, window, port};
    Traffic traffic;
    std::size_t bytes_received = 0;
    Clock::time_point started = Clock::now();
};

TEST_F(LinkAgainstSim, EveryCommandGetsThroughAndItsReplyIsShown) {
    start({"--motor=010203:100"});
    window.set_text(Control::编辑框_目标位置, "120");
    for (CommandCode code : all_command_codes) {
        SCOPED_TRACE(std::string(command_name(static_cast<std::uint8_t>(code))));
        window.set_text(Control::编辑框_目标地址, "010203");
        ASSERT_TRUE(command_answered(code));
        const Frame& sent = traffic.sent.back();
        // The simulator received exactly the frame the panel sent.
        EXPECT_TRUE(sim->wait_for_output("RX " + hex(sent) + "  " + command_meaning(sent)))
            << sim->output();
        const Frame& reply = traffic.replies.back();
        EXPECT_EQ(reply[3], static_cast<std::uint8_t>(code));
        EXPECT_EQ(text(Control::编辑框_实际位置), std::to_string(reply[4]));
        EXPECT_EQ(text(Control::编辑框_目标地址), "010203");
        EXPECT_EQ(text(Control::编辑框_通读地址), "010203");
        EXPECT_EQ(window.background(Control::编辑框_实际位置), GREEN);
    }
    EXPECT_TRUE(traffic.bad_replies.empty());
    EXPECT_TRUE(traffic.dropped.empty());
}

// Reads the position until it shows `expected`, each read waiting for its reply; the last shown.
TEST_F(LinkAgainstSim, PositionsFollowTheCommands) {
    start({"--motor=010203:0", "--speed=1000"});  // end to end in a quarter second
    window.set_text(Control::编辑框_目标位置, "200");
    ASSERT_TRUE(command_answered(CommandCode::PROPORTIONAL_CONTROL));
    EXPECT_EQ(read_position_until("200"), "200");
    ASSERT_TRUE(command_answered(CommandCode::CLOSE));
    EXPECT_EQ(read_position_until("0"), "0");
}

TEST_F(LinkAgainstSim, ABroadcastReadMakesTheMotorTheTarget) {
    start({"--motor=0A0B0C:42"});
    window.set_text(Control::编辑框_目标地址, "ABCDEF");
    ASSERT_TRUE(command_answered(CommandCode::BROADCAST_READ_ADDRESS));
    EXPECT_EQ(text(Control::编辑框_目标地址), "0A0B0C");
    EXPECT_EQ(text(Control::编辑框_通读地址), "0A0B0C");
    EXPECT_EQ(text(Control::编辑框_实际位置), "42");
    // The next command goes to that motor, which answers it.
    ASSERT_TRUE(command_answered(CommandCode::READ_POSITION));
    EXPECT_EQ(hex(traffic.sent.back()).substr(0, 8), "0C 0B 0A");
}

TEST_F(LinkAgainstSim, AReplyWithACorruptedChecksumChangesNothing) {
    start({"--motor=010203:77", "--corrupt-checksum=1"});
    window.writes.clear();
    link.request_command(CommandCode::READ_POSITION);
    ASSERT_TRUE(run_until([&] { return !traffic.bad_replies.empty(); }));
    EXPECT_TRUE(window.writes.empty());
    EXPECT_EQ(text(Control::编辑框_实际位置), "50");  // as the window starts
    // The line is fine: the next reply is shown.
    ASSERT_TRUE(command_answered(CommandCode::READ_POSITION));
    EXPECT_EQ(text(Control::编辑框_实际位置), "77");
}

TEST_F(LinkAgainstSim, FramingRecoversAfterAReplyPausedPastTheWatchdog) {
    start({"--motor=010203:77", "--pause-reply=1", "--pause-ms=2000"});
    link.request_command(CommandCode::READ_POSITION);
    // The first half is dropped by the watchdog, then the rest of the reply arrives.
    ASSERT_TRUE(run_until([&] { return bytes_received == 6; }, 5s));
    EXPECT_EQ(traffic.dropped, std::vector<std::size_t>{3});
    EXPECT_TRUE(traffic.replies.empty());
    EXPECT_EQ(text(Control::编辑框_实际位置), "50");
    // The next command starts a fresh frame, and its reply is shown whole.
    ASSERT_TRUE(command_answered(CommandCode::READ_POSITION));
    EXPECT_EQ(text(Control::编辑框_实际位置), "77");
    EXPECT_EQ(text(Control::编辑框_目标地址), "010203");
    EXPECT_TRUE(traffic.bad_replies.empty());
}

}  // namespace
}  // namespace motor
