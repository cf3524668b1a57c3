#include "frame_assembler.h"

#include <gtest/gtest.h>

#include <vector>

namespace motor::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Arrival {
    int at_ms;
    Bytes bytes;
};

struct AssemblyCase {
    const char* name;
    std::vector<Arrival> arrivals;
    std::vector<Frame> frames;
    std::vector<Bytes> dropped;
};

class Assembly : public testing::TestWithParam<AssemblyCase> {};

TEST_P(Assembly, CountsSixBytesAndDropsAPartialFrameAfterThreeIdleTicks) {
    FrameAssembler assembler;
    std::vector<Frame> frames;
    std::vector<Bytes> dropped;
    for (const Arrival& a : GetParam().arrivals) {
        for (std::uint8_t b : a.bytes) {
            auto result = assembler.push(b, SimTime(a.at_ms));
            if (!result.dropped.empty()) dropped.push_back(result.dropped);
            if (result.frame) frames.push_back(*result.frame);
        }
    }
    EXPECT_EQ(frames, GetParam().frames);
    EXPECT_EQ(dropped, GetParam().dropped);
}

const Frame reply{0x03, 0x02, 0x01, 0x00, 0x2A, 0x30};

INSTANTIATE_TEST_SUITE_P(
    Table, Assembly,
    testing::Values(
        AssemblyCase{"OneFrame", {{10, {3, 2, 1, 0, 0x2A, 0x30}}}, {reply}, {}},
        AssemblyCase{"TwelveBytesTwoFrames",
                     {{10, {3, 2, 1, 0, 0x2A, 0x30, 3, 2, 1, 0, 0x2A, 0x30}}},
                     {reply, reply},
                     {}},
        AssemblyCase{
            "BytesSpreadOutUnderASecondEach",
            {{0, {3}}, {900, {2}}, {1800, {1}}, {2700, {0}}, {3600, {0x2A}}, {4500, {0x30}}},
            {reply},
            {}},
        AssemblyCase{"FourBytesThenTwoSecondsThenAFrame",
                     {{100, {9, 9, 9, 9}}, {2100, {3, 2, 1, 0, 0x2A, 0x30}}},
                     {reply},
                     {{9, 9, 9, 9}}},
        // Ticks at 500, 1000, 1500: the third after a byte at 499 comes 1001 ms later.
        AssemblyCase{"LastByteJustBeforeATick",
                     {{499, {7}}, {1499, {3, 2, 1, 0, 0x2A}}},
                     {Frame{7, 3, 2, 1, 0, 0x2A}},
                     {}},
        AssemblyCase{"LastByteJustBeforeATickThenTheThirdTick",
                     {{499, {7}}, {1500, {3, 2, 1, 0, 0x2A, 0x30}}},
                     {reply},
                     {{7}}},
        // The third tick after a byte at 500 is at 2000, 1500 ms later.
        AssemblyCase{"LastByteOnATick",
                     {{500, {7}}, {1999, {3, 2, 1, 0, 0x2A}}},
                     {Frame{7, 3, 2, 1, 0, 0x2A}},
                     {}},
        AssemblyCase{"LastByteOnATickThenTheThirdTick",
                     {{500, {7}}, {2000, {3, 2, 1, 0, 0x2A, 0x30}}},
                     {reply},
                     {{7}}},
        AssemblyCase{"ALostByteShiftsTheFraming",
                     {{0, {3, 2, 1, 0, 0x2A, 3, 2, 1, 0, 0x2A, 0x30}}},
                     {Frame{3, 2, 1, 0, 0x2A, 3}},
                     {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FrameAssembler, TellsWhenThePartialFrameWillBeDropped) {
    FrameAssembler assembler;
    EXPECT_FALSE(assembler.drop_time());
    assembler.push(1, SimTime(1234));
    EXPECT_EQ(assembler.drop_time(), SimTime(2500));
    EXPECT_TRUE(assembler.expire(SimTime(2499)).empty());
    EXPECT_EQ(assembler.expire(SimTime(2500)), Bytes{1});
    EXPECT_FALSE(assembler.drop_time());
    EXPECT_TRUE(assembler.expire(SimTime(9999)).empty());
}

TEST(FrameAssembler, HoldsNoPartialFrameAfterACompleteOne) {
    FrameAssembler assembler;
    for (std::uint8_t b : reply) assembler.push(b, SimTime(0));
    EXPECT_FALSE(assembler.drop_time());
}

}  // namespace
}  // namespace motor::sim
