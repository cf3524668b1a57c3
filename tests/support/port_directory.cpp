#include "port_directory.h"

#include <stdlib.h>

#include <stdexcept>
#include <string>
#include <system_error>

namespace motor::testing {

std::filesystem::path make_temporary_directory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "motor-panel-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::system_error(errno, std::system_category(), "mkdtemp");
    }
    return pattern;
}

PortDirectory::PortDirectory() : path_(make_temporary_directory()) {
    if (const char* value = getenv("MOTOR_PANEL_PORT_DIR")) previous_ = value;
    setenv("MOTOR_PANEL_PORT_DIR", path_.c_str(), 1);
}

PortDirectory::~PortDirectory() {
    if (previous_) {
        setenv("MOTOR_PANEL_PORT_DIR", previous_->c_str(), 1);
    } else {
        unsetenv("MOTOR_PANEL_PORT_DIR");
    }
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void PortDirectory::link(std::int32_t com_number, const std::filesystem::path& target) const {
    std::filesystem::create_symlink(target, path_ / ("com" + std::to_string(com_number)));
}

}  // namespace motor::testing
