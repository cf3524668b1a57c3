#include "win32_line_settings.h"

namespace motor {

bool apply_port_settings(DCB& dcb, const PortSettings& settings) {
    if (!uses_only_supported_codes(settings) || settings.baud_rate <= 0 || settings.data_bits < 5 ||
        settings.data_bits > 8) {
        return false;
    }
    dcb.DCBlength = sizeof dcb;
    dcb.BaudRate = static_cast<DWORD>(settings.baud_rate);
    dcb.ByteSize = static_cast<BYTE>(settings.data_bits);
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    // No handshake in either direction, and received bytes count whatever DSR says.
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fRtsControl = settings.rts_mode == 1 ? RTS_CONTROL_DISABLE : RTS_CONTROL_ENABLE;
    // fDtrControl stays: DTR is left as the device has it.
    // Every received byte is delivered as it came, line errors included: a device left set up
    // to drop NULs, to replace bytes with errors or to stop on an error would lose replies.
    dcb.fNull = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fAbortOnError = FALSE;
    return true;
}

COMMTIMEOUTS port_timeouts(const PortSettings& settings) {
    const auto ms = static_cast<DWORD>(settings.timeout_ms);
    COMMTIMEOUTS t{};
    t.ReadIntervalTimeout = ms;  // between the bytes of one read; reception reads what is there
    t.ReadTotalTimeoutMultiplier = 0;
    t.ReadTotalTimeoutConstant = 0;
    t.WriteTotalTimeoutMultiplier = ms;
    t.WriteTotalTimeoutConstant = ms;
    return t;
}

}  // namespace motor
