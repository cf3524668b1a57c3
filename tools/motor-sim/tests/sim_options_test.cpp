#include "sim_options.h"

#include <gtest/gtest.h>

namespace motor::sim {
namespace {

ParsedOptions parse(std::vector<std::string> args) {
    return parse_options(args);
}

TEST(SimOptions, DefaultsAnswerThePanelsDefaultTargetOnCom1) {
    const ParsedOptions p = parse({});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.options.action, SimOptions::Action::run);
    EXPECT_EQ(p.options.port, 1);
    EXPECT_FALSE(p.options.quiet);
    ASSERT_EQ(p.options.settings.motors.size(), 1u);
    EXPECT_EQ(p.options.settings.motors[0], (MotorSetting{{0x03, 0x02, 0x01}, 0}));
    // End to end takes a few seconds.
    EXPECT_GE(255 / p.options.settings.steps_per_second, 2);
    EXPECT_LE(255 / p.options.settings.steps_per_second, 6);
    // The pause outlasts the panel's watchdog, which drops a partial frame within 1500 ms.
    EXPECT_GT(p.options.settings.pause.count(), 1500);
}

TEST(SimOptions, ReadEveryOptionInBothSpellings) {
    const ParsedOptions p =
        parse({"--port=7", "--motor", "0A0b0C:200", "--motor=FF0001", "--speed=10", "--reply-delay",
               "0", "--silent=2", "--noise=10%", "--drop-byte=1", "--corrupt-checksum=3",
               "--pause-reply=50%", "--pause-ms=1600", "--seed=42", "--quiet"});
    ASSERT_EQ(p.error, "");
    const SimOptions& o = p.options;
    EXPECT_EQ(o.port, 7);
    EXPECT_EQ(o.settings.motors,
              (std::vector<MotorSetting>{{{0x0C, 0x0B, 0x0A}, 200}, {{0x01, 0x00, 0xFF}, 0}}));
    EXPECT_EQ(o.settings.steps_per_second, 10);
    EXPECT_EQ(o.settings.reply_delay, SimTime(0));
    EXPECT_EQ(o.settings.faults.silent, (FaultSetting{FaultSetting::Kind::first, 2, 0}));
    EXPECT_EQ(o.settings.faults.noise, (FaultSetting{FaultSetting::Kind::rate, 0, 0.1}));
    EXPECT_EQ(o.settings.faults.drop_byte, (FaultSetting{FaultSetting::Kind::first, 1, 0}));
    EXPECT_EQ(o.settings.faults.corrupt_checksum, (FaultSetting{FaultSetting::Kind::first, 3, 0}));
    EXPECT_EQ(o.settings.faults.pause_reply, (FaultSetting{FaultSetting::Kind::rate, 0, 0.5}));
    EXPECT_EQ(o.settings.pause, SimTime(1600));
    EXPECT_EQ(o.settings.seed, 42u);
    EXPECT_TRUE(o.quiet);
}

TEST(SimOptions, PortSavedMeansThePortThePanelOpens) {
    EXPECT_TRUE(parse({"--port=saved"}).options.port_from_panel);
    const ParsedOptions later_number = parse({"--port=saved", "--port=4"});
    EXPECT_FALSE(later_number.options.port_from_panel);
    EXPECT_EQ(later_number.options.port, 4);
    EXPECT_FALSE(parse({}).options.port_from_panel);
}

TEST(SimOptions, HelpAndVersionAreActions) {
    EXPECT_EQ(parse({"--help"}).options.action, SimOptions::Action::help);
    EXPECT_EQ(parse({"--port=3", "--version"}).options.action, SimOptions::Action::version);
}

struct BadCase {
    std::vector<std::string> args;
    std::string error;
};

class BadArguments : public testing::TestWithParam<BadCase> {};

TEST_P(BadArguments, AreRefusedWithAReason) {
    EXPECT_EQ(parse(GetParam().args).error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadArguments,
    testing::Values(
        BadCase{{"com1"}, "unexpected argument 'com1'"},
        BadCase{{"--colour"}, "unknown option '--colour'"},
        BadCase{{"--port"}, "--port needs a value (N|saved)"},
        BadCase{{"--port=0"}, "--port expects a whole number from 1 to 255, not '0'"},
        BadCase{{"--port=256"}, "--port expects a whole number from 1 to 255, not '256'"},
        BadCase{{"--port=1x"}, "--port expects a whole number from 1 to 255, not '1x'"},
        BadCase{{"--motor=12345"},
                "--motor expects an address of six hex digits, as in 010203, not '12345'"},
        BadCase{{"--motor=01020G"},
                "--motor expects an address of six hex digits, as in 010203, not '01020G'"},
        BadCase{{"--motor=000000"},
                "--motor 000000 is the broadcast address, no motor's own, not '000000'"},
        BadCase{{"--motor=010203:256"},
                "--motor expects a position from 0 to 255 after the colon, not '010203:256'"},
        BadCase{{"--motor=010203:"},
                "--motor expects a position from 0 to 255 after the colon, not '010203:'"},
        BadCase{{"--motor=010203", "--motor=010203:5"},
                "--motor gives the same address twice, not '010203:5'"},
        BadCase{{"--speed=0"}, "--speed expects a whole number from 1 to 10000, not '0'"},
        BadCase{{"--noise=x"},
                "--noise expects N (the first N replies) or P% (each reply with P percent), not "
                "'x'"},
        BadCase{{"--quiet=yes"}, "--quiet takes no value"}));

TEST(SimOptions, HelpDescribesEveryOptionAndTheSimulation) {
    const std::string help = help_text();
    for (const char* option :
         {"--port=N|saved", "--motor=ADDRESS[:POSITION]", "--speed=N", "--reply-delay=MS",
          "--silent=SPEC", "--noise=SPEC", "--drop-byte=SPEC", "--corrupt-checksum=SPEC",
          "--pause-reply=SPEC", "--pause-ms=MS", "--seed=N", "--quiet", "--help", "--version",
          "MOTOR_PANEL_PORT_DIR", "BROADCAST_READ_ADDRESS", "not the definition of any device"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
}

}  // namespace
}  // namespace motor::sim
