#include "port_link.h"

#include <unistd.h>

#include <system_error>
#include <utility>

namespace motor::sim {
namespace {

namespace fs = std::filesystem;

// Where the entry leads when it is a symbolic link; nullopt when it is anything else.
std::optional<std::string> link_target(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(path, ec))) return std::nullopt;
    fs::path target = fs::read_symlink(path, ec);
    if (ec) return std::nullopt;
    return target.string();
}

}  // namespace

std::optional<PortLink> PortLink::create(const fs::path& dir, int number, const std::string& device,
                                         std::string& error) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) {
        error = "cannot make the port directory " + dir.string() + ": " + ec.message();
        return std::nullopt;
    }
    std::optional<PortLock> lock = PortLock::acquire(dir, number, error);
    if (!lock) return std::nullopt;

    const fs::path path = dir / ("com" + std::to_string(number));
    if (fs::exists(fs::symlink_status(path, ec))) {
        const auto target = link_target(path);
        if (!target || !target->starts_with("/dev/pts/")) {
            error = path.string() +
                    " already exists and is not a simulator's link; leaving it "
                    "alone (choose another --port)";
            return std::nullopt;
        }
        // A pseudo-terminal link without a live owner: a simulator died without tidying up.
    }
    // Made beside it and renamed over it, so the entry is never missing or half made.
    const fs::path temporary =
        dir / (".com" + std::to_string(number) + ".new." + std::to_string(::getpid()));
    fs::remove(temporary, ec);
    fs::create_symlink(device, temporary, ec);
    if (!ec) fs::rename(temporary, path, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        error = "cannot link " + path.string() + " to " + device + ": " + ec.message();
        return std::nullopt;
    }
    return PortLink(path, device, std::move(*lock));
}

PortLink::PortLink(PortLink&& other) noexcept
    : path_(std::move(other.path_)),
      device_(std::move(other.device_)),
      lock_(std::move(other.lock_)),
      owned_(std::exchange(other.owned_, false)) {}

PortLink::~PortLink() {
    if (!owned_) return;
    // Someone may have put their own entry there meanwhile; that one stays.
    if (link_target(path_) == device_) {
        std::error_code ec;
        fs::remove(path_, ec);
    }
}

}  // namespace motor::sim
