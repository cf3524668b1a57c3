#include "panel_port.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>

#include "port_directory.h"
#include "saved_port_file.h"

namespace motor::sim {
namespace {

struct SavedCase {
    const char* name;
    std::optional<std::string> file;  // nullopt: there is no saved port file
    int port;
};

class PanelPort : public ::testing::TestWithParam<SavedCase> {};

TEST_P(PanelPort, IsTheSavedNumberByThePanelsRules) {
    const std::filesystem::path dir = motor::testing::make_temporary_directory();
    if (GetParam().file) {
        std::ofstream(dir / saved_port_file_name, std::ios::binary) << *GetParam().file;
    }
    EXPECT_EQ(port_the_panel_opens(dir), GetParam().port);
    std::filesystem::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PanelPort,
    ::testing::Values(SavedCase{"NoFile", std::nullopt, 1}, SavedCase{"Empty", "", 1},
                      SavedCase{"Five", "5", 5}, SavedCase{"LeadingZeros", "007", 7},
                      SavedCase{"LineEnd", "3\r\n9", 3}, SavedCase{"Blanks", "  4  ", 4},
                      SavedCase{"Fraction", "3.9", 3}, SavedCase{"LowEightBits", "300", 44},
                      SavedCase{"ZeroMeansCom1", "256", 1}, SavedCase{"NotANumber", "abc", 1},
                      SavedCase{"MinusOne", "-1", 255}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace motor::sim
