#include "trace_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "fake_window.h"
#include "recording_port.h"
#include "trace_file.h"

namespace motor {
namespace {

using test::FakeWindow;
using test::RecordingPort;
using Bytes = std::vector<std::uint8_t>;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::vector<std::string> lines_of(std::FILE* f) {
    std::rewind(f);
    std::vector<std::string> lines;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, f) != nullptr) lines.emplace_back(buffer);
    return lines;
}

// A panel link whose traffic is traced to a temporary file, the clock advancing 1 ms a line.
class TracedLink : public testing::Test {
  protected:
    TracedLink()
        : file(std::tmpfile()),
          writer(file.get(), [this] { return TraceTime{2025, 3, 14, 9, 26, 53, millisecond++}; }),
          link(state, window, port) {
        state.reply_index = 1;
        window.on_tick = [this](Control timer) {
            if (timer == Control::时钟1) link.on_watchdog_tick();
        };
        link.set_observer(&writer);
    }
    void feed(const Bytes& bytes) {
        for (auto b : bytes) link.on_reply_byte(b);
    }

    File file;
    int millisecond = 0;
    TraceWriter writer;
    PanelState state;
    FakeWindow window;
    RecordingPort port;
    MotorLink link;
};

TEST_F(TracedLink, WritesOneLinePerFrameSentReplyAndDroppedPartial) {
    ASSERT_TRUE(file);
    link.request_command(CommandCode::OPEN);
    feed({0x03, 0x02, 0x01, 0x01, 0x32, 0x39});
    feed({0x03, 0x02, 0x01, 0x00, 0x2A, 0x31});
    feed({0x03, 0x02});
    window.advance(1500);  // the watchdog drops the two bytes
    feed({0x07});
    link.request_command(CommandCode::BROADCAST_READ_ADDRESS);  // drops the one byte
    const std::vector<std::string> expected = {
        "2025-03-14 09:26:53.000 TX 03 02 01 01 32 39  OPEN value 50 to 010203\n",
        "2025-03-14 09:26:53.001 RX 03 02 01 01 32 39  reply from 010203 position 50\n",
        "2025-03-14 09:26:53.002 RX 03 02 01 00 2A 31  bad checksum (expected 30)\n",
        "2025-03-14 09:26:53.003 RX 03 02              partial frame dropped (2 of 6 bytes)\n",
        "2025-03-14 09:26:53.004 RX 07                 partial frame dropped (1 of 6 bytes)\n",
        "2025-03-14 09:26:53.005 TX 00 00 00 20 32 52  BROADCAST_READ_ADDRESS value 50 to 000000 "
        "(broadcast)\n",
    };
    EXPECT_EQ(lines_of(file.get()), expected);
    EXPECT_FALSE(writer.failed());
}

TEST_F(TracedLink, ChangesNothingTheWindowOrTheLineSees) {
    PanelState plain_state;
    plain_state.reply_index = 1;
    FakeWindow plain_window;
    RecordingPort plain_port;
    MotorLink plain(plain_state, plain_window, plain_port);

    const Bytes replies = {0x03, 0x02, 0x01, 0x01, 0x32, 0x39, 0x03,
                           0x02, 0x01, 0x00, 0x2A, 0x31, 9};
    for (MotorLink* l : {&link, &plain}) {
        l->request_command(CommandCode::PROPORTIONAL_CONTROL);
        for (auto b : replies) l->on_reply_byte(b);
        l->request_command(CommandCode::READ_POSITION);
    }
    EXPECT_EQ(window.writes, plain_window.writes);
    EXPECT_EQ(port.sent, plain_port.sent);
    EXPECT_EQ(state.reply_buffer, plain_state.reply_buffer);
    EXPECT_EQ(state.reply_index, plain_state.reply_index);
}

TEST_F(TracedLink, AFailedWriteStopsTracingButNotTheLink) {
    // A stream opened for reading refuses every write.
    File read_only(std::fopen("/dev/null", "r"));
    ASSERT_TRUE(read_only);
    TraceWriter failing(read_only.get(), [] { return TraceTime{}; });
    link.set_observer(&failing);
    testing::internal::CaptureStderr();
    link.request_command(CommandCode::OPEN);
    link.request_command(CommandCode::CLOSE);
    const std::string complaints = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(failing.failed());
    EXPECT_EQ(port.sent.size(), 12u);
    // Said once, not once per line.
    EXPECT_EQ(complaints.find("trace:"), 0u);
    EXPECT_EQ(complaints.find("trace:", 1), std::string::npos);
}

TEST(TraceFile, AppendsToWhatTheFileHeld) {
    const std::string name = ::testing::TempDir() + "trace_file_test.log";
    std::remove(name.c_str());
    for (int run = 0; run < 2; ++run) {
        std::string error;
        auto trace = TraceFile::open(name, error);
        ASSERT_TRUE(trace) << error;
        trace->writer().write(TraceDirection::sent, std::vector<std::uint8_t>{1},
                              "run " + std::to_string(run));
    }
    File f(std::fopen(name.c_str(), "r"));
    ASSERT_TRUE(f);
    const auto lines = lines_of(f.get());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("TX 01                 run 0"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("run 1"), std::string::npos);
    std::remove(name.c_str());
}

TEST(TraceFile, SaysWhyAFileCannotBeOpened) {
    std::string error;
    EXPECT_FALSE(TraceFile::open("/nonexistent-dir/trace.log", error));
    EXPECT_EQ(error,
              "cannot open /nonexistent-dir/trace.log for the trace: No such file or directory");
}

}  // namespace
}  // namespace motor
