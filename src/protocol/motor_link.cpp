#include "motor_link.h"

#include <string>

#include "text_number.h"

namespace motor {
namespace {

constexpr Control highlighted[] = {Control::编辑框_通读地址, Control::编辑框_目标地址,
                                   Control::编辑框_实际位置};
constexpr std::int32_t highlight_ms = 500;
constexpr std::uint8_t watchdog_idle_ticks = 3;

}  // namespace

std::int32_t position_text_to_value(std::string_view text) {
    // The low 32 bits of the truncated number; the frame keeps the low 8 of those.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(
        static_cast<std::uint64_t>(truncate_to_int64(text_to_number(text)))));
}

MotorLink::MotorLink(PanelState& state, WindowOps& window, BytePort& port)
    : state_(state), window_(window), port_(port) {}

void MotorLink::request_command(CommandCode code) {
    note_partial_dropped();
    state_.reply_index = 1;
    const std::int32_t value = position_text_to_value(window_.text(Control::编辑框_目标位置));
    send_command(static_cast<std::uint8_t>(code), value,
                 code == CommandCode::BROADCAST_READ_ADDRESS);
}

void MotorLink::send_command(std::uint8_t code, std::int32_t value, bool broadcast) {
    auto& f = state_.send_buffer;
    if (broadcast) {
        f[0] = f[1] = f[2] = 0;
    } else {
        const AddressBytes address = read_target_address();
        f[0] = address[0];
        f[1] = address[1];
        f[2] = address[2];
    }
    f[3] = code;
    f[4] = static_cast<std::uint8_t>(value & 0xFF);
    f[5] = frame_checksum(f[0], f[1], f[2], f[3], f[4]);
    // Each result is ignored on purpose: a closed port or a failed write is not reported.
    for (std::size_t i = 0; i < frame_size; ++i) port_.send_byte(f[i]);
    if (observer_) observer_->frame_sent(Frame{f[0], f[1], f[2], f[3], f[4], f[5]});
}

AddressBytes MotorLink::read_target_address() {
    // A short text gets one "0" in front per pass and is read back from the box each time,
    // so the box ends with exactly six bytes. A window that would not keep the text cannot
    // make this loop forever: after six passes the padding is done here.
    std::string text = window_.text(Control::编辑框_目标地址);
    for (int pass = 0; text.size() < 6 && pass < 6; ++pass) {
        window_.set_text(Control::编辑框_目标地址, "0" + text);
        text = window_.text(Control::编辑框_目标地址);
    }
    if (text.size() < 6) text.insert(0, 6 - text.size(), '0');
    return address_bytes_from_text(text);
}

void MotorLink::on_reply_byte(std::int32_t b) {
    state_.idle_ticks = 0;
    // Before the window's creation handler has run the index is still 0; a byte then starts a
    // frame.
    if (state_.reply_index < 1 || state_.reply_index > frame_size) state_.reply_index = 1;
    state_.reply_buffer[state_.reply_index - 1] = static_cast<std::uint8_t>(b);
    ++state_.reply_index;
    if (state_.reply_index < frame_size + 1) return;

    state_.reply_index = 1;
    const auto& r = state_.reply_buffer;
    const Frame reply{r[0], r[1], r[2], r[3], r[4], r[5]};
    const bool valid = checksum_holds(reply);
    if (observer_) observer_->reply_assembled(reply, valid);
    if (valid) show_reply();
    // Bytes handled by nested events during the display began a frame at position 1; it is
    // abandoned here, and the next byte starts again from position 1.
    state_.reply_index = 1;
}

void MotorLink::show_reply() {
    const auto& r = state_.reply_buffer;
    window_.set_text(Control::编辑框_实际位置, std::to_string(r[4]));
    window_.set_text(Control::编辑框_目标地址, address_bytes_to_text(r[0], r[1], r[2]));
    window_.set_text(Control::编辑框_通读地址, window_.text(Control::编辑框_目标地址));
    window_.process_pending_events();
    window_.set_timer_period(Control::时钟_闪烁定时, highlight_ms);
    for (Control c : highlighted) window_.set_background(c, GREEN);
    window_.process_pending_events();
}

void MotorLink::on_watchdog_tick() {
    if (state_.idle_ticks < 255) ++state_.idle_ticks;
    if (state_.idle_ticks >= watchdog_idle_ticks) {
        note_partial_dropped();
        state_.reply_index = 1;
    }
}

void MotorLink::on_highlight_tick() {
    window_.set_timer_period(Control::时钟_闪烁定时, 0);
    for (Control c : highlighted) window_.set_background(c, DEFAULT_COLOUR);
    window_.process_pending_events();
}

void MotorLink::note_partial_dropped() {
    if (observer_ && state_.reply_index > 1 && state_.reply_index <= frame_size) {
        observer_->partial_dropped(state_.reply_buffer.data(), state_.reply_index - 1u);
    }
}

}  // namespace motor
