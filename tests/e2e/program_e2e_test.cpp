// The real program as a separate process, under a private X server with a window manager and a
// tray host, with a pseudo-terminal linked as its serial port.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>

#include "harness.h"

namespace motor::e2e {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t orange = 0xFF8000;
const char* const title = "KV7514-9600";
const char* const saved_file_name = "端口列表.TXT";

std::string read_text(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Whether another descriptor can take the device's lock: false while the panel holds the port.
bool device_free(const fs::path& device) {
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

// One run of the panel: its own copy of the program in a directory of its own (the saved port
// file lies beside the program), started from another directory.
class Panel {
  public:
    Panel(XSession& x, const TempDir& dir, const fs::path& port_dir,
          std::optional<std::string> saved, const std::vector<std::string>& options_given = {})
        : x_(x), program_dir_(dir.path() / "program") {
        fs::create_directories(program_dir_);
        fs::copy_file(MOTOR_PANEL_BINARY, program_dir_ / "motor-panel");
        if (saved) std::ofstream(saved_file(), std::ios::binary) << *saved;
        SpawnOptions options;
        options.env["MOTOR_PANEL_PORT_DIR"] = port_dir.string();
        options.cwd = dir.path();
        options.stderr_file = errors_file_ = dir.path() / "stderr.txt";
        std::vector<std::string> argv{(program_dir_ / "motor-panel").string()};
        argv.insert(argv.end(), options_given.begin(), options_given.end());
        process_ = spawn(argv, options);
        const auto id = x_.find_window(title, 20s);
        if (!id) return;
        window_ = *id;
        x_.activate(window_);
        locate_content();
    }

    bool up() const { return !window_.empty() && content_top_ > 0; }
    const std::string& window() const { return window_; }
    Child& process() { return process_; }
    fs::path saved_file() const { return program_dir_ / saved_file_name; }
    std::string errors() const { return read_text(errors_file_); }

    // A point of the client area below the menu bar, in the description's coordinates.
    std::pair<int, int> at(int x, int y) const { return {client_.x + x, content_top_ + y}; }

    // 标签_端口选择 (8, 40, 192, 24 in the group box at 8, 8): the failure text is long enough to
    // reach the label's left edge, the success text is not.
    bool status_shows_failure() {
        const auto [x, y] = at(16 + 2, 48 + 4);
        for (std::uint32_t c : x_.pixels({x, y, 16, 16})) {
            if ((c >> 16) < 0x80) return true;  // dark text on orange
        }
        return false;
    }
    bool wait_for_status(bool failure) {
        return wait_until([&] { return status_shows_failure() == failure; }, 5s);
    }

    void press_left(int x, int y) {
        const auto [sx, sy] = at(x, y);
        x_.mouse_down(sx, sy);
        x_.mouse_up();
    }

  private:
    // The menu bar is part of the client area; the orange starts below it.
    void locate_content() {
        wait_until([&] {
            client_ = x_.geometry(window_);
            const auto column = x_.pixels({client_.x + 3, client_.y, 1, 60});
            for (std::size_t i = 0; i < column.size(); ++i) {
                if (column[i] == orange) {
                    content_top_ = client_.y + static_cast<int>(i);
                    return true;
                }
            }
            return false;
        });
    }

    XSession& x_;
    fs::path program_dir_;
    fs::path errors_file_;
    Child process_;
    std::string window_;
    Rect client_;
    int content_top_ = 0;
};

class ProgramTest : public testing::Test {
  protected:
    static void SetUpTestSuite() { session_ = new XSession(true); }
    static void TearDownTestSuite() {
        delete session_;
        session_ = nullptr;
    }

    fs::path port_dir() const { return dir_.path() / "ports"; }
    XSession& x() { return *session_; }

    static inline XSession* session_ = nullptr;
    TempDir dir_;
};

TEST_F(ProgramTest, StartsOnTheSavedPortSendsKeyAAndShowsTheReply) {
    PtyLink line(5, port_dir());
    Panel panel(x(), dir_, port_dir(), "5");
    ASSERT_TRUE(panel.up());
    EXPECT_FALSE(device_free(line.slave_path()));  // COM5 is open, and held
    EXPECT_TRUE(panel.wait_for_status(false));     // 串口 5 启动成功！

    x().key(panel.window(), "a");
    EXPECT_EQ(line.read(6), (Bytes{0x00, 0x00, 0x00, 0x20, 0x32, 0x52}));
    // The motor at FF000A answers with position 200; its address becomes the target address.
    line.write({0x0A, 0x00, 0xFF, 0x20, 0xC8, 0xF1});
    const auto [px, py] = panel.at(232 + 112 + 10, 8 + 72 + 12);  // 编辑框_实际位置, turned green
    EXPECT_TRUE(wait_until([&] { return x().pixel(px, py) == 0x00FF00; }, 5s));
    x().key(panel.window(), "d");
    EXPECT_EQ(line.read(6), (Bytes{0x0A, 0x00, 0xFF, 0x00, 0x32, 0x3B}));

    x().key(panel.window(), "Escape");
    EXPECT_EQ(panel.process().wait(10s), 0) << panel.errors();
    EXPECT_EQ(read_text(panel.saved_file()), "5");
}

TEST_F(ProgramTest, ComPlusPressedWithTheMouseTriesTheNextPort) {
    PtyLink line(5, port_dir());
    Panel panel(x(), dir_, port_dir(), "5");
    ASSERT_TRUE(panel.up());
    ASSERT_TRUE(panel.wait_for_status(false));
    panel.press_left(8 + 152 + 24, 8 + 16 + 12);  // 按钮_COM加: COM6 has no device
    EXPECT_TRUE(panel.wait_for_status(true));
    EXPECT_TRUE(wait_until([&] { return device_free(line.slave_path()); }, 5s));
    panel.press_left(8 + 8 + 24, 8 + 16 + 12);  // 按钮_COM减: back on COM5
    EXPECT_TRUE(panel.wait_for_status(false));
    EXPECT_FALSE(device_free(line.slave_path()));

    panel.press_left(8 + 152 + 24, 8 + 16 + 12);
    x().key(panel.window(), "Escape");
    EXPECT_EQ(panel.process().wait(10s), 0) << panel.errors();
    EXPECT_EQ(read_text(panel.saved_file()), "6");
}

TEST_F(ProgramTest, MinimisingHidesToTheTrayAndTheTrayBringsItBackAndEndsIt) {
    PtyLink line(1, port_dir());
    Panel panel(x(), dir_, port_dir(), std::nullopt);  // no file: COM1, and the file is made
    ASSERT_TRUE(panel.up());
    const auto icon = x().tray_icon();
    ASSERT_TRUE(icon.has_value()) << "the tray icon is not up";

    run({"xdotool", "windowminimize", "--sync", panel.window()});
    EXPECT_TRUE(wait_until([&] { return !x().viewable(panel.window()); }, 5s));
    EXPECT_TRUE(x().tray_icon(1s).has_value());

    x().click(icon->x + icon->width / 2, icon->y + icon->height / 2);
    EXPECT_TRUE(wait_until([&] { return x().viewable(panel.window()); }, 5s));
    const Rect restored = x().geometry(panel.window());
    EXPECT_LT(restored.width, 473 + 1);
    EXPECT_GT(restored.width, 400);

    // Hidden again by a click on the icon, then "退出" from the tray menu ends the program.
    x().click(icon->x + icon->width / 2, icon->y + icon->height / 2);
    EXPECT_TRUE(wait_until([&] { return !x().viewable(panel.window()); }, 5s));
    x().click(icon->x + icon->width / 2, icon->y + icon->height / 2, 3);
    ASSERT_TRUE(wait_until(
        [&] {
            return run({"xdotool", "search", "--onlyvisible", "--class", "motor-panel"})
                       .out.size() > 0;
        },
        5s));
    run({"xdotool", "key", "Down", "Down", "Down", "Down", "Return"});
    EXPECT_EQ(panel.process().wait(10s), 0) << panel.errors();
    EXPECT_EQ(read_text(panel.saved_file()), "1");
    EXPECT_FALSE(x().tray_icon(500ms).has_value());
}

TEST_F(ProgramTest, APortHeldByAnotherProgramShowsTheFailureText) {
    PtyLink line(5, port_dir());
    Child holder = spawn({"flock", "--exclusive", line.slave_path().string(), "sleep", "60"});
    ASSERT_TRUE(wait_until([&] { return !device_free(line.slave_path()); }, 5s));
    Panel panel(x(), dir_, port_dir(), "5");
    ASSERT_TRUE(panel.up());
    EXPECT_TRUE(panel.wait_for_status(true));
    x().key(panel.window(), "a");
    EXPECT_TRUE(line.read_for(500ms).empty());  // a closed port sends nothing
}

TEST_F(ProgramTest, TheLineGoingAwayShowsTheFailureTextAndCostsNoCpu) {
    auto line = std::make_unique<PtyLink>(5, port_dir());
    Panel panel(x(), dir_, port_dir(), "5");
    ASSERT_TRUE(panel.up());
    ASSERT_TRUE(panel.wait_for_status(false));
    line->close_master();
    EXPECT_TRUE(panel.wait_for_status(true));
    const long before = cpu_ticks(panel.process().pid());
    std::this_thread::sleep_for(2s);  // measuring idle CPU needs an interval of idleness
    const long used = cpu_ticks(panel.process().pid()) - before;
    EXPECT_LT(used, 20) << "clock ticks used in 2 s after the loss";
}

#ifdef MOTOR_SIM_BINARY
// The demo's pair: the panel on COM1 with motor-sim linked there, keys in, replies shown, and
// the panel's trace and the simulator's showing the same frames.
TEST_F(ProgramTest, AnswersFromTheSimulatedMotorAndTracesTheTraffic) {
    SpawnOptions sim_options;
    sim_options.env["MOTOR_PANEL_PORT_DIR"] = port_dir().string();
    sim_options.stdout_file = dir_.path() / "sim-trace.txt";
    sim_options.stderr_file = dir_.path() / "sim-messages.txt";
    Child sim = spawn({MOTOR_SIM_BINARY, "--motor=010203:120"}, sim_options);
    ASSERT_TRUE(wait_until([&] { return fs::is_symlink(port_dir() / "com1"); }))
        << read_text(dir_.path() / "sim-messages.txt");

    const fs::path trace = dir_.path() / "panel-trace.txt";
    Panel panel(x(), dir_, port_dir(), std::nullopt, {"--trace=" + trace.string()});
    ASSERT_TRUE(panel.up());
    ASSERT_TRUE(panel.wait_for_status(false));  // 串口 1 启动成功！

    const auto shown = [&](const std::string& line) {
        return wait_until([&] { return read_text(trace).find(line) != std::string::npos; }, 5s);
    };
    x().key(panel.window(), "d");
    EXPECT_TRUE(shown("TX 03 02 01 00 32 38  READ_POSITION value 50 to 010203"))
        << read_text(trace);
    EXPECT_TRUE(shown("RX 03 02 01 00 78 7E  reply from 010203 position 120")) << read_text(trace);
    const auto [px, py] = panel.at(232 + 112 + 10, 8 + 72 + 12);  // 编辑框_实际位置, turned green
    EXPECT_TRUE(wait_until([&] { return x().pixel(px, py) == 0x00FF00; }, 5s));
    x().key(panel.window(), "a");
    EXPECT_TRUE(shown("RX 03 02 01 20 78 9E  reply from 010203 position 120")) << read_text(trace);

    x().key(panel.window(), "Escape");
    EXPECT_EQ(panel.process().wait(10s), 0) << panel.errors();
    sim.signal(SIGTERM);
    EXPECT_EQ(sim.wait(10s), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(port_dir() / "com1")));
    const std::string sim_trace = read_text(dir_.path() / "sim-trace.txt");
    EXPECT_NE(sim_trace.find("RX 00 00 00 20 32 52  BROADCAST_READ_ADDRESS value 50 to 000000 "
                             "(broadcast)"),
              std::string::npos)
        << sim_trace;
}
#endif

TEST(ProgramWithoutDisplay, SaysSoAndEndsWithMinusOne) {
    const RunResult r = run({"env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM=xcb",
                             "sh", "-c", std::string(MOTOR_PANEL_BINARY) + " 2>&1"});
    EXPECT_EQ(r.exit_code, 255);
    EXPECT_NE(r.out.find("motor-panel: cannot open the window"), std::string::npos) << r.out;
}

TEST(ProgramCommandLine, HelpAndVersionNeedNoDisplay) {
    const RunResult help = run({MOTOR_PANEL_BINARY, "--help"});
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_NE(help.out.find("--version"), std::string::npos);
    const RunResult version = run({MOTOR_PANEL_BINARY, "--version"});
    EXPECT_EQ(version.exit_code, 0);
    EXPECT_EQ(version.out, "motor-panel " MOTOR_PANEL_VERSION "\n");
}

}  // namespace
}  // namespace motor::e2e
