#include "sim_options.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <optional>
#include <string_view>

namespace motor::sim {
namespace {

std::optional<long> parse_integer(std::string_view text, long low, long high) {
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<AddressBytes> parse_address(std::string_view text) {
    if (text.size() != 6) return std::nullopt;
    AddressBytes address{};
    for (std::size_t i = 0; i < 3; ++i) {
        // Most significant first in the text, least significant first in the bytes.
        const std::string_view pair = text.substr(4 - 2 * i, 2);
        unsigned value = 0;
        const auto [end, error] = std::from_chars(pair.data(), pair.data() + 2, value, 16);
        if (error != std::errc{} || end != pair.data() + 2) return std::nullopt;
        address[i] = static_cast<std::uint8_t>(value);
    }
    return address;
}

// The options so far, and whether a --motor came yet (the first one replaces the default motor).
struct ParseState {
    SimOptions options;
    bool motor_given = false;
};

// Sets one option from its value; an error text when the value is wrong.
using Setter = std::function<std::string(ParseState&, std::string_view)>;

struct OptionRow {
    std::string_view name;
    std::string_view value;  // placeholder in the help; empty: the option takes no value
    std::string_view help;
    Setter set;
};

Setter integer_setter(long low, long high, std::function<void(SimOptions&, long)> store) {
    return [=](ParseState& state, std::string_view text) -> std::string {
        const auto value = parse_integer(text, low, high);
        if (!value) {
            return "expects a whole number from " + std::to_string(low) + " to " +
                   std::to_string(high);
        }
        store(state.options, *value);
        return {};
    };
}

Setter port_setter() {
    const Setter number = integer_setter(1, 255, [](SimOptions& o, long v) {
        o.port = static_cast<int>(v);
        o.port_from_panel = false;
    });
    return [number](ParseState& state, std::string_view text) -> std::string {
        if (text != "saved") return number(state, text);
        state.options.port_from_panel = true;
        return {};
    };
}

Setter fault_setter(FaultSetting FaultPlan::*member) {
    return [=](ParseState& state, std::string_view text) -> std::string {
        const auto setting = parse_fault_setting(text);
        if (!setting) return "expects N (the first N replies) or P% (each reply with P percent)";
        state.options.settings.faults.*member = *setting;
        return {};
    };
}

std::string add_motor(ParseState& state, std::string_view text) {
    const std::size_t colon = text.find(':');
    const auto address = parse_address(text.substr(0, colon));
    if (!address) return "expects an address of six hex digits, as in 010203";
    if ((*address)[0] == 0 && (*address)[1] == 0 && (*address)[2] == 0)
        return "000000 is the broadcast address, no motor's own";
    MotorSetting motor{*address, 0};
    if (colon != std::string_view::npos) {
        const auto position = parse_integer(text.substr(colon + 1), 0, 255);
        if (!position) return "expects a position from 0 to 255 after the colon";
        motor.position = static_cast<std::uint8_t>(*position);
    }
    auto& motors = state.options.settings.motors;
    if (!state.motor_given) motors.clear();  // the first --motor replaces the default one
    state.motor_given = true;
    if (std::any_of(motors.begin(), motors.end(),
                    [&](const MotorSetting& m) { return m.address == motor.address; }))
        return "gives the same address twice";
    motors.push_back(motor);
    return {};
}

Setter flag_setter(void (*set)(SimOptions&)) {
    return [=](ParseState& state, std::string_view) {
        set(state.options);
        return std::string();
    };
}

const std::vector<OptionRow>& option_table() {
    static const std::vector<OptionRow> table = {
        {"port", "N|saved",
         "link the line as comN (1 to 255; default 1); 'saved': as the port motor-panel opens, "
         "the one in its saved port file beside this program (COM1 when there is none)",
         port_setter()},
        {"motor", "ADDRESS[:POSITION]",
         "a motor with this address (six hex digits, not 000000), starting at POSITION (0 to "
         "255; default 0). Give it once per motor; without it there is one motor, 010203 at 0",
         add_motor},
        {"speed", "N",
         "positions a motor moves per second (1 to 10000; default 64: end to end in about 4 s)",
         integer_setter(
             1, 10000,
             [](SimOptions& o, long v) { o.settings.steps_per_second = static_cast<int>(v); })},
        {"reply-delay", "MS",
         "time from the last byte of a command to its reply (0 to 10000; default 20)",
         integer_setter(0, 10000,
                        [](SimOptions& o, long v) { o.settings.reply_delay = SimTime(v); })},
        {"silent", "SPEC", "fault: leave replies out altogether", fault_setter(&FaultPlan::silent)},
        {"noise", "SPEC", "fault: send one random byte before a reply",
         fault_setter(&FaultPlan::noise)},
        {"drop-byte", "SPEC", "fault: leave one random byte of a reply out",
         fault_setter(&FaultPlan::drop_byte)},
        {"corrupt-checksum", "SPEC", "fault: send a reply's checksum one too high",
         fault_setter(&FaultPlan::corrupt_checksum)},
        {"pause-reply", "SPEC",
         "fault: stop after the third byte of a reply for --pause-ms, then send the rest",
         fault_setter(&FaultPlan::pause_reply)},
        {"pause-ms", "MS",
         "length of that pause (1 to 60000; default 2000, longer than the panel waits for the "
         "rest of a frame)",
         integer_setter(1, 60000, [](SimOptions& o, long v) { o.settings.pause = SimTime(v); })},
        {"seed", "N", "seed of the random faults (default 1: the same faults on every run)",
         integer_setter(
             0, 4294967295L,
             [](SimOptions& o, long v) { o.settings.seed = static_cast<std::uint32_t>(v); })},
        {"quiet", "", "print no trace lines", flag_setter([](SimOptions& o) { o.quiet = true; })},
        {"help", "", "show this help and exit",
         flag_setter([](SimOptions& o) { o.action = SimOptions::Action::help; })},
        {"version", "", "show the version and exit",
         flag_setter([](SimOptions& o) { o.action = SimOptions::Action::version; })},
    };
    return table;
}

// Words of `text` on lines of at most `width` characters, each line indented.
std::string wrapped(std::string_view text, std::size_t indent, std::size_t width) {
    std::string out;
    std::string line(indent, ' ');
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view word = text.substr(start, end - start);
        if (line.size() > indent && line.size() + 1 + word.size() > width) {
            out += line + "\n";
            line.assign(indent, ' ');
        }
        if (line.size() > indent) line += ' ';
        line += word;
        start = end + 1;
    }
    return out + line + "\n";
}

}  // namespace

ParsedOptions parse_options(const std::vector<std::string>& args) {
    ParsedOptions parsed;
    ParseState state;
    const auto& table = option_table();
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (!arg.starts_with("--")) {
            parsed.error = "unexpected argument '" + args[i] + "'";
            return parsed;
        }
        arg.remove_prefix(2);
        const std::size_t equals = arg.find('=');
        const std::string_view name = arg.substr(0, equals);
        const auto setting = std::find_if(table.begin(), table.end(),
                                          [&](const OptionRow& s) { return s.name == name; });
        if (setting == table.end()) {
            parsed.error = "unknown option '--" + std::string(name) + "'";
            return parsed;
        }
        std::string_view value;
        if (setting->value.empty()) {
            if (equals != std::string_view::npos) {
                parsed.error = "--" + std::string(name) + " takes no value";
                return parsed;
            }
        } else if (equals != std::string_view::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            parsed.error =
                "--" + std::string(name) + " needs a value (" + std::string(setting->value) + ")";
            return parsed;
        }
        if (std::string error = setting->set(state, value); !error.empty()) {
            parsed.error =
                "--" + std::string(name) + " " + error + ", not '" + std::string(value) + "'";
            return parsed;
        }
    }
    parsed.options = std::move(state.options);
    return parsed;
}

