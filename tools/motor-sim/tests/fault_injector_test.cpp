#include "fault_injector.h"

#include <gtest/gtest.h>

namespace motor::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Kind = FaultSetting::Kind;

struct SettingCase {
    std::string text;
    std::optional<FaultSetting> setting;
};

class FaultSettings : public testing::TestWithParam<SettingCase> {};

TEST_P(FaultSettings, ReadCountsAndPercentages) {
    EXPECT_EQ(parse_fault_setting(GetParam().text), GetParam().setting) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, FaultSettings,
    testing::Values(SettingCase{"3", FaultSetting{Kind::first, 3, 0}},
                    SettingCase{"1", FaultSetting{Kind::first, 1, 0}},
                    SettingCase{"0", FaultSetting{}}, SettingCase{"0%", FaultSetting{}},
                    SettingCase{"25%", FaultSetting{Kind::rate, 0, 0.25}},
                    SettingCase{"100%", FaultSetting{Kind::rate, 0, 1.0}},
                    SettingCase{"2.5%", FaultSetting{Kind::rate, 0, 0.025}},
                    SettingCase{"", std::nullopt}, SettingCase{"%", std::nullopt},
                    SettingCase{"101%", std::nullopt}, SettingCase{"-1", std::nullopt},
                    SettingCase{"-5%", std::nullopt}, SettingCase{"3x", std::nullopt},
                    SettingCase{"1e2%", std::nullopt}, SettingCase{"0.5", std::nullopt}));

TEST(FaultInjector, StrikesTheFirstNRepliesAndThenNoMore) {
    FaultPlan plan;
    plan.corrupt_checksum = {Kind::first, 2, 0};
    plan.pause_reply = {Kind::first, 1, 0};
    FaultInjector injector(plan, 1);
    std::vector<std::pair<bool, bool>> seen;
    for (int i = 0; i < 4; ++i) {
        const ReplyFaults f = injector.next_reply();
        seen.emplace_back(f.corrupt_checksum, f.pause);
    }
    EXPECT_EQ(seen, (std::vector<std::pair<bool, bool>>{
                        {true, true}, {true, false}, {false, false}, {false, false}}));
}

TEST(FaultInjector, ASilentReplyUsesUpNoOtherFault) {
    FaultPlan plan;
    plan.silent = {Kind::first, 1, 0};
    plan.corrupt_checksum = {Kind::first, 1, 0};
    FaultInjector injector(plan, 1);
    EXPECT_EQ(injector.next_reply(), ReplyFaults{.silent = true});
    EXPECT_EQ(injector.next_reply(), ReplyFaults{.corrupt_checksum = true});
}

TEST(FaultInjector, RatesStrikeAboutAsOftenAsAskedAndRepeatWithTheSeed) {
    FaultPlan plan;
    plan.noise = {Kind::rate, 0, 0.25};
    plan.drop_byte = {Kind::rate, 0, 1.0};
    FaultInjector a(plan, 7);
    FaultInjector b(plan, 7);
    int noisy = 0;
    for (int i = 0; i < 2000; ++i) {
        const ReplyFaults fa = a.next_reply();
        EXPECT_EQ(fa, b.next_reply());
        ASSERT_TRUE(fa.drop_index);
        EXPECT_LT(*fa.drop_index, frame_size);
        if (fa.noise) ++noisy;
    }
    EXPECT_GT(noisy, 400);  // 500 expected; far outside chance either way
    EXPECT_LT(noisy, 600);
}

TEST(FaultInjector, NeverStrikesWithoutAPlan) {
    FaultInjector injector(FaultPlan{}, 1);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(injector.next_reply(), ReplyFaults{});
}

const Frame reply{0x03, 0x02, 0x01, 0x00, 0x2A, 0x30};

struct ApplyCase {
    const char* name;
    ReplyFaults faults;
    Bytes first;
    Bytes rest;
};

class ApplyFaults : public testing::TestWithParam<ApplyCase> {};

TEST_P(ApplyFaults, ShapeTheBytesThatGoOut) {
    const ReplyBytes out = apply_faults(reply, GetParam().faults);
    EXPECT_EQ(out.first, GetParam().first);
    EXPECT_EQ(out.rest, GetParam().rest);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ApplyFaults,
    testing::Values(
        ApplyCase{"None", {}, {3, 2, 1, 0, 0x2A, 0x30}, {}},
        ApplyCase{"Silent", {.silent = true}, {}, {}},
        ApplyCase{"Corrupt", {.corrupt_checksum = true}, {3, 2, 1, 0, 0x2A, 0x31}, {}},
        ApplyCase{"DropFirst", {.drop_index = 0}, {2, 1, 0, 0x2A, 0x30}, {}},
        ApplyCase{"DropChecksum", {.drop_index = 5}, {3, 2, 1, 0, 0x2A}, {}},
        ApplyCase{"Pause", {.pause = true}, {3, 2, 1}, {0, 0x2A, 0x30}},
        ApplyCase{"DropAndPause", {.drop_index = 1, .pause = true}, {3, 1, 0}, {0x2A, 0x30}},
        ApplyCase{"CorruptAndPause",
                  {.corrupt_checksum = true, .pause = true},
                  {3, 2, 1},
                  {0, 0x2A, 0x31}},
        // The noise byte goes out on its own, before these.
        ApplyCase{"NoiseLeavesTheFrame", {.noise = 0x5A}, {3, 2, 1, 0, 0x2A, 0x30}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ApplyFaults, ACorruptChecksumWrapsAround) {
    const Frame f{0xFF, 0, 0, 0, 0, 0xFF};
    EXPECT_EQ(apply_faults(f, {.corrupt_checksum = true}).first, (Bytes{0xFF, 0, 0, 0, 0, 0x00}));
}

}  // namespace
}  // namespace motor::sim
