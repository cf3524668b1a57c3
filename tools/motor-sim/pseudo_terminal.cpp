#include "pseudo_terminal.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace motor::sim {
namespace {

std::string failure(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

// Raw bytes both ways: no echo, no line editing, no translation, 8 bits, no flow control.
bool make_raw(int fd) {
    termios t{};
    if (::tcgetattr(fd, &t) != 0) return false;
    ::cfmakeraw(&t);
    t.c_iflag &= ~static_cast<tcflag_t>(INPCK | IGNPAR | PARMRK | IXOFF | IXANY);
    t.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS | CSTOPB | HUPCL);
    t.c_cflag |= CLOCAL | CREAD | CS8;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    ::cfsetispeed(&t, B9600);
    ::cfsetospeed(&t, B9600);
    return ::tcsetattr(fd, TCSANOW, &t) == 0;
}

}  // namespace

std::optional<PseudoTerminal> PseudoTerminal::open(std::string& error) {
    PseudoTerminal pty;
    pty.master_.reset(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!pty.master_) {
        error = failure("cannot open a pseudo-terminal");
        return std::nullopt;
    }
    char name[128];
    if (::grantpt(pty.master_.get()) != 0 || ::unlockpt(pty.master_.get()) != 0 ||
        ::ptsname_r(pty.master_.get(), name, sizeof name) != 0) {
        error = failure("cannot set up the pseudo-terminal");
        return std::nullopt;
    }
    pty.slave_path_ = name;
    pty.slave_.reset(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK));
    if (!pty.slave_ || !make_raw(pty.slave_.get())) {
        error = failure(("cannot open " + pty.slave_path_).c_str());
        return std::nullopt;
    }
    const int flags = ::fcntl(pty.master_.get(), F_GETFL);
    if (flags < 0 || ::fcntl(pty.master_.get(), F_SETFL, flags | O_NONBLOCK) != 0) {
        error = failure("cannot make the pseudo-terminal non-blocking");
        return std::nullopt;
    }
    pty.watch_.reset(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK));
    if (!pty.watch_ ||
        ::inotify_add_watch(pty.watch_.get(), name, IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0) {
        error = failure(("cannot watch " + pty.slave_path_).c_str());
        return std::nullopt;
    }
    return pty;
}

void PseudoTerminal::slave_closed() {
    alignas(inotify_event) char events[4096];
    // Drain the queue; one clearing covers every close in it.
    while (::read(watch_.get(), events, sizeof events) > 0) {
    }
    // Best effort: clearing a flag that is not set does nothing, and failure changes nothing
    // for a root user, whom the flag never stopped.
    ::ioctl(slave_.get(), TIOCNXCL);
}

}  // namespace motor::sim
