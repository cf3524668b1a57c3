#include "panel_port.h"

#include <string>
#include <system_error>

#include "port_selection.h"
#include "saved_port_file.h"

namespace motor::sim {

int port_the_panel_opens(const std::filesystem::path& program_dir) {
    const std::string text = read_saved_port_line(saved_port_file_path(program_dir)).text;
    if (text.empty()) return 1;  // the panel takes an empty line as "1"
    const int number = port_number_from_text(text);
    return number == 0 ? 1 : number;  // the port object opens COM1 for 0
}

std::filesystem::path own_program_directory() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path(ec) : self.parent_path();
}

}  // namespace motor::sim
