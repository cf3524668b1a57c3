#include "command_line.h"

namespace motor::panel {

CommandLine parse_command_line(const std::vector<std::string>& args) {
    CommandLine line;
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            line.help = true;
        } else if (arg == "--version") {
            line.version = true;
        } else if (arg.rfind('-', 0) == 0) {
            line.unknown.push_back(arg);
        }
        // Other arguments (a window system's own, such as -display) are left to Qt.
    }
    return line;
}

std::string help_text() {
    return "Usage: motor-panel [OPTION]...\n"
           "Control panel for a motor controller on a serial line (9600 baud, 8N1).\n"
           "\n"
           "Pick the port with COM- and COM+, type the motor's address (six hex digits) and a\n"
           "target position (0-255), then press a command button or its key (A, D, S, Z/C, X/V/N,\n"
           "M/B, F, G). Replies show the motor's position and address.\n"
           "\n"
           "Options:\n"
           "  -h, --help     show this help and exit\n"
           "      --version  show the version and exit\n"
           "\n"
           "Files and environment:\n"
           "  端口列表.TXT           the last port number, beside the program (or in\n"
           "                         $XDG_CONFIG_HOME/motor-panel/ when that is not writable)\n"
           "  MOTOR_PANEL_PORT_DIR   directory whose entries comN are the ports (replaces the\n"
           "                         default ~/.config/motor-panel/ports and /dev/ttyS<N-1>)\n";
}

std::string version_text() {
    return "motor-panel " MOTOR_PANEL_VERSION "\n";
}

}  // namespace motor::panel
