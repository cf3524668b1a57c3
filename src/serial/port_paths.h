#pragma once
// Which device COMn is on a system without COM device names. COMn is the entry comN of the
// port directory ($XDG_CONFIG_HOME/motor-panel/ports, where users link their adapters) when
// that entry exists, else /dev/ttyS<n-1>. MOTOR_PANEL_PORT_DIR replaces the port directory and
// is then the only mapping: tests and the simulator set it so that nothing falls back to a real
// device (/dev/ttyS0 is often a machine's console).

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace motor {

// The environment variables the mapping reads; an unset or empty variable is nullopt.
struct PortEnvironment {
    std::optional<std::string> port_dir;         // MOTOR_PANEL_PORT_DIR
    std::optional<std::string> xdg_config_home;  // XDG_CONFIG_HOME
    std::optional<std::string> home;             // HOME
};

PortEnvironment port_environment();

// The directory whose entries comN name the ports: MOTOR_PANEL_PORT_DIR, else
// $XDG_CONFIG_HOME/motor-panel/ports, else ~/.config/motor-panel/ports; nullopt when none of
// the variables is set. The simulator links itself there.
std::optional<std::filesystem::path> port_directory(const PortEnvironment& env);

// The device COMn opens, symbolic links resolved where they lead somewhere ("/dev/ttyUSB0");
// a link that leads nowhere is returned as it stands, so opening it fails. Empty when COMn has
// no device.
std::string port_device_path(std::int32_t com_number, const PortEnvironment& env);

}  // namespace motor
