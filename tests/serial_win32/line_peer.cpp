// The far end of the serial lines that the Windows serial tests open under Wine. A Windows
// program cannot make a pseudo-terminal, so this Linux program makes them, points
// LINES_DIR/comN (which the Wine prefix maps to COMn) at their slave side and does on their
// master side what the test asks for over a loopback TCP connection, one text line each way.
// Requests, and what follows "ok" in their answers:
//
//   plug N           a fresh line behind COMn; the slave's name
//   unplug N         close the far end: the port sees a hang-up
//   write N HEX      the far end sends these bytes to the port
//   read N COUNT MS  what the far end received, COUNT bytes or fewer when MS ran out; HEX
//   clog N           fill the line until the far end, which reads nothing, takes no more;
//                    how many bytes that took
//   inject N HEX     put bytes on the line as if the port had written them
//
// A request that fails is answered "error" and why.
//
// Usage: line-peer LINES_DIR PROGRAM [ARG...]. Runs PROGRAM with MOTOR_PANEL_LINE_PEER set to
// the port it listens on, serves it until it ends, and exits with its status.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "pty_pair.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using motor::testing::PtyPair;

[[noreturn]] void fail(const char* what) {
    throw std::system_error(errno, std::system_category(), what);
}

class Fd {
  public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd& operator=(Fd&& other) noexcept {
        reset(std::exchange(other.fd_, -1));
        return *this;
    }
    ~Fd() { reset(); }
    int get() const { return fd_; }
    void reset(int fd = -1) {
        if (fd_ >= 0) close(fd_);
        fd_ = fd;
    }

  private:
    int fd_ = -1;
};

// A fresh line: a pseudo-terminal whose slave side stays open here too, so that the line lives
// on between the port's opens and closes and closing the master is the one way it goes away.
std::unique_ptr<PtyPair> make_line() {
    auto line = std::make_unique<PtyPair>();
    // A wire: no line discipline between the two ends.
    termios raw{};
    if (tcgetattr(line->slave(), &raw) != 0) fail("tcgetattr");
    cfmakeraw(&raw);
    if (tcsetattr(line->slave(), TCSANOW, &raw) != 0) fail("tcsetattr");
    return line;
}

Bytes from_hex(const std::string& text) {
    if (text.size() % 2 != 0) throw std::runtime_error("odd hex text");
    Bytes bytes;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

std::string to_hex(const Bytes& bytes) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    for (const std::uint8_t b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

class Peer {
  public:
    explicit Peer(std::filesystem::path lines_dir) : lines_dir_(std::move(lines_dir)) {
        // Names left by an earlier run lead to pseudo-terminals that are gone, or that another
        // program has now.
        std::filesystem::create_directories(lines_dir_);
        for (const auto& entry : std::filesystem::directory_iterator(lines_dir_)) {
            if (entry.is_symlink() && entry.path().filename().string().starts_with("com")) {
                std::filesystem::remove(entry.path());
            }
        }
    }

    // One request line in, one answer line out.
    std::string answer(const std::string& request) {
        std::istringstream in(request);
        std::string verb;
        int com = 0;
        in >> verb >> com;
        if (verb == "plug") return "ok " + plug(com);
        const PtyPair& line = *lines_.at(com);
        if (verb == "unplug") {
            lines_.erase(com);
            return "ok";
        }
        if (verb == "write" || verb == "inject") {
            std::string hex;
            in >> hex;
            if (verb == "write") {
                line.write_to_port(from_hex(hex));
            } else {
                line.write_as_port(from_hex(hex));
            }
            return "ok";
        }
        if (verb == "read") {
            std::size_t count = 0;
            int ms = 0;
            in >> count >> ms;
            return "ok " + to_hex(line.read_from_port(count, std::chrono::milliseconds(ms)));
        }
        if (verb == "clog") return "ok " + std::to_string(line.clog());
        throw std::runtime_error("unknown request: " + request);
    }

  private:
    std::string plug(int com) {
        lines_.erase(com);
        auto line = make_line();
        // Replaced in one step, so the port never finds the name missing.
        const auto link = lines_dir_ / ("com" + std::to_string(com));
        const auto staged = lines_dir_ / ("com" + std::to_string(com) + ".new");
        std::filesystem::remove(staged);
        std::filesystem::create_symlink(line->slave_path(), staged);
        std::filesystem::rename(staged, link);
        std::string path = line->slave_path();
        lines_[com] = std::move(line);
        return path;
    }

    std::filesystem::path lines_dir_;
    std::map<int, std::unique_ptr<PtyPair>> lines_;
};

// Reads one line (without its end) from a connected socket; nothing once the other end closed.
std::optional<std::string> receive_line(int fd, std::string& pending) {
    for (;;) {
        if (const auto end = pending.find('\n'); end != std::string::npos) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            return line;
        }
        std::array<char, 4096> buffer;
        const ssize_t n = recv(fd, buffer.data(), buffer.size(), 0);
        if (n == 0) return std::nullopt;
        if (n < 0) {
            if (errno == EINTR) continue;
            fail("recv");
        }
        pending.append(buffer.data(), static_cast<std::size_t>(n));
    }
}

void send_line(int fd, std::string line) {
    line += '\n';
    std::size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = send(fd, line.data() + done, line.size() - done, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail("send");
        }
        done += static_cast<std::size_t>(n);
    }
}

