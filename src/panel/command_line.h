#pragma once
// The program's command line. Options are read before the window system is touched, so
// --help and --version work without a display.

#include <optional>
#include <string>
#include <vector>

namespace motor::panel {

struct CommandLine {
    bool help = false;
    bool version = false;
    // --trace[=FILE]: trace the traffic; empty for standard error, else the file (appended).
    std::optional<std::string> trace;
    std::vector<std::string> unknown;  // options this program does not know
};

CommandLine parse_command_line(const std::vector<std::string>& args);  // args without argv[0]

std::string help_text();
std::string version_text();

}  // namespace motor::panel
