// Feeds arbitrary bytes and texts into reply assembly, command sending, the number and
// address conversions and the GBK conversion, checking the invariants they promise.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

#include "address_text.h"
#include "fake_window.h"
#include "gbk_text.h"
#include "motor_link.h"
#include "recording_port.h"
#include "text_number.h"

namespace {

using namespace motor;

void check(bool ok) {
    if (!ok) std::abort();
}

void fuzz_texts(FuzzedDataProvider& in) {
    const std::string text = in.ConsumeRandomLengthString(64);
    text_to_number(text);
    truncate_to_int64(text_to_number(text));
    const std::int64_t v = hex_text_to_value(text.substr(0, 2));
    check(v >= 0 && v <= 255);
    hex_text_to_value(text);
    const std::u16string wide = gbk_to_utf16(text);
    check(wide.size() <= text.size());
    utf16_to_gbk(wide);
    utf8_to_gbk(text);
    gbk_to_utf8(text);
    std::u16string units;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        units += static_cast<char16_t>(static_cast<unsigned char>(text[i]) << 8 |
                                       static_cast<unsigned char>(text[i + 1]));
    }
    utf16_to_gbk(units);
}

void fuzz_link(FuzzedDataProvider& in) {
    PanelState state;
    state.reply_index = 1;
    test::FakeWindow window;
    test::RecordingPort port;
    MotorLink link(state, window, port);
    window.on_tick = [&](Control timer) {
        if (timer == Control::时钟1) link.on_watchdog_tick();
        if (timer == Control::时钟_闪烁定时) link.on_highlight_tick();
    };
    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange(0, 5)) {
            case 0:
                link.on_reply_byte(in.ConsumeIntegral<std::uint8_t>());
                break;
            case 1: {
                const std::uint8_t b = in.ConsumeIntegral<std::uint8_t>();
                window.post([&link, b] { link.on_reply_byte(b); });
                break;
            }
            case 2:
                window.advance(in.ConsumeIntegralInRange(0, 2000));
                break;
            case 3:
                window.set_text(Control::编辑框_目标地址, in.ConsumeRandomLengthString(16));
                break;
            case 4:
                window.set_text(Control::编辑框_目标位置, in.ConsumeRandomLengthString(16));
                break;
            case 5: {
                const std::size_t sent_before = port.sent.size();
                link.request_command(static_cast<CommandCode>(in.ConsumeIntegral<std::uint8_t>()));
                check(port.sent.size() == sent_before + 6);
                const auto& f = state.send_buffer;
                check(f[5] == frame_checksum(f[0], f[1], f[2], f[3], f[4]));
                check(window.text(Control::编辑框_目标地址).size() >= 6 ||
                      f[3] == static_cast<std::uint8_t>(CommandCode::BROADCAST_READ_ADDRESS));
                break;
            }
        }
        check(state.reply_index >= 1 && state.reply_index <= 6);
    }
    check(state.send_buffer[6] == 0 && state.send_buffer[7] == 0);
    check(state.reply_buffer[6] == 0 && state.reply_buffer[7] == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    if (in.ConsumeBool()) {
        fuzz_texts(in);
    } else {
        fuzz_link(in);
    }
    return 0;
}
