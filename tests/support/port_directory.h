#pragma once
// A temporary port directory that MOTOR_PANEL_PORT_DIR names while this object lives, so port
// numbers resolve to what a test links there and never fall back to a real device.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace motor::testing {

class PortDirectory {
  public:
    PortDirectory();
    ~PortDirectory();
    PortDirectory(const PortDirectory&) = delete;
    PortDirectory& operator=(const PortDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Makes COMn lead to `target` (comN -> target).
    void link(std::int32_t com_number, const std::filesystem::path& target) const;

  private:
    std::filesystem::path path_;
    std::optional<std::string> previous_;
};

// A fresh, empty temporary directory.
std::filesystem::path make_temporary_directory();

}  // namespace motor::testing
