#pragma once
// The line settings of the port object 串口, fixed in the window description. Only com_number
// changes at run time, and it lives in the port object (set_com_number); this table is its
// initial value and everything else the backend puts on the line.

#include <cstdint>
#include <string_view>

namespace motor {

struct PortSettings {
    std::int32_t com_number;           // n of COMn opened by start_port
    std::int32_t baud_rate;            // bits per second
    std::int32_t data_bits;            // bits per character
    std::int32_t stop_bits_code;       // 1 one stop bit; 2 one and a half; 3 two; other values one
    std::int32_t parity_check;         // bit 0 set: check the parity of received characters
    std::int32_t timeout_ms;           // each of the five port time-outs
    std::int32_t open_on_create;       // non-zero: open as soon as the window is built
    std::string_view event_char_text;  // first byte, if any: the event character
    std::int32_t parity_code;          // 0 none; 1 odd, 2 even, 3 mark, 4 space; other values none
    std::int32_t flow_control_code;    // 0 no handshake of any kind
    std::int32_t rts_mode;             // 1 RTS off; other values RTS on
    std::int32_t dtr_mode;             // 0 DTR as the device has it; 1 off; 2 on
};

inline constexpr PortSettings port_settings{
    .com_number = 7,
    .baud_rate = 9600,
    .data_bits = 8,
    .stop_bits_code = 1,
    .parity_check = 0,
    .timeout_ms = 1000,
    .open_on_create = 0,
    .event_char_text = "",
    .parity_code = 0,
    .flow_control_code = 0,
    .rts_mode = 0,
    .dtr_mode = 0,
};

// True when the settings use only codes this system supports: one stop bit, no parity bit, no
// parity checking, no handshake, DTR as the device has it and no event character. Codes whose
// meaning is "one stop bit" or "no parity" include every value outside their tables.
inline constexpr bool uses_only_supported_codes(const PortSettings& s) {
    const bool one_stop_bit = s.stop_bits_code != 2 && s.stop_bits_code != 3;
    const bool no_parity = s.parity_code < 1 || s.parity_code > 4;
    return one_stop_bit && no_parity && (s.parity_check & 1) == 0 && s.flow_control_code == 0 &&
           s.dtr_mode == 0 && s.event_char_text.empty();
}

// How long one send_byte may wait for its byte: the per-byte write time-out for one byte plus
// the constant write time-out.
inline constexpr std::int32_t write_timeout_ms(const PortSettings& s) {
    return s.timeout_ms * 1 + s.timeout_ms;
}

}  // namespace motor
