// Reading and replacing the saved port file on POSIX.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <utility>

#include "saved_port_file.h"

namespace motor {
namespace {

class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

  private:
    int fd_;
};

bool write_all(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

SavedLine read_saved_port_line(const std::filesystem::path& file) {
    SavedLine result;
    Fd fd(::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
    if (fd.get() < 0) return result;
    // No sharing while it is open: another program holding it counts as "cannot be opened".
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return result;
    std::string bytes;
    char chunk[512];
    for (;;) {
        const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        const bool at_end = n <= 0;
        if (n > 0) {
            bytes.append(chunk, static_cast<std::size_t>(n));
            result.bytes_read += static_cast<std::size_t>(n);
        }
        if (auto line = first_line(bytes, at_end)) {
            result.text = std::move(*line);
            return result;
        }
    }
}

bool write_saved_port(const std::filesystem::path& file, std::string_view content) {
    std::string temp = (file.parent_path() / (file.filename().string() + ".XXXXXX")).string();
    Fd fd(::mkstemp(temp.data()));
    if (fd.get() < 0) return false;
    const bool written = ::fchmod(fd.get(), 0644) == 0 && write_all(fd.get(), content) &&
                         ::fsync(fd.get()) == 0 && ::close(fd.release()) == 0;
    if (!written || ::rename(temp.c_str(), file.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

std::filesystem::path saved_port_file_path(const std::filesystem::path& program_dir) {
    if (::access(program_dir.c_str(), W_OK) == 0) return program_dir / saved_port_file_name;
    std::filesystem::path config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
        config = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        config = std::filesystem::path(home) / ".config";
    } else {
        return program_dir / saved_port_file_name;  // nowhere better; reading then finds nothing
    }
    const auto dir = config / "motor-panel";
    std::error_code ignored;
    std::filesystem::create_directories(dir, ignored);
    return dir / saved_port_file_name;
}

}  // namespace motor
