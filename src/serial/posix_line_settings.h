#pragma once
// The line settings as terminal attributes: raw bytes both ways, no flow control, no parity
// checking, reads that never wait. Pure, so every flag can be checked without a device.

#include <termios.h>

#include "port_settings.h"

namespace motor {

// Changes `t`, as read from the device, to what `settings` asks for; fields the settings do not
// name keep the device's values. False when the settings use a code this system does not
// support (other stop bits or parity, a handshake, parity checking, a DTR level or an event
// character); `t` is then unspecified.
bool apply_port_settings(termios& t, const PortSettings& settings);

// True when `actual`, read back from the device, holds what `wanted` asked for in the parts a
// device may refuse: the speed, the character size, parity, stop bits and handshakes.
bool device_kept_settings(const termios& wanted, const termios& actual);

}  // namespace motor
