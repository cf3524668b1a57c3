#include "posix_line_settings.h"

#include <gtest/gtest.h>

#include <cstring>

namespace motor {
namespace {

// A terminal with every flag set: whatever the result keeps was not cleared on purpose.
termios everything_set() {
    termios t;
    std::memset(&t, 0xFF, sizeof t);
    return t;
}

TEST(LineSettingsTest, SystemSettingsGiveRawLineWithoutFlowControlOrParity) {
    termios t = everything_set();
    ASSERT_TRUE(apply_port_settings(t, port_settings));

    EXPECT_EQ(cfgetospeed(&t), B9600);
    EXPECT_EQ(cfgetispeed(&t), B9600);
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t{CS8});
    EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), tcflag_t{CLOCAL | CREAD});
    // No parity, one stop bit, no hardware handshake, DTR not dropped at close.
    EXPECT_EQ(t.c_cflag & (PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | HUPCL), 0u);
    // Bytes with line errors delivered unchanged; 0x11 and 0x13 are data; nothing translated.
    EXPECT_EQ(t.c_iflag & (INPCK | IGNPAR | PARMRK | ISTRIP | IXON | IXOFF | IXANY | ICRNL | INLCR |
                           IGNCR | BRKINT | IGNBRK),
              0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 0);
}

TEST(LineSettingsTest, DeviceThatKeptEverythingPasses) {
    termios wanted = everything_set();
    ASSERT_TRUE(apply_port_settings(wanted, port_settings));
    EXPECT_TRUE(device_kept_settings(wanted, wanted));

    termios slower = wanted;
    cfsetospeed(&slower, B4800);
    EXPECT_FALSE(device_kept_settings(wanted, slower));
    termios seven_bits = wanted;
    seven_bits.c_cflag = (seven_bits.c_cflag & ~CSIZE) | CS7;
    EXPECT_FALSE(device_kept_settings(wanted, seven_bits));
    termios handshake = wanted;
    handshake.c_cflag |= CRTSCTS;
    EXPECT_FALSE(device_kept_settings(wanted, handshake));
    termios xon = wanted;
    xon.c_iflag |= IXON;
    EXPECT_FALSE(device_kept_settings(wanted, xon));
}

struct SettingsCase {
    const char* name;
    PortSettings settings;
    bool supported;
    friend void PrintTo(const SettingsCase& c, std::ostream* os) { *os << c.name; }
};

PortSettings with(void (*change)(PortSettings&)) {
    PortSettings s = port_settings;
    change(s);
    return s;
}

class SettingsSupport : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(SettingsSupport, RefusesCodesThisSystemDoesNotUse) {
    termios t = everything_set();
    EXPECT_EQ(apply_port_settings(t, GetParam().settings), GetParam().supported);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SettingsSupport,
    ::testing::Values(
        SettingsCase{"Described", port_settings, true},
        SettingsCase{"StopCodeOutsideTableIsOne",
                     with([](PortSettings& s) { s.stop_bits_code = 9; }), true},
        SettingsCase{"ParityCodeOutsideTableIsNone",
                     with([](PortSettings& s) { s.parity_code = 7; }), true},
        SettingsCase{"RtsOff", with([](PortSettings& s) { s.rts_mode = 1; }), true},
        SettingsCase{"OneAndAHalfStopBits", with([](PortSettings& s) { s.stop_bits_code = 2; }),
                     false},
        SettingsCase{"TwoStopBits", with([](PortSettings& s) { s.stop_bits_code = 3; }), false},
        SettingsCase{"EvenParity", with([](PortSettings& s) { s.parity_code = 2; }), false},
        SettingsCase{"ParityChecking", with([](PortSettings& s) { s.parity_check = 1; }), false},
        SettingsCase{"Handshake", with([](PortSettings& s) { s.flow_control_code = 1; }), false},
        SettingsCase{"DtrOn", with([](PortSettings& s) { s.dtr_mode = 2; }), false},
        SettingsCase{"EventCharacter", with([](PortSettings& s) { s.event_char_text = "x"; }),
                     false},
        SettingsCase{"UnknownBaudRate", with([](PortSettings& s) { s.baud_rate = 9601; }), false},
        SettingsCase{"NineDataBits", with([](PortSettings& s) { s.data_bits = 9; }), false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace motor
