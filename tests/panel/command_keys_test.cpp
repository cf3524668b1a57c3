#include "command_keys.h"

#include <gtest/gtest.h>

#include <map>

#include "fake_window.h"

namespace motor::panel {
namespace {

using enum Control;
using Bytes = std::vector<std::uint8_t>;

struct Expected {
    CommandCode code;
    Control button;
};

// Every key code that matches the letter table, by its low byte, as the table reads.
const std::map<std::uint8_t, Expected> matching_codes = {
    {'z', {CommandCode::OPEN, 按钮_开}},
    {'Z', {CommandCode::OPEN, 按钮_开}},
    {'c', {CommandCode::OPEN, 按钮_开}},
    {'C', {CommandCode::OPEN, 按钮_开}},
    {'v', {CommandCode::STOP, 按钮_停}},
    {'V', {CommandCode::STOP, 按钮_停}},
    {'x', {CommandCode::STOP, 按钮_停}},
    {'X', {CommandCode::STOP, 按钮_停}},
    {'n', {CommandCode::STOP, 按钮_停}},
    {'N', {CommandCode::STOP, 按钮_停}},
    {'m', {CommandCode::CLOSE, 按钮_关}},
    {'M', {CommandCode::CLOSE, 按钮_关}},
    {'b', {CommandCode::CLOSE, 按钮_关}},
    {'B', {CommandCode::CLOSE, 按钮_关}},
    {'a', {CommandCode::BROADCAST_READ_ADDRESS, 按钮_通读地址}},
    {'A', {CommandCode::BROADCAST_READ_ADDRESS, 按钮_通读地址}},
    {'s', {CommandCode::PROPORTIONAL_CONTROL, 按钮_比例控制}},
    {'S', {CommandCode::PROPORTIONAL_CONTROL, 按钮_比例控制}},
    {'d', {CommandCode::READ_POSITION, 按钮_读当前位置}},
    {'D', {CommandCode::READ_POSITION, 按钮_读当前位置}},
    {'f', {CommandCode::PULL_START_ON, 按钮_全速开}},
    {'F', {CommandCode::PULL_START_ON, 按钮_全速开}},
    {'g', {CommandCode::PULL_START_OFF, 按钮_全速关}},
    {'G', {CommandCode::PULL_START_OFF, 按钮_全速关}},
};

// Records the bytes sent and whether the focus had already moved when each went out.
class PortWatchingFocus final : public BytePort {
  public:
    explicit PortWatchingFocus(const test::FakeWindow& window) : window_(window) {}
    std::int32_t send_byte(std::uint8_t b) override {
        for (const test::Write& w : window_.writes) {
            if (w.kind == test::Write::Kind::focus) focus_moved_before_send = true;
        }
        sent.push_back(b);
        return 1;
    }
    Bytes sent;
    bool focus_moved_before_send = false;

  private:
    const test::FakeWindow& window_;
};

class CommandKeyReleased : public testing::Test {
  protected:
    CommandKeyReleased() : port(window), link(state, window, port) { state.reply_index = 1; }

    PanelState state;
    test::FakeWindow window;
    PortWatchingFocus port;
    MotorLink link;
};

// All codes, with and without modifiers and with bits above the low byte: a match sends one
// frame and then moves the focus; anything else sends and focuses nothing.
TEST_F(CommandKeyReleased, SendsTheCommandOfTheMatchingGroupThenMovesTheFocus) {
    for (std::int32_t key_code = 0; key_code < 512; ++key_code) {
        for (std::int32_t modifiers : {0, 7}) {
            port.sent.clear();
            port.focus_moved_before_send = false;
            window.writes.clear();
            on_command_key_released(link, window, key_code, modifiers);
            const auto match = matching_codes.find(static_cast<std::uint8_t>(key_code & 0xFF));
            if (match == matching_codes.end()) {
                EXPECT_TRUE(port.sent.empty()) << "code " << key_code;
                EXPECT_TRUE(window.writes.empty()) << "code " << key_code;
                continue;
            }
            const bool broadcast = match->second.code == CommandCode::BROADCAST_READ_ADDRESS;
            const std::uint8_t code = static_cast<std::uint8_t>(match->second.code);
            const Bytes address = broadcast ? Bytes{0, 0, 0} : Bytes{3, 2, 1};
            Bytes frame = address;
            frame.insert(frame.end(), {code, 50});
            frame.push_back(frame_checksum(frame[0], frame[1], frame[2], frame[3], frame[4]));
            EXPECT_EQ(port.sent, frame) << "code " << key_code;
            EXPECT_FALSE(port.focus_moved_before_send) << "code " << key_code;
            ASSERT_FALSE(window.writes.empty());
            EXPECT_EQ(window.writes.back(),
                      (test::Write{test::Write::Kind::focus, match->second.button, {}, 0}))
                << "code " << key_code;
        }
    }
}

}  // namespace
}  // namespace motor::panel
