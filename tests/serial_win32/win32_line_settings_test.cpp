#include "win32_line_settings.h"

#include <gtest/gtest.h>

#include <cstring>

namespace motor {
namespace {

// A device control block with every bit set: whatever the result keeps was not cleared on purpose.
DCB everything_set() {
    DCB dcb;
    std::memset(&dcb, 0xFF, sizeof dcb);
    return dcb;
}

TEST(Win32LineSettings, SystemSettingsGiveBinaryLineWithoutFlowControlOrParity) {
    DCB dcb = everything_set();
    ASSERT_TRUE(apply_port_settings(dcb, port_settings));

    EXPECT_EQ(dcb.DCBlength, sizeof(DCB));
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
    EXPECT_EQ(dcb.fBinary, 1u);
    EXPECT_EQ(dcb.fParity, 0u);
    // No handshake either way; received bytes count whatever DSR says.
    EXPECT_EQ(dcb.fOutxCtsFlow, 0u);
    EXPECT_EQ(dcb.fOutxDsrFlow, 0u);
    EXPECT_EQ(dcb.fDsrSensitivity, 0u);
    EXPECT_EQ(dcb.fOutX, 0u);
    EXPECT_EQ(dcb.fInX, 0u);
    EXPECT_EQ(dcb.fRtsControl, unsigned{RTS_CONTROL_ENABLE});
    // NULs and bytes with line errors arrive unchanged, and an error stops nothing.
    EXPECT_EQ(dcb.fNull, 0u);
    EXPECT_EQ(dcb.fErrorChar, 0u);
    EXPECT_EQ(dcb.fAbortOnError, 0u);
    // DTR stays as the device has it.
    EXPECT_EQ(dcb.fDtrControl, 3u);
}

TEST(Win32LineSettings, DtrStaysAsTheDeviceHasIt) {
    for (const unsigned dtr : {DTR_CONTROL_DISABLE, DTR_CONTROL_ENABLE, DTR_CONTROL_HANDSHAKE}) {
        DCB dcb = everything_set();
        dcb.fDtrControl = dtr;
        ASSERT_TRUE(apply_port_settings(dcb, port_settings));
        EXPECT_EQ(dcb.fDtrControl, dtr);
    }
}

TEST(Win32LineSettings, WritesEndAfterTheTimeOutsAndReadsWaitForTheirByte) {
    const COMMTIMEOUTS t = port_timeouts(port_settings);
    // One byte: 1000 ms per byte plus 1000 ms, the 2000 ms that send_byte may take.
    EXPECT_EQ(t.WriteTotalTimeoutMultiplier, 1000u);
    EXPECT_EQ(t.WriteTotalTimeoutConstant, 1000u);
    EXPECT_EQ(t.WriteTotalTimeoutMultiplier * 1 + t.WriteTotalTimeoutConstant,
              DWORD(write_timeout_ms(port_settings)));
    EXPECT_EQ(t.ReadTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(t.ReadTotalTimeoutConstant, 0u);
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

class Win32SettingsSupport : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(Win32SettingsSupport, RefusesCodesThisSystemDoesNotUse) {
    DCB dcb = everything_set();
    EXPECT_EQ(apply_port_settings(dcb, GetParam().settings), GetParam().supported);
}

// Which codes are supported is one check for every system (port_settings.h); one of them here
// shows that the device control block goes by it.
INSTANTIATE_TEST_SUITE_P(
    Table, Win32SettingsSupport,
    ::testing::Values(
        SettingsCase{"Described", port_settings, true},
        SettingsCase{"RtsOff", with([](PortSettings& s) { s.rts_mode = 1; }), true},
        SettingsCase{"EvenParity", with([](PortSettings& s) { s.parity_code = 2; }), false},
        // The device decides which speeds it has; SetCommState refuses the others.
        SettingsCase{"AnySpeed", with([](PortSettings& s) { s.baud_rate = 9601; }), true},
        SettingsCase{"NoSpeed", with([](PortSettings& s) { s.baud_rate = 0; }), false},
        SettingsCase{"FiveDataBits", with([](PortSettings& s) { s.data_bits = 5; }), true},
        SettingsCase{"NineDataBits", with([](PortSettings& s) { s.data_bits = 9; }), false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Win32LineSettings, RtsOffWhenTheSettingsSaySo) {
    DCB dcb = everything_set();
    ASSERT_TRUE(apply_port_settings(dcb, with([](PortSettings& s) { s.rts_mode = 1; })));
    EXPECT_EQ(dcb.fRtsControl, unsigned{RTS_CONTROL_DISABLE});
}

}  // namespace
}  // namespace motor
