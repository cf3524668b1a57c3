#include "port_paths.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace motor {
namespace {

namespace fs = std::filesystem;

std::optional<std::string> variable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') return std::nullopt;
    return std::string(value);
}

// Where the user's own links live, if there is a place for them.
std::optional<fs::path> personal_port_dir(const PortEnvironment& env) {
    if (env.xdg_config_home) return fs::path(*env.xdg_config_home) / "motor-panel" / "ports";
    if (env.home) return fs::path(*env.home) / ".config" / "motor-panel" / "ports";
    return std::nullopt;
}

// An entry counts when it exists as an entry, even as a dangling link: an unplugged adapter
// must fail to open, not fall back to another device.
bool entry_exists(const fs::path& entry) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(entry, ec));
}

std::string resolved(const fs::path& entry) {
    std::error_code ec;
    const fs::path target = fs::canonical(entry, ec);
    return ec ? entry.string() : target.string();
}

}  // namespace

PortEnvironment port_environment() {
    return {variable("MOTOR_PANEL_PORT_DIR"), variable("XDG_CONFIG_HOME"), variable("HOME")};
}

std::optional<fs::path> port_directory(const PortEnvironment& env) {
    if (env.port_dir) return fs::path(*env.port_dir);
    return personal_port_dir(env);
}

std::string port_device_path(std::int32_t com_number, const PortEnvironment& env) {
    const std::string entry_name = "com" + std::to_string(com_number);
    if (env.port_dir) {
        const fs::path entry = fs::path(*env.port_dir) / entry_name;
        return entry_exists(entry) ? resolved(entry) : std::string();
    }
    if (const auto dir = personal_port_dir(env)) {
        const fs::path entry = *dir / entry_name;
        if (entry_exists(entry)) return resolved(entry);
    }
    return "/dev/ttyS" + std::to_string(com_number - 1);
}

}  // namespace motor
