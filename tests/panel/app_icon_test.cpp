// The Windows program's icon file holds the tray icon's picture; the two must not drift apart.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "tray_icon_image.h"

namespace motor {
namespace {

TEST(AppIcon, IsTheTrayIconsFile) {
    std::ifstream file(MOTOR_PANEL_APP_ICON, std::ios::binary);
    ASSERT_TRUE(file) << MOTOR_PANEL_APP_ICON;
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    EXPECT_EQ(bytes, std::vector<std::uint8_t>(tray_icon_image.begin(), tray_icon_image.end()));
}

}  // namespace
}  // namespace motor
