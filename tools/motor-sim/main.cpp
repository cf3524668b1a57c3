// motor-sim: a simulated motor controller on a pseudo-terminal. See --help.

#include <cstdio>
#include <string>
#include <vector>

#include "address_text.h"
#include "event_loop.h"
#include "panel_port.h"
#include "port_link.h"
#include "port_paths.h"
#include "pseudo_terminal.h"
#include "sim_options.h"
#include "simulator.h"
#include "stop_signals.h"
#include "trace_writer.h"

namespace {

using namespace motor;
using namespace motor::sim;

int fail(const std::string& message) {
    std::fprintf(stderr, "motor-sim: %s\n", message.c_str());
    return 1;
}

std::string describe_motors(const SimulatorSettings& settings) {
    std::string text;
    for (const MotorSetting& m : settings.motors) {
        if (!text.empty()) text += ", ";
        text += address_bytes_to_text(m.address[0], m.address[1], m.address[2]) + " at " +
                std::to_string(m.position);
    }
    return text;
}

int run(const SimOptions& options) {
    const std::optional<std::filesystem::path> found = port_directory(port_environment());
    if (!found) return fail("no port directory: set MOTOR_PANEL_PORT_DIR or HOME");
    const std::filesystem::path& dir = *found;
    std::string error;
    // The handlers go in before the link exists, so a stop signal always finds it to remove.
    std::optional<StopSignals> signals = StopSignals::install(error);
    if (!signals) return fail(error);
    std::optional<PseudoTerminal> line = PseudoTerminal::open(error);
    if (!line) return fail(error);
    const int port =
        options.port_from_panel ? port_the_panel_opens(own_program_directory()) : options.port;
    std::optional<PortLink> link = PortLink::create(dir, port, line->slave_path(), error);
    if (!link) return fail(error);

    TraceWriter trace(stdout);
    Simulator::TraceSink sink;
    if (!options.quiet) {
        sink = [&trace](TraceDirection direction, std::span<const std::uint8_t> bytes,
                        std::string_view meaning) { trace.write(direction, bytes, meaning); };
    }
    Simulator simulator(options.settings, sink);
    std::fprintf(stderr, "motor-sim: ready: com%d in %s is %s; motors %s\n", port, dir.c_str(),
                 line->slave_path().c_str(), describe_motors(options.settings).c_str());

    const int status = run_event_loop(simulator, *line, signals->fd(), error);
    if (status != 0) return fail(error);
    std::fprintf(stderr, "motor-sim: stopped; %s removed\n", link->path().c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ParsedOptions parsed = parse_options(args);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "motor-sim: %s\nTry 'motor-sim --help'.\n", parsed.error.c_str());
        return 2;
    }
    switch (parsed.options.action) {
        case SimOptions::Action::help:
            std::fputs(help_text().c_str(), stdout);
            return 0;
        case SimOptions::Action::version:
            std::printf("motor-sim %s\n", MOTOR_PANEL_VERSION);
            return 0;
        case SimOptions::Action::run:
            break;
    }
    return run(parsed.options);
}
