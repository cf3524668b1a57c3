#include "command_line.h"

namespace motor::panel {

CommandLine parse_command_line(const std::vector<std::string>& args) {
    CommandLine line;
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            line.help = true;
        } else if (arg == "--version") {
            line.version = true;
        } else if (arg == "--trace") {
            line.trace = "";
        } else if (arg.rfind("--trace=", 0) == 0 && arg.size() > 8) {
            line.trace = arg.substr(8);
        } else if (arg.rfind("--", 0) == 0) {
            line.unknown.push_back(arg);
        }
        // Single-dash options are the window system's own (-platform, -display, -style) and
        // are left to Qt.
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
           "      --trace[=FILE]\n"
           "                 write one line per frame sent, reply assembled, partial frame\n"
           "                 dropped or bad checksum: local time, TX or RX, the bytes in hex and\n"
           "                 their meaning, as in\n"
           "                   2025-03-14 09:26:53.589 TX 03 02 01 01 32 39  OPEN value 50 to "
           "010203\n"
           "                 To standard error, or appended to FILE. Off by default; it changes\n"
           "                 nothing else.\n"
           "\n"
           "Files and environment:\n"
           "  端口列表.TXT           the last port number, beside the program (or in\n"
           "                         $XDG_CONFIG_HOME/motor-panel/ when that is not writable)\n"
           "  MOTOR_PANEL_PORT_DIR   directory whose entries comN are the ports (replaces the\n"
           "                         default ~/.config/motor-panel/ports and /dev/ttyS<N-1>)\n"
           "\n"
           "Without hardware: motor-sim plays a motor controller on a pseudo-terminal linked\n"
           "there (see motor-sim --help); ./scripts/run-panel.sh starts both.\n";
}

std::string version_text() {
    return "motor-panel " MOTOR_PANEL_VERSION "\n";
}

}  // namespace motor::panel
