#pragma once
// Drives the real program from outside, as an operator would: a private X server with a window
// manager and a tray host, child processes, xdotool for keys and clicks, pixels read back from
// the screen, and a pseudo-terminal linked as comN for the serial line.

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace motor::e2e {

using namespace std::chrono_literals;
using Ms = std::chrono::milliseconds;

// Re-checks a condition of another process (an X window, a file) every few milliseconds until
// it holds or the time is up: those processes offer nothing to wait on.
bool wait_until(const std::function<bool()>& condition, Ms timeout = 10s);

class Child {
  public:
    Child() = default;
    Child(pid_t pid) : pid_(pid) {}
    Child(Child&& other) noexcept : pid_(std::exchange(other.pid_, -1)), status_(other.status_) {}
    Child& operator=(Child&& other) noexcept;
    ~Child();  // kills and reaps a child still running

    pid_t pid() const { return pid_; }
    bool running();
    // The exit code, or nothing when it has not ended in time (or was killed by a signal: -signal).
    std::optional<int> wait(Ms timeout = 10s);
    void signal(int sig);

  private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

struct SpawnOptions {
    std::map<std::string, std::string> env;  // added to this process's environment
    std::filesystem::path cwd;
    std::filesystem::path stdout_file;  // default: /dev/null
    std::filesystem::path stderr_file;  // default: inherited
};

Child spawn(const std::vector<std::string>& argv, const SpawnOptions& options = {});

struct RunResult {
    int exit_code = -1;
    std::string out;
};
// Runs a short command to its end, capturing its standard output.
RunResult run(const std::vector<std::string>& argv);

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
};

// Xvfb with openbox and (optionally) trayer; DISPLAY is set for this process and its children.
class XSession {
  public:
    explicit XSession(bool with_tray = true);
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    const std::string& display() const { return display_; }
    // The first window with exactly this title, waiting for it to appear.
    std::optional<std::string> find_window(const std::string& title, Ms timeout = 10s);
    Rect geometry(const std::string& window);  // client area, absolute
    bool viewable(const std::string& window);  // mapped and shown
    bool exists(const std::string& window);
    void activate(const std::string& window);
    // Activates the window and types the keys (xdotool key names) through the X server, so
    // each goes down and up as on a keyboard.
    void key(const std::string& window, const std::string& keys);
    void mouse_down(int x, int y, int button = 1);
    void mouse_up(int button = 1);
    void click(int x, int y, int button = 1);
    // The colour at a screen position, 0xRRGGBB.
    std::uint32_t pixel(int x, int y);
    // The colours of a screen rectangle, row by row.
    std::vector<std::uint32_t> pixels(const Rect& area);
    void screenshot(const std::filesystem::path& png);
    // The tray icon embedded in the tray host: the first child window of trayer's window.
    std::optional<Rect> tray_icon(Ms timeout = 10s);

  private:
    std::string display_;
    Child xvfb_, window_manager_, tray_;
};

// A pseudo-terminal whose slave is linked as comN in a directory of its own.
class PtyLink {
  public:
    explicit PtyLink(int com_number, const std::filesystem::path& port_dir);
    ~PtyLink();
    PtyLink(const PtyLink&) = delete;
    PtyLink& operator=(const PtyLink&) = delete;

    // Exactly n bytes from the panel, or fewer when the time runs out.
    std::vector<std::uint8_t> read(std::size_t n, Ms timeout = 5s);
    // Every byte that arrives within the window (to check that nothing more came).
    std::vector<std::uint8_t> read_for(Ms window);
    void write(const std::vector<std::uint8_t>& bytes);
    void close_master();  // the other end of the line goes away
    const std::filesystem::path& slave_path() const { return slave_; }

  private:
    int master_ = -1;
    int slave_fd_ = -1;
    std::filesystem::path slave_;
    std::filesystem::path link_;
};

// A private directory removed with everything in it at the end.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// CPU time (user + system) a process has used so far, in clock ticks.
long cpu_ticks(pid_t pid);

}  // namespace motor::e2e
