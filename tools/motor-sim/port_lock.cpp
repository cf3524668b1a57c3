#include "port_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace motor::sim {
namespace {

std::string read_owner(int fd) {
    char text[32] = {};
    const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
    std::string owner(text, n > 0 ? static_cast<std::size_t>(n) : 0);
    while (!owner.empty() && (owner.back() == '\n' || owner.back() == ' ')) owner.pop_back();
    return owner;
}

bool same_file(int fd, const std::filesystem::path& path) {
    struct stat by_fd {};
    struct stat by_path {};
    return ::fstat(fd, &by_fd) == 0 && ::stat(path.c_str(), &by_path) == 0 &&
           by_fd.st_dev == by_path.st_dev && by_fd.st_ino == by_path.st_ino;
}

}  // namespace

std::optional<PortLock> PortLock::acquire(const std::filesystem::path& dir, int number,
                                          std::string& error) {
    const std::filesystem::path path = dir / ("com" + std::to_string(number) + ".lock");
    // An owner that ends removes the file while it still holds the lock; a file that vanished
    // between our open and our flock is therefore tried again, a new one is made.
    for (int attempt = 0; attempt < 3; ++attempt) {
        UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644));
        if (!fd) {
            error = "cannot open " + path.string() + ": " + std::strerror(errno);
            return std::nullopt;
        }
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
            if (errno == EWOULDBLOCK) {
                const std::string owner = read_owner(fd.get());
                error = "com" + std::to_string(number) + " in " + dir.string() +
                        " belongs to a running simulator" +
                        (owner.empty() ? std::string() : " (process " + owner + ")");
            } else {
                error = "cannot lock " + path.string() + ": " + std::strerror(errno);
            }
            return std::nullopt;
        }
        if (!same_file(fd.get(), path)) continue;
        const std::string pid = std::to_string(::getpid()) + "\n";
        if (::ftruncate(fd.get(), 0) != 0 ||
            ::pwrite(fd.get(), pid.data(), pid.size(), 0) != static_cast<ssize_t>(pid.size())) {
            error = "cannot write " + path.string() + ": " + std::strerror(errno);
            return std::nullopt;
        }
        return PortLock(path, std::move(fd));
    }
    error = path.string() + " keeps vanishing; is another simulator starting and ending?";
    return std::nullopt;
}

PortLock::~PortLock() {
    // Removed while still held, so a newcomer never locks a file that is about to go.
    if (fd_) ::unlink(path_.c_str());
}

}  // namespace motor::sim
