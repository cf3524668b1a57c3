#include "command_line.h"

#include <gtest/gtest.h>

namespace motor::panel {
namespace {

struct LineCase {
    const char* name;
    std::vector<std::string> args;
    std::optional<std::string> trace;
    std::vector<std::string> unknown;
};

class TraceOption : public ::testing::TestWithParam<LineCase> {};

TEST_P(TraceOption, GoesToStandardErrorOrAFile) {
    const CommandLine line = parse_command_line(GetParam().args);
    EXPECT_EQ(line.trace, GetParam().trace);
    EXPECT_EQ(line.unknown, GetParam().unknown);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TraceOption,
    ::testing::Values(LineCase{"Off", {}, std::nullopt, {}},
                      LineCase{"StandardError", {"--trace"}, "", {}},
                      LineCase{"File", {"--trace=/tmp/t.log"}, "/tmp/t.log", {}},
                      LineCase{"RelativeFile", {"--trace=t.log"}, "t.log", {}},
                      LineCase{"FileNameMissing", {"--trace="}, std::nullopt, {"--trace="}},
                      LineCase{"NearMiss", {"--tracer"}, std::nullopt, {"--tracer"}},
                      LineCase{"LastOneCounts", {"--trace=a", "--trace"}, "", {}},
                      LineCase{"QtsOwnOptions", {"-platform", "offscreen", "-style", "fusion"},
                               std::nullopt, {}},
                      LineCase{"UnknownLongOption", {"--bogus"}, std::nullopt, {"--bogus"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLineHelp, DescribesTheTrace) {
    EXPECT_NE(help_text().find("--trace[=FILE]"), std::string::npos);
}

}  // namespace
}  // namespace motor::panel
