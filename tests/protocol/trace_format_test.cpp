#include "trace_format.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace motor {
namespace {

using Bytes = std::vector<std::uint8_t>;

const TraceTime noon{2025, 3, 14, 9, 26, 53, 589};

struct LineCase {
    const char* name;
    TraceDirection direction;
    Bytes bytes;
    std::string meaning;
    std::string line;
};

class TraceLines : public testing::TestWithParam<LineCase> {};

TEST_P(TraceLines, PutTimeDirectionBytesAndMeaningInColumns) {
    const auto& c = GetParam();
    EXPECT_EQ(trace_line(noon, c.direction, c.bytes, c.meaning), c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TraceLines,
    testing::Values(
        LineCase{"Sent",
                 TraceDirection::sent,
                 {3, 2, 1, 1, 0x32, 0x39},
                 "OPEN value 50 to 010203",
                 "2025-03-14 09:26:53.589 TX 03 02 01 01 32 39  OPEN value 50 to 010203"},
        LineCase{"ReceivedUpperCaseHex",
                 TraceDirection::received,
                 {0xAB, 0xCD, 0xEF, 0, 0xFF, 0x0A},
                 "m",
                 "2025-03-14 09:26:53.589 RX AB CD EF 00 FF 0A  m"},
        LineCase{"PartialIsPadded",
                 TraceDirection::received,
                 {3, 2},
                 "partial",
                 "2025-03-14 09:26:53.589 RX 03 02              partial"},
        LineCase{"Empty",
                 TraceDirection::sent,
                 {},
                 "nothing",
                 "2025-03-14 09:26:53.589 TX                    nothing"},
        LineCase{"LongerThanAFrame",
                 TraceDirection::sent,
                 {1, 2, 3, 4, 5, 6, 7},
                 "seven",
                 "2025-03-14 09:26:53.589 TX 01 02 03 04 05 06 07  seven"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TraceTimeText, PadsEveryFieldAndKeepsMilliseconds) {
    EXPECT_EQ(trace_line({2001, 2, 3, 4, 5, 6, 7}, TraceDirection::sent, Bytes{}, "").substr(0, 23),
              "2001-02-03 04:05:06.007");
    EXPECT_EQ(trace_line({1999, 12, 31, 23, 59, 59, 999}, TraceDirection::sent, Bytes{}, "")
                  .substr(0, 23),
              "1999-12-31 23:59:59.999");
}

TEST(TraceTimeText, LocalTimeKeepsTheMillisecondsOfTheMoment) {
    // Whatever the zone, milliseconds and seconds within the minute do not depend on it.
    const auto moment = std::chrono::system_clock::time_point(
        std::chrono::milliseconds(1'700'000'000'123));  // 2023-11-14 22:13:20.123 UTC
    const TraceTime t = local_trace_time(moment);
    EXPECT_EQ(t.millisecond, 123);
    EXPECT_EQ(t.second, 20);
    EXPECT_EQ(t.year, 2023);
}

struct MeaningCase {
    const char* name;
    Frame frame;
    std::string command;
    std::string reply;
};

class FrameMeanings : public testing::TestWithParam<MeaningCase> {};

TEST_P(FrameMeanings, ReadAsCommandAndAsReply) {
    EXPECT_EQ(command_meaning(GetParam().frame), GetParam().command);
    EXPECT_EQ(reply_meaning(GetParam().frame), GetParam().reply);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FrameMeanings,
    testing::Values(MeaningCase{"Open",
                                {0x03, 0x02, 0x01, 0x01, 0x32, 0x39},
                                "OPEN value 50 to 010203",
                                "reply from 010203 position 50"},
                    MeaningCase{"Broadcast",
                                {0x00, 0x00, 0x00, 0x20, 0x32, 0x52},
                                "BROADCAST_READ_ADDRESS value 50 to 000000 (broadcast)",
                                "reply from 000000 position 50"},
                    MeaningCase{"AllOnes",
                                {0xFF, 0xFF, 0xFF, 0xB1, 0xFF, 0xAD},
                                "CHANGE_DIRECTION value 255 to FFFFFF",
                                "reply from FFFFFF position 255"},
                    MeaningCase{"AddressByteOrder",
                                {0x0A, 0x00, 0xFF, 0x00, 0xC8, 0xD1},
                                "READ_POSITION value 200 to FF000A",
                                "reply from FF000A position 200"},
                    MeaningCase{"UnknownCode",
                                {0x03, 0x02, 0x01, 0xEE, 0x00, 0xF4},
                                "unknown command EE value 0 to 010203",
                                "reply from 010203 position 0"},
                    MeaningCase{"NoCode162",
                                {0x03, 0x02, 0x01, 0xA2, 0x00, 0xA8},
                                "unknown command A2 value 0 to 010203",
                                "reply from 010203 position 0"},
                    MeaningCase{"BadChecksum",
                                {0x03, 0x02, 0x01, 0x00, 0x2A, 0x31},
                                "bad checksum (expected 30)",
                                "bad checksum (expected 30)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FrameMeanings, NameEveryCommandCode) {
    for (CommandCode code : all_command_codes) {
        const auto b3 = static_cast<std::uint8_t>(code);
        const Frame f{3, 2, 1, b3, 7, frame_checksum(3, 2, 1, b3, 7)};
        EXPECT_EQ(command_meaning(f), std::string(command_name(b3)) + " value 7 to 010203");
    }
}

TEST(PartialMeaning, CountsTheBytes) {
    EXPECT_EQ(partial_meaning(1), "partial frame dropped (1 of 6 bytes)");
    EXPECT_EQ(partial_meaning(5), "partial frame dropped (5 of 6 bytes)");
}

}  // namespace
}  // namespace motor
