#include "harness.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace motor::e2e {
namespace fs = std::filesystem;

bool wait_until(const std::function<bool()>& condition, Ms timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(20ms);
    }
}

Child& Child::operator=(Child&& other) noexcept {
    if (this != &other) {
        this->~Child();
        pid_ = std::exchange(other.pid_, -1);
        status_ = other.status_;
    }
    return *this;
}

Child::~Child() {
    if (pid_ > 0 && !status_) {
        // Its whole process group: `flock … sleep` leaves a sleeper behind otherwise.
        ::kill(-pid_, SIGKILL);
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

bool Child::running() {
    if (pid_ <= 0 || status_) return false;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
        return false;
    }
    return true;
}

std::optional<int> Child::wait(Ms timeout) {
    if (pid_ <= 0) return std::nullopt;
    wait_until([this] { return !running(); }, timeout);
    return status_;
}

void Child::signal(int sig) {
    if (pid_ > 0 && !status_) {
        ::kill(-pid_, sig);
        ::kill(pid_, sig);
    }
}

Child spawn(const std::vector<std::string>& argv, const SpawnOptions& options) {
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::setpgid(0, 0);
        for (const auto& [k, v] : options.env) ::setenv(k.c_str(), v.c_str(), 1);
        if (!options.cwd.empty() && ::chdir(options.cwd.c_str()) != 0) _exit(126);
        const fs::path out = options.stdout_file.empty() ? "/dev/null" : options.stdout_file;
        const int out_fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (out_fd >= 0) ::dup2(out_fd, 1);
        if (!options.stderr_file.empty()) {
            const int err_fd =
                ::open(options.stderr_file.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
            if (err_fd >= 0) ::dup2(err_fd, 2);
        }
        ::execvp(args[0], args.data());
        _exit(127);
    }
    return Child(pid);
}

RunResult run(const std::vector<std::string>& argv) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(fds[1], 1);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 2);
        ::execvp(args[0], args.data());
        _exit(127);
    }
    ::close(fds[1]);
    RunResult result;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        result.out.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

XSession::XSession(bool with_tray) {
    // Xvfb picks a free display and writes its number to the descriptor we hand it.
    int fds[2];
    if (::pipe(fds) != 0) throw std::runtime_error("pipe failed");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setpgid(0, 0);
        ::close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24",
                 "-nolisten", "tcp", nullptr);
        _exit(127);
    }
    ::close(fds[1]);
    xvfb_ = Child(pid);
    std::string number;
    char c;
    while (::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    ::close(fds[0]);
    if (number.empty()) throw std::runtime_error("Xvfb did not start");
    display_ = ":" + number;
    ::setenv("DISPLAY", display_.c_str(), 1);

    window_manager_ = spawn({"openbox", "--sm-disable"});
    wait_until([] {
        return run({"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"}).out.find("window id") !=
               std::string::npos;
    });
    run({"xset", "r", "off"});  // no auto-repeat: a key goes down and up once
    if (with_tray) {
        tray_ = spawn({"trayer", "--edge", "bottom", "--align", "right", "--widthtype", "request",
                       "--height", "32", "--SetDockType", "true", "--expand", "true"});
        wait_until([] { return run({"xdotool", "search", "--class", "trayer"}).exit_code == 0; });
    }
}

XSession::~XSession() {
    tray_.signal(SIGTERM);
    window_manager_.signal(SIGTERM);
    tray_.wait(2s);
    window_manager_.wait(2s);
    xvfb_.signal(SIGTERM);
    xvfb_.wait(5s);
}

std::optional<std::string> XSession::find_window(const std::string& title, Ms timeout) {
    std::string id;
    wait_until(
        [&] {
            const auto r = run({"xdotool", "search", "--onlyvisible", "--name", "^" + title + "$"});
            if (r.exit_code != 0 || r.out.empty()) return false;
            id = r.out.substr(0, r.out.find('\n'));
            return true;
        },
        timeout);
    if (id.empty()) return std::nullopt;
    return id;
}

namespace {
int field(const std::string& text, const std::string& label) {
    const auto at = text.find(label);
    return at == std::string::npos ? 0 : std::atoi(text.c_str() + at + label.size());
}
}  // namespace

Rect XSession::geometry(const std::string& window) {
    const std::string info = run({"xwininfo", "-id", window}).out;
    return {field(info, "Absolute upper-left X:"), field(info, "Absolute upper-left Y:"),
            field(info, "Width:"), field(info, "Height:")};
}

bool XSession::viewable(const std::string& window) {
    return run({"xwininfo", "-id", window}).out.find("Map State: IsViewable") != std::string::npos;
}

bool XSession::exists(const std::string& window) {
    return run({"xwininfo", "-id", window}).exit_code == 0;
}

void XSession::activate(const std::string& window) {
    run({"xdotool", "windowactivate", "--sync", window});
}

