#pragma once
// The line settings as a Windows device control block and time-outs: raw bytes both ways, no
// flow control, no parity checking, RTS on, DTR as the device has it. Pure, so every field can
// be checked without a device.

#include <windows.h>

#include "port_settings.h"

namespace motor {

// Changes `dcb`, as read from the device, to what `settings` asks for; fields the settings do not
// name keep the device's values. False when the settings use a code this system does not support
// (other stop bits or parity, a handshake, parity checking, a DTR level or an event character);
// `dcb` is then unspecified.
bool apply_port_settings(DCB& dcb, const PortSettings& settings);

// The port's time-outs. Writes end after the settings' per-byte time-out times the bytes plus
// their constant time-out. Reads wait without a time-out: reception asks for one byte and must
// sleep until it comes, and a read time-out would wake it every two seconds on an idle line.
COMMTIMEOUTS port_timeouts(const PortSettings& settings);

// What the device is asked to report: received characters and every line-state change.
inline constexpr DWORD reported_events =
    EV_RXCHAR | EV_CTS | EV_DSR | EV_RLSD | EV_BREAK | EV_ERR | EV_RING;

}  // namespace motor
