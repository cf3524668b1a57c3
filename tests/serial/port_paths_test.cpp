#include "port_paths.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "port_directory.h"

namespace motor {
namespace {

namespace fs = std::filesystem;

// A machine in a temporary directory: stand-in devices, an override port directory, a personal
// one under XDG_CONFIG_HOME and one under HOME/.config.
class PortPathsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        root = testing::make_temporary_directory();
        fs::create_directories(root / "dev");
        for (const char* device : {"ttyA", "ttyB", "ttyC"}) std::ofstream(root / "dev" / device);
        fs::create_directories(root / "override");
        fs::create_symlink(root / "dev/ttyA", root / "override/com3");
        fs::create_symlink(root / "dev/unplugged", root / "override/com4");
        fs::create_directories(root / "xdg/motor-panel/ports");
        fs::create_symlink(root / "dev/ttyB", root / "xdg/motor-panel/ports/com5");
        fs::create_directories(root / "home/.config/motor-panel/ports");
        fs::create_symlink(root / "dev/ttyC", root / "home/.config/motor-panel/ports/com6");
        fs::create_symlink(root / "dev/unplugged", root / "xdg/motor-panel/ports/com7");
    }
    static void TearDownTestSuite() { fs::remove_all(root); }

    static inline fs::path root;
};

struct MappingCase {
    const char* name;
    bool override_dir, xdg, home;
    std::int32_t com_number;
    const char* expected;  // relative: under the temporary root; absolute: as it stands
    friend void PrintTo(const MappingCase& c, std::ostream* os) { *os << c.name; }
};

class PortMapping : public PortPathsTest, public ::testing::WithParamInterface<MappingCase> {};

TEST_P(PortMapping, ResolvesComNumberToDevice) {
    const MappingCase& c = GetParam();
    PortEnvironment env;
    if (c.override_dir) env.port_dir = (root / "override").string();
    if (c.xdg) env.xdg_config_home = (root / "xdg").string();
    if (c.home) env.home = (root / "home").string();

    const fs::path expected(c.expected);
    const std::string want =
        expected.empty() || expected.is_absolute() ? expected.string() : (root / expected).string();
    EXPECT_EQ(port_device_path(c.com_number, env), want);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PortMapping,
    ::testing::Values(
        MappingCase{"OverrideEntryResolvesLink", true, true, true, 3, "dev/ttyA"},
        MappingCase{"OverrideDanglingLinkStaysToFailOpen", true, true, true, 4, "override/com4"},
        MappingCase{"OverrideWithoutEntryHasNoDevice", true, true, true, 1, ""},
        MappingCase{"OverrideHidesPersonalEntries", true, true, true, 5, ""},
        MappingCase{"PersonalEntry", false, true, true, 5, "dev/ttyB"},
        MappingCase{"PersonalDanglingLinkDoesNotFallBack", false, true, true, 7,
                    "xdg/motor-panel/ports/com7"},
        MappingCase{"Com1FallsBackToTtyS0", false, true, true, 1, "/dev/ttyS0"},
        MappingCase{"Com255FallsBackToTtyS254", false, true, true, 255, "/dev/ttyS254"},
        MappingCase{"HomeConfigWhenXdgUnset", false, false, true, 6, "dev/ttyC"},
        MappingCase{"XdgReplacesHomeConfig", false, true, true, 6, "/dev/ttyS5"},
        MappingCase{"NoEnvironmentFallsBack", false, false, false, 2, "/dev/ttyS1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PortDirectoryTest, IsTheOverrideElseThePersonalDirectory) {
    EXPECT_EQ(port_directory({"/o", "/x", "/h"}), fs::path("/o"));
    EXPECT_EQ(port_directory({std::nullopt, "/x", "/h"}), fs::path("/x/motor-panel/ports"));
    EXPECT_EQ(port_directory({std::nullopt, std::nullopt, "/h"}),
              fs::path("/h/.config/motor-panel/ports"));
    EXPECT_EQ(port_directory({}), std::nullopt);
}

TEST(PortEnvironmentTest, EmptyVariablesCountAsUnset) {
    setenv("MOTOR_PANEL_PORT_DIR", "", 1);
    setenv("XDG_CONFIG_HOME", "/somewhere", 1);
    const PortEnvironment env = port_environment();
    unsetenv("MOTOR_PANEL_PORT_DIR");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_FALSE(env.port_dir.has_value());
    EXPECT_EQ(env.xdg_config_home, "/somewhere");
}

}  // namespace
}  // namespace motor
