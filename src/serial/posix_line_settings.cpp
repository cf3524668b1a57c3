#include "posix_line_settings.h"

#include <array>
#include <utility>

namespace motor {
namespace {

constexpr std::array<std::pair<std::int32_t, speed_t>, 9> speeds{{
    {1200, B1200},
    {2400, B2400},
    {4800, B4800},
    {9600, B9600},
    {19200, B19200},
    {38400, B38400},
    {57600, B57600},
    {115200, B115200},
    {230400, B230400},
}};

bool speed_for(std::int32_t baud_rate, speed_t& speed) {
    for (const auto& [rate, code] : speeds) {
        if (rate == baud_rate) {
            speed = code;
            return true;
        }
    }
    return false;
}

bool size_for(std::int32_t data_bits, tcflag_t& size) {
    switch (data_bits) {
        case 5:
            size = CS5;
            return true;
        case 6:
            size = CS6;
            return true;
        case 7:
            size = CS7;
            return true;
        case 8:
            size = CS8;
            return true;
        default:
            return false;
    }
}

constexpr tcflag_t checked_cflags = CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS;
constexpr tcflag_t checked_iflags = INPCK | IXON | IXOFF | IXANY;

}  // namespace

bool apply_port_settings(termios& t, const PortSettings& settings) {
    speed_t speed{};
    tcflag_t size{};
    if (!uses_only_supported_codes(settings) || !speed_for(settings.baud_rate, speed) ||
        !size_for(settings.data_bits, size)) {
        return false;
    }
    cfmakeraw(&t);
    // cfmakeraw leaves these: with INPCK or IGNPAR a byte with a parity or framing error would
    // be dropped or marked, with IXON/IXOFF/IXANY 0x11 and 0x13 would steer the line, and HUPCL
    // would drop DTR at close, which must stay as the device has it.
    t.c_iflag &= ~(INPCK | IGNPAR | PARMRK | IXON | IXOFF | IXANY);
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | HUPCL);
    t.c_cflag |= size | CLOCAL | CREAD;
    // Reads return at once with what is there; reception waits in poll, not in read.
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    return true;
}

bool device_kept_settings(const termios& wanted, const termios& actual) {
    return cfgetospeed(&actual) == cfgetospeed(&wanted) &&
           cfgetispeed(&actual) == cfgetispeed(&wanted) &&
           (actual.c_cflag & checked_cflags) == (wanted.c_cflag & checked_cflags) &&
           (actual.c_iflag & checked_iflags) == (wanted.c_iflag & checked_iflags);
}

}  // namespace motor