void XSession::key(const std::string& window, const std::string& keys) {
    activate(window);
    run({"xdotool", "key", keys});
}

void XSession::mouse_down(int x, int y, int button) {
    run({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "mousedown",
         std::to_string(button)});
}

void XSession::mouse_up(int button) {
    run({"xdotool", "mouseup", std::to_string(button)});
}

void XSession::click(int x, int y, int button) {
    run({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click",
         std::to_string(button)});
}

std::uint32_t XSession::pixel(int x, int y) {
    const auto one = pixels({x, y, 1, 1});
    return one.empty() ? 0xFFFFFFFF : one.front();
}

std::vector<std::uint32_t> XSession::pixels(const Rect& area) {
    // One line per pixel after a header: "3,0: (65535,32896,0)  #FF8000  srgb(...)".
    const std::string crop = std::to_string(area.width) + "x" + std::to_string(area.height) + "+" +
                             std::to_string(area.x) + "+" + std::to_string(area.y);
    const std::string out =
        run({"import", "-window", "root", "-depth", "8", "-crop", crop, "txt:-"}).out;
    std::vector<std::uint32_t> colours;
    std::istringstream lines(out);
    std::string line;
    std::getline(lines, line);  // the header
    while (std::getline(lines, line)) {
        const auto hash = line.find('#');
        if (hash == std::string::npos) continue;
        colours.push_back(static_cast<std::uint32_t>(
            std::strtoul(line.substr(hash + 1, 6).c_str(), nullptr, 16)));
    }
    return colours;
}

void XSession::screenshot(const fs::path& png) {
    run({"import", "-window", "root", png.string()});
}

std::optional<Rect> XSession::tray_icon(Ms timeout) {
    std::optional<Rect> icon;
    wait_until(
        [&] {
            const auto tray = run({"xdotool", "search", "--class", "trayer"}).out;
            std::istringstream ids(tray);
            for (std::string id; std::getline(ids, id);) {
                const std::string tree = run({"xwininfo", "-children", "-id", id}).out;
                // Children are listed as "     0x1234 ...: ...  16x16+0+0  +980+740".
                std::istringstream lines(tree.substr(tree.find("child")));
                for (std::string line; std::getline(lines, line);) {
                    const auto hex = line.find("0x");
                    if (hex == std::string::npos) continue;
                    const std::string child = line.substr(hex, line.find(' ', hex) - hex);
                    const Rect r = geometry(child);
                    if (r.width >= 8 && r.width <= 64 && viewable(child)) {
                        icon = r;
                        return true;
                    }
                }
            }
            return false;
        },
        timeout);
    return icon;
}

PtyLink::PtyLink(int com_number, const fs::path& port_dir) {
    char name[256];
    if (::openpty(&master_, &slave_fd_, name, nullptr, nullptr) != 0) {
        throw std::runtime_error("openpty failed");
    }
    termios raw{};
    ::tcgetattr(slave_fd_, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave_fd_, TCSANOW, &raw);
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_fd_, F_SETFD, FD_CLOEXEC);
    slave_ = name;
    link_ = port_dir / ("com" + std::to_string(com_number));
    fs::create_directories(port_dir);
    fs::create_symlink(slave_, link_);
}

PtyLink::~PtyLink() {
    std::error_code ignored;
    fs::remove(link_, ignored);
    if (master_ >= 0) ::close(master_);
    if (slave_fd_ >= 0) ::close(slave_fd_);
}

std::vector<std::uint8_t> PtyLink::read(std::size_t n, Ms timeout) {
    std::vector<std::uint8_t> bytes;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (bytes.size() < n && master_ >= 0) {
        const auto left =
            std::chrono::duration_cast<Ms>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
        std::uint8_t b[64];
        const ssize_t got = ::read(master_, b, std::min(sizeof b, n - bytes.size()));
        if (got <= 0) break;
        bytes.insert(bytes.end(), b, b + got);
    }
    return bytes;
}

std::vector<std::uint8_t> PtyLink::read_for(Ms window) {
    return read(SIZE_MAX, window);
}

void PtyLink::write(const std::vector<std::uint8_t>& bytes) {
    if (::write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        throw std::runtime_error("write to the pseudo-terminal failed");
    }
}

void PtyLink::close_master() {
    if (slave_fd_ >= 0) ::close(slave_fd_);
    slave_fd_ = -1;
    if (master_ >= 0) ::close(master_);
    master_ = -1;
}

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "motor-e2e-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

long cpu_ticks(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string content((std::istreambuf_iterator<char>(stat)), {});
    const auto close = content.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(content.substr(close + 2));
    std::string f;
    long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> f; ++i) {
        if (i == 14) utime = std::stol(f);
        if (i == 15) stime = std::stol(f);
    }
    return utime + stime;
}

}  // namespace motor::e2e
