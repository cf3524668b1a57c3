#pragma once
// The port motor-panel opens when it starts: the number in its saved port file, read by the
// panel's own rules, COM1 when there is none. The panel's file lies beside the program, and
// motor-sim is built and installed beside motor-panel, so `program_dir` is this program's own.

#include <filesystem>

namespace motor::sim {

int port_the_panel_opens(const std::filesystem::path& program_dir);

// The directory of the running program.
std::filesystem::path own_program_directory();

}  // namespace motor::sim