Fd listen_on_loopback(std::uint16_t& port) {
    Fd listener(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (listener.get() < 0) fail("socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listener.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        fail("bind");
    }
    if (listen(listener.get(), 4) != 0) fail("listen");
    socklen_t length = sizeof address;
    if (getsockname(listener.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        fail("getsockname");
    }
    port = ntohs(address.sin_port);
    return listener;
}

pid_t start_program(char** argv, std::uint16_t port) {
    const pid_t child = fork();
    if (child < 0) fail("fork");
    if (child == 0) {
        setenv("MOTOR_PANEL_LINE_PEER", std::to_string(port).c_str(), 1);
        execvp(argv[0], argv);
        std::perror(argv[0]);
        _exit(127);
    }
    return child;
}

int exit_status(pid_t child) {
    int status = 0;
    if (waitpid(child, &status, 0) < 0) fail("waitpid");
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return 128 + WTERMSIG(status);
}

// Serves requests until the program ends; one connection at a time, the way the test makes it.
int serve(Peer& peer, int listener, pid_t child) {
    // Readable once the program has ended (glibc's wrapper lacks C linkage in some releases).
    Fd child_ended(static_cast<int>(syscall(SYS_pidfd_open, child, 0)));
    if (child_ended.get() < 0) fail("pidfd_open");
    Fd client;
    std::string pending;
    for (;;) {
        const int waiting_on = client.get() >= 0 ? client.get() : listener;
        std::array<pollfd, 2> fds{{{waiting_on, POLLIN, 0}, {child_ended.get(), POLLIN, 0}}};
        if (poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            fail("poll");
        }
        if (fds[1].revents != 0) return exit_status(child);
        if (fds[0].revents == 0) continue;
        if (client.get() < 0) {
            client = Fd(accept4(listener, nullptr, nullptr, SOCK_CLOEXEC));
            if (client.get() < 0) fail("accept4");
            continue;
        }
        const auto request = receive_line(client.get(), pending);
        if (!request) {
            client.reset();
            pending.clear();
            continue;
        }
        std::string reply;
        try {
            reply = peer.answer(*request);
        } catch (const std::exception& e) {
            reply = std::string("error ") + e.what();
        }
        send_line(client.get(), reply);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s LINES_DIR PROGRAM [ARG...]\n", argv[0]);
        return 2;
    }
    try {
        Peer peer(argv[1]);
        std::uint16_t port = 0;
        const Fd listener = listen_on_loopback(port);
        const pid_t child = start_program(argv + 2, port);
        return serve(peer, listener.get(), child);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "line-peer: %s\n", e.what());
        return 1;
    }
}
