#include "motor_link.h"

#include <gtest/gtest.h>

#include "fake_window.h"
#include "gbk_text.h"
#include "recording_port.h"

namespace motor {
namespace {

using test::FakeWindow;
using test::RecordingPort;
using test::Write;
using Bytes = std::vector<std::uint8_t>;

// The panel after its creation handler: reply_index 1, the window's initial texts.
class MotorLinkTest : public testing::Test {
  protected:
    MotorLinkTest() : link(state, window, port) {
        state.reply_index = 1;
        window.on_tick = [this](Control timer) {
            if (timer == Control::时钟1) link.on_watchdog_tick();
            if (timer == Control::时钟_闪烁定时) link.on_highlight_tick();
        };
    }
    void feed(const Bytes& bytes) {
        for (auto b : bytes) link.on_reply_byte(b);
    }
    Bytes sent_frame() const {
        return Bytes(state.send_buffer.begin(), state.send_buffer.begin() + 6);
    }

    PanelState state;
    FakeWindow window;
    RecordingPort port;
    MotorLink link;
};

struct CommandCase {
    const char* name;
    std::string address;
    std::string position;
    CommandCode code;
    Bytes frame;
};

class CommandFrames : public MotorLinkTest, public testing::WithParamInterface<CommandCase> {};

TEST_P(CommandFrames, GoOutAsSixBytesInOrder) {
    const auto& c = GetParam();
    window.set_text(Control::编辑框_目标地址, c.address);
    window.set_text(Control::编辑框_目标位置, c.position);
    link.request_command(c.code);
    EXPECT_EQ(port.sent, c.frame);
    EXPECT_EQ(port.calls, 6);
    EXPECT_EQ(sent_frame(), c.frame);
    EXPECT_EQ(state.send_buffer[6], 0);
    EXPECT_EQ(state.send_buffer[7], 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommandFrames,
    testing::Values(
        CommandCase{
            "Open", "010203", "50", CommandCode::OPEN, {0x03, 0x02, 0x01, 0x01, 0x32, 0x39}},
        CommandCase{"Broadcast",
                    "010203",
                    "50",
                    CommandCode::BROADCAST_READ_ADDRESS,
                    {0x00, 0x00, 0x00, 0x20, 0x32, 0x52}},
        CommandCase{"AllOnes",
                    "FFFFFF",
                    "255",
                    CommandCode::CHANGE_DIRECTION,
                    {0xFF, 0xFF, 0xFF, 0xB1, 0xFF, 0xAD}},
        CommandCase{
            "ShortAddress", "7", "50", CommandCode::OPEN, {0x07, 0x00, 0x00, 0x01, 0x32, 0x3A}},
        CommandCase{"BroadcastIgnoresTheBox",
                    "xyz",
                    "50",
                    CommandCode::BROADCAST_READ_ADDRESS,
                    {0x00, 0x00, 0x00, 0x20, 0x32, 0x52}},
        CommandCase{"ZeroAddressIsBroadcastToo",
                    "000000",
                    "1",
                    CommandCode::READ_POSITION,
                    {0x00, 0x00, 0x00, 0x00, 0x01, 0x01}},
        CommandCase{"Position300", "010203", "300", CommandCode::STOP, {3, 2, 1, 2, 0x2C, 0x34}},
        CommandCase{
            "PositionMinusOne", "010203", "-1", CommandCode::STOP, {3, 2, 1, 2, 0xFF, 0x07}},
        CommandCase{"PositionText", "010203", "abc", CommandCode::STOP, {3, 2, 1, 2, 0x00, 0x08}},
        CommandCase{"PositionEmpty", "010203", "", CommandCode::STOP, {3, 2, 1, 2, 0x00, 0x08}},
        CommandCase{
            "PositionBeyondDouble", "010203", "1e400", CommandCode::STOP, {3, 2, 1, 2, 0, 8}},
        CommandCase{"PositionFullWidth",
                    "010203",
                    utf8_to_gbk("１２"),
                    CommandCode::STOP,
                    {3, 2, 1, 2, 12, 20}}),
    [](const auto& info) { return std::string(info.param.name); });

struct PaddingCase {
    std::string text;
    std::vector<std::string> writes;  // the successive texts written back into the box
};

class AddressPadding : public MotorLinkTest, public testing::WithParamInterface<PaddingCase> {};

TEST_P(AddressPadding, WritesOneZeroPerPassUntilSixBytes) {
    window.set_text(Control::编辑框_目标地址, GetParam().text);
    window.writes.clear();
    link.read_target_address();
    std::vector<std::string> written;
    for (const Write& w : window.writes_to(Control::编辑框_目标地址)) written.push_back(w.text);
    EXPECT_EQ(written, GetParam().writes);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AddressPadding,
    testing::Values(PaddingCase{"7", {"07", "007", "0007", "00007", "000007"}},
                    PaddingCase{"", {"0", "00", "000", "0000", "00000", "000000"}},
                    PaddingCase{"12345", {"012345"}}, PaddingCase{"0A0B0C7", {}},
                    PaddingCase{"abcdef", {}}, PaddingCase{utf8_to_gbk("地址12"), {}},
                    PaddingCase{utf8_to_gbk("丄0000"), {}}));

TEST_F(MotorLinkTest, TheBoxIsPaddedBeforeTheFirstByteGoesOut) {
    window.set_text(Control::编辑框_目标地址, "7");
    window.writes.clear();
    link.request_command(CommandCode::OPEN);
    EXPECT_EQ(window.text(Control::编辑框_目标地址), "000007");
    EXPECT_EQ(window.writes.size(), 5u);  // five write-backs, nothing else
}

TEST_F(MotorLinkTest, ABroadcastNeverWritesTheAddressBox) {
    window.set_text(Control::编辑框_目标地址, "7");
    window.writes.clear();
    link.request_command(CommandCode::BROADCAST_READ_ADDRESS);
    EXPECT_TRUE(window.writes.empty());
    EXPECT_EQ(window.text(Control::编辑框_目标地址), "7");
}

TEST_F(MotorLinkTest, ACommandOnAClosedPortKeepsTheFrameAndSaysNothing) {
    port.open = false;
    state.reply_index = 4;
    link.request_command(CommandCode::OPEN);
    EXPECT_EQ(port.calls, 6);  // every byte is still offered
    EXPECT_TRUE(port.sent.empty());
    EXPECT_EQ(sent_frame(), (Bytes{0x03, 0x02, 0x01, 0x01, 0x32, 0x39}));
    EXPECT_EQ(state.reply_index, 1);
    EXPECT_TRUE(window.writes.empty());
}

TEST_F(MotorLinkTest, AValidReplyIsShownThenHighlightedInOrder) {
    window.set_text(Control::编辑框_目标地址, "typed");
    window.writes.clear();
    feed({0x03, 0x02, 0x01, 0x00, 0x2A, 0x30});
    const std::vector<Write> expected = {
        {Write::Kind::text, Control::编辑框_实际位置, "42", 0},
        {Write::Kind::text, Control::编辑框_目标地址, "010203", 0},
        {Write::Kind::text, Control::编辑框_通读地址, "010203", 0},
        {Write::Kind::timer_period, Control::时钟_闪烁定时, {}, 500},
        {Write::Kind::background, Control::编辑框_通读地址, {}, GREEN},
        {Write::Kind::background, Control::编辑框_目标地址, {}, GREEN},
        {Write::Kind::background, Control::编辑框_实际位置, {}, GREEN},
    };
    EXPECT_EQ(window.writes, expected);
    EXPECT_EQ(window.processed_batches, 2);
    EXPECT_EQ(state.reply_index, 1);

    window.writes.clear();
    window.advance(499);
    EXPECT_TRUE(window.writes.empty());
    window.advance(1);
    const std::vector<Write> restored = {
        {Write::Kind::timer_period, Control::时钟_闪烁定时, {}, 0},
        {Write::Kind::background, Control::编辑框_通读地址, {}, DEFAULT_COLOUR},
        {Write::Kind::background, Control::编辑框_目标地址, {}, DEFAULT_COLOUR},
        {Write::Kind::background, Control::编辑框_实际位置, {}, DEFAULT_COLOUR},
    };
    EXPECT_EQ(window.writes, restored);
    window.writes.clear();
    window.advance(5000);
    EXPECT_TRUE(window.writes.empty());  // the highlight ticks once
}

TEST_F(MotorLinkTest, AReplyShowsItsPositionAndAddressInUpperCase) {
    feed({0x0A, 0x00, 0xFF, 0x00, 0xC8, 0xD1});
    EXPECT_EQ(window.text(Control::编辑框_实际位置), "200");
    EXPECT_EQ(window.text(Control::编辑框_目标地址), "FF000A");
    EXPECT_EQ(window.text(Control::编辑框_通读地址), "FF000A");
    feed({0x00, 0x00, 0x00, 0xEE, 0x00, 0xEE});  // byte 3 need not be a command code
    EXPECT_EQ(window.text(Control::编辑框_实际位置), "0");
    EXPECT_EQ(window.text(Control::编辑框_目标地址), "000000");
}

TEST_F(MotorLinkTest, ABadChecksumChangesNothingAndTheNextByteStartsAFrame) {
    feed({0x03, 0x02, 0x01, 0x00, 0x2A, 0x31});
    EXPECT_TRUE(window.writes.empty());
    EXPECT_EQ(state.reply_index, 1);
    feed({0x03, 0x02, 0x01, 0x00, 0x2A, 0x30});
    EXPECT_EQ(window.text(Control::编辑框_实际位置), "42");
}

TEST_F(MotorLinkTest, TheWatchdogDropsAPartialFrameOnItsThirdIdleTick) {
    feed({1, 2, 3, 4});  // at t = 0; 时钟1 ticks at 500, 1000, 1500
    window.advance(1000);
    EXPECT_EQ(state.reply_index, 5);
    window.advance(499);
    EXPECT_EQ(state.reply_index, 5);
    window.advance(1);
    EXPECT_EQ(state.reply_index, 1);
}

TEST_F(MotorLinkTest, APauseOfOneSecondNeverDropsAFrameWhereverItFalls) {
    for (int phase : {1, 100, 250, 499}) {
        window.advance(phase);
        feed({0x03, 0x02, 0x01, 0x00});
        window.advance(1000);
        window.writes.clear();
        feed({0x2A, 0x30});
        EXPECT_FALSE(window.writes.empty()) << "phase " << phase;
        window.advance(2000 - phase);
    }
}

TEST_F(MotorLinkTest, FourBytesThenTwoSecondsThenAValidReplyShowsTheReply) {
    feed({9, 9, 9, 9});
    window.advance(2000);
    feed({0x03, 0x02, 0x01, 0x00, 0x2A, 0x30});
    EXPECT_EQ(window.text(Control::编辑框_实际位置), "42");
}

TEST_F(MotorLinkTest, TwoRepliesTwoHundredMsApartEndTheHighlightOnce) {
    const Bytes reply{0x03, 0x02, 0x01, 0x00, 0x2A, 0x30};
    feed(reply);
    window.advance(200);
    feed(reply);
    window.advance(299);
    EXPECT_EQ(window.background(Control::编辑框_实际位置), GREEN);
    window.advance(1);
    EXPECT_EQ(window.background(Control::编辑框_实际位置), DEFAULT_COLOUR);
    window.advance(2000);
    int stops = 0;
    for (const Write& w : window.writes_to(Control::时钟_闪烁定时)) stops += w.value == 0;
    EXPECT_EQ(stops, 1);
}

TEST_F(MotorLinkTest, BytesHandledInNestedEventsAreStoredFromPositionOneThenAbandoned) {
    // Three bytes wait in the window's queue when the reply is shown.
    for (std::uint8_t b : {0xAA, 0xBB, 0xCC}) window.post([this, b] { link.on_reply_byte(b); });
    feed({0x03, 0x02, 0x01, 0x00, 0x2A, 0x30});
    EXPECT_EQ(state.reply_buffer[0], 0xAA);
    EXPECT_EQ(state.reply_buffer[1], 0xBB);
    EXPECT_EQ(state.reply_buffer[2], 0xCC);
    EXPECT_EQ(state.reply_index, 1);  // the frame they began is abandoned
    feed({0x11});
    EXPECT_EQ(state.reply_buffer[0], 0x11);
    EXPECT_EQ(state.reply_index, 2);
}

TEST_F(MotorLinkTest, ACommandDropsAPartialReply) {
    feed({1, 2, 3, 4});
    link.request_command(CommandCode::READ_POSITION);
    EXPECT_EQ(state.reply_index, 1);
    feed({0x03, 0x02, 0x01, 0x00, 0x2A, 0x30});
    EXPECT_EQ(window.text(Control::编辑框_实际位置), "42");
}

TEST_F(MotorLinkTest, LeftoverBytesShiftTheFramingUntilAPause) {
    feed({0x55, 0x66});
    window.writes.clear();
    feed({0x03, 0x02, 0x01, 0x00, 0x2A, 0x30});
    EXPECT_TRUE(window.writes.empty());  // 55 66 03 02 01 00 fails its checksum
    EXPECT_EQ(state.reply_index, 3);     // 2A 30 begin the next frame
    window.advance(1500);
    EXPECT_EQ(state.reply_index, 1);
}

TEST_F(MotorLinkTest, AByteBeforeTheCreationHandlerStartsAFrameSafely) {
    state.reply_index = 0;
    feed({0x03});
    EXPECT_EQ(state.reply_index, 2);
    EXPECT_EQ(state.reply_buffer[0], 0x03);
}

class RecordingObserver : public LinkObserver {
  public:
    void frame_sent(const Frame& f) override { events.push_back("sent " + hex(f.data(), 6)); }
    void reply_assembled(const Frame& f, bool ok) override {
        events.push_back(std::string(ok ? "reply " : "bad ") + hex(f.data(), 6));
    }
    void partial_dropped(const std::uint8_t* bytes, std::size_t n) override {
        events.push_back("dropped " + hex(bytes, n));
    }
    static std::string hex(const std::uint8_t* b, std::size_t n) {
        std::string s;
        for (std::size_t i = 0; i < n; ++i) s += std::to_string(b[i]) + (i + 1 < n ? "," : "");
        return s;
    }
    std::vector<std::string> events;
};

TEST_F(MotorLinkTest, AnObserverSeesFramesRepliesAndDroppedBytes) {
    RecordingObserver observer;
    link.set_observer(&observer);
    link.request_command(CommandCode::OPEN);
    feed({0x03, 0x02, 0x01, 0x00, 0x2A, 0x31});
    feed({7, 8});
    window.advance(1500);
    feed({9});
    link.request_command(CommandCode::STOP);
    EXPECT_EQ(observer.events,
              (std::vector<std::string>{"sent 3,2,1,1,50,57", "bad 3,2,1,0,42,49", "dropped 7,8",
                                        "dropped 9", "sent 3,2,1,2,50,58"}));
}

}  // namespace
}  // namespace motor
