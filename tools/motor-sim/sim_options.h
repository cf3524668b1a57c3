#pragma once
// The command line of motor-sim: options, their checks and the help text.

#include <string>
#include <vector>

#include "simulator.h"

namespace motor::sim {

struct SimOptions {
    enum class Action { run, help, version };
    Action action = Action::run;
    int port = 1;                  // linked as comN
    bool port_from_panel = false;  // --port=saved: the port motor-panel will open
    bool quiet = false;
    SimulatorSettings settings;
};

struct ParsedOptions {
    SimOptions options;
    std::string error;  // empty when the arguments were right
};

// The arguments after the program name. "--name=value" and "--name value" are both accepted.
ParsedOptions parse_options(const std::vector<std::string>& args);

std::string help_text();

}  // namespace motor::sim