std::string help_text() {
    constexpr std::size_t width = 79;
    const auto paragraph = [&](std::string_view text) { return wrapped(text, 0, width) + "\n"; };
    const auto bullet = [&](std::string_view text) {
        std::string lines = wrapped(text, 4, width);
        lines[2] = '-';
        return lines;
    };
    std::string text = "Usage: motor-sim [OPTION]...\n";
    text += paragraph(
        "A simulated motor controller on a pseudo-terminal, to try motor-panel without "
        "hardware.");
    text += paragraph(
        "It links the line as comN in the port directory: $MOTOR_PANEL_PORT_DIR when set, else "
        "$XDG_CONFIG_HOME/motor-panel/ports (~/.config/motor-panel/ports), the directory where "
        "motor-panel looks for COMn. It removes the link when it ends (Ctrl-C, SIGTERM, SIGHUP). "
        "It never replaces a link that another running simulator owns, nor one that leads "
        "elsewhere than a pseudo-terminal; a link left behind by a simulator that died is taken "
        "over.");
    text += "Options (--name=VALUE or --name VALUE):\n";
    for (const OptionRow& setting : option_table()) {
        std::string head = "  --" + std::string(setting.name);
        if (!setting.value.empty()) head += "=" + std::string(setting.value);
        text += head + "\n" + wrapped(setting.help, 6, width);
    }
    text += "\n";
    text += paragraph(
        "SPEC: N strikes the first N replies, P% each reply with a chance of P percent (0 to "
        "100); 0 never. Faults can be combined; a silent reply takes no other fault.");
    text += "The simulation (a plausible behaviour, not the definition of any device):\n";
    text += bullet(
        "Bytes are assembled into six-byte frames as the panel does: counted, no markers; a "
        "partial frame is dropped after 1000 to 1500 ms of silence.");
    text += bullet("A frame with a bad checksum, or for an address no motor has, is not answered.");
    text += bullet(
        "OPEN moves the motor toward 255, CLOSE toward 0, PROPORTIONAL_CONTROL toward the value "
        "byte, STOP halts it; READ_POSITION only answers; every other code is acknowledged and "
        "changes nothing.");
    text += bullet(
        "A frame to the broadcast address 000000 (BROADCAST_READ_ADDRESS always is one) is acted "
        "on and answered by every motor, each with its own address, one reply delay apart in the "
        "order the motors were given; the panel shows the last reply.");
    text += bullet(
        "A reply carries the motor's address, the command echoed in byte 3, the position at the "
        "moment of the reply in byte 4, and a valid checksum.");
    text += "\n";
    text += wrapped(
        "Output: one line per frame in (RX) and out (TX) on standard output, as motor-panel "
        "--trace writes them:",
        0, width);
    text +=
        "  2025-03-14 09:26:53.589 RX 03 02 01 01 32 39  OPEN value 50 to 010203\n"
        "  2025-03-14 09:26:53.611 TX 03 02 01 01 01 08  reply from 010203 position 1\n";
    text += paragraph(
        "Messages go to standard error, among them one starting \"motor-sim: ready\" once the "
        "link is in place.");
    text += wrapped(
        "Exit status: 0 after a stop signal, 1 when the line cannot be set up, 2 for wrong "
        "options.",
        0, width);
    return text;
}

}  // namespace motor::sim
