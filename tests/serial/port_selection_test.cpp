#include "port_selection.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <sstream>

#include "fake_window.h"
#include "gbk_text.h"
#include "saved_port_file.h"

namespace motor {
namespace {

namespace fs = std::filesystem;

class ScriptedPort final : public PortSwitch {
  public:
    void set_com_number(std::int32_t n) override { calls.push_back("set " + std::to_string(n)); }
    std::int32_t start_port() override {
        calls.push_back("start");
        return starts ? 1 : 0;
    }
    void stop_port() override { calls.push_back("stop"); }
    bool starts = true;
    std::vector<std::string> calls;
};

class TempDir {
  public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "motor-ports-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~TempDir() { fs::remove_all(path); }
    fs::path path;
};

std::string read_file(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void write_file(const fs::path& p, std::string_view content) {
    std::ofstream(p, std::ios::binary) << content;
}

struct LineCase {
    const char* name;
    std::string bytes;
    std::string line;
};

class FirstLine : public testing::TestWithParam<LineCase> {};

TEST_P(FirstLine, EndsAtLineFeedNulOrCtrlZ) {
    EXPECT_EQ(first_line(GetParam().bytes, true), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Files, FirstLine,
    testing::Values(LineCase{"Digit", "5", "5"}, LineCase{"LeadingZeros", "007", "007"},
                    LineCase{"CrLf", "3\r\n9", "3"}, LineCase{"Blanks", "  4  ", "  4  "},
                    LineCase{"Fraction", "3.9", "3.9"},
                    LineCase{"FullWidth", utf8_to_gbk("１２"), utf8_to_gbk("１２")},
                    LineCase{"Empty", "", ""}, LineCase{"LeadingLineFeed", "\n5", ""},
                    LineCase{"Nul",
                             std::string("7\0"
                                         "9",
                                         3),
                             "7"},
                    LineCase{"CtrlZ",
                             "7\x1a"
                             "9",
                             "7"},
                    LineCase{"OnlyOneCrDropped", "3\r\r\n", "3\r"},
                    LineCase{"CrAtTheEndOfTheFile", "3\r", "3"},
                    LineCase{"SecondByteIsLineFeed",
                             "\xb6\x0a"
                             "5\n6",
                             "\xb6\x0a"
                             "5"},
                    LineCase{"SecondByteIsCarriageReturn", "\x81\x0d\n", "\x81\x0d"},
                    LineCase{"LeadByteThenNul",
                             std::string("5\x81\0"
                                         "9",
                                         4),
                             "5"},
                    LineCase{"LeadByteAtTheEnd", "5\x81", "5"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FirstLineLimits, AnUnfinishedLineWaitsForMoreAndAnEndlessOneIsCut) {
    EXPECT_EQ(first_line("12", false), std::nullopt);
    EXPECT_EQ(first_line("1\x81", false), std::nullopt);
    EXPECT_EQ(first_line(std::string(10000, '5'), false)->size(), saved_port_line_limit);
}

struct LoadCase {
    const char* name;
    std::string file;
    int port_number;
    int com_number;  // what the port object is given
    std::string label;
};

class LoadSavedPort : public testing::TestWithParam<LoadCase> {
  protected:
    TempDir dir;
    test::FakeWindow window;
    ScriptedPort port;
};

TEST_P(LoadSavedPort, SetsTheNumberAndTheLabels) {
    const auto& c = GetParam();
    const fs::path file = dir.path / saved_port_file_name;
    write_file(file, c.file);
    PortSelection selection(window, port, file);
    selection.load_saved_port();
    EXPECT_EQ(selection.port_number, c.port_number);
    EXPECT_EQ(port.calls,
              (std::vector<std::string>{"set " + std::to_string(c.com_number), "start"}));
    EXPECT_EQ(window.text(Control::标签_COM), c.label);
    EXPECT_EQ(gbk_to_utf8(window.text(Control::标签_端口选择)),
              "串口 " + gbk_to_utf8(c.label.substr(3)) + " 启动成功！");
    EXPECT_EQ(read_file(file), c.file);  // reading never changes the file
}

INSTANTIATE_TEST_SUITE_P(Files, LoadSavedPort,
                         testing::Values(LoadCase{"Five", "5", 5, 5, "COM5"},
                                         LoadCase{"LeadingZeros", "007", 7, 7, "COM007"},
                                         LoadCase{"CrLf", "3\r\n", 3, 3, "COM3"},
                                         LoadCase{"Blanks", "  4  ", 4, 4, "COM  4  "},
                                         LoadCase{"Fraction", "3.9", 3, 3, "COM3.9"},
                                         LoadCase{"FullWidth", utf8_to_gbk("１２"), 12, 12,
                                                  "COM" + utf8_to_gbk("１２")},
                                         LoadCase{"Empty", "", 1, 1, "COM1"},
                                         LoadCase{"LeadingLineFeed", "\n7", 1, 1, "COM1"},
                                         LoadCase{"NotANumber", "abc", 0, 0, "COMabc"},
                                         LoadCase{"LowEightBits", "300", 44, 44, "COM300"},
                                         LoadCase{"TwoFiftySix", "256", 0, 0, "COM256"},
                                         LoadCase{"MinusOne", "-1", 255, 255, "COM-1"},
                                         LoadCase{"Nul",
                                                  std::string("9\0"
                                                              "1",
                                                              3),
                                                  9, 9, "COM9"},
                                         LoadCase{"CtrlZ",
                                                  "8\x1a"
                                                  "1",
                                                  8, 8, "COM8"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SavedPortFile, AMissingFileIsCreatedEmptyAndGivesComOne) {
    TempDir dir;
    test::FakeWindow window;
    ScriptedPort port;
    port.starts = false;
    const fs::path file = dir.path / saved_port_file_name;
    PortSelection selection(window, port, file);
    selection.load_saved_port();
    EXPECT_TRUE(fs::exists(file));
    EXPECT_EQ(read_file(file), "");
    EXPECT_EQ(selection.port_text, "1");
    EXPECT_EQ(window.text(Control::标签_COM), "COM1");
    EXPECT_EQ(gbk_to_utf8(window.text(Control::标签_端口选择)), "串口 1 启动失败，请重新选择！");
}

TEST(SavedPortFile, AFileThatCannotBeOpenedGivesComOneWithoutAMessage) {
    TempDir dir;
    test::FakeWindow window;
    ScriptedPort port;
    PortSelection unreachable(window, port, dir.path / "no-such-dir" / saved_port_file_name);
    unreachable.load_saved_port();
    EXPECT_EQ(unreachable.port_number, 1);
    EXPECT_EQ(window.text(Control::标签_COM), "COM1");

    // Held by another program: the same.
    const fs::path file = dir.path / saved_port_file_name;
    write_file(file, "9");
    const int holder = ::open(file.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    PortSelection held(window, port, file);
    held.load_saved_port();
    EXPECT_EQ(held.port_number, 1);
    ::close(holder);
}

TEST(SavedPortFile, OnlyTheFirstLineOfAHugeFileIsRead) {
    TempDir dir;
    const fs::path file = dir.path / saved_port_file_name;
    write_file(file, "7\n");
    fs::resize_file(file, 100u * 1024 * 1024);  // 100 MB after the line
    const SavedLine line = read_saved_port_line(file);
    EXPECT_EQ(line.text, "7");
    EXPECT_LE(line.bytes_read, 4096u);

    write_file(file, std::string(1024 * 1024, '5'));  // a first line that never ends
    const SavedLine endless = read_saved_port_line(file);
    EXPECT_EQ(endless.text.size(), saved_port_line_limit);
    EXPECT_LE(endless.bytes_read, saved_port_line_limit + 4096);
}

TEST(SavedPortFile, SaveWritesTheDigitsAloneAndReplacesTheOldContent) {
    TempDir dir;
    const fs::path file = dir.path / saved_port_file_name;
    write_file(file, "  123 with a long tail\r\n");
    test::FakeWindow window;
    ScriptedPort port;
    PortSelection selection(window, port, file);
    selection.port_number = 12;
    selection.save_port();
    EXPECT_EQ(read_file(file), "12");
    selection.port_number = 0;
    selection.save_port();
    EXPECT_EQ(read_file(file), "0");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator{}), 1);
}

TEST(SavedPortFile, AFailedSaveLeavesTheOldContent) {
    TempDir dir;
    const fs::path file = dir.path / saved_port_file_name;
    write_file(file, "42");
    // A child that may write no byte to any file, as on a full disk (this holds for root too).
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit none{0, 0};
        ::setrlimit(RLIMIT_FSIZE, &none);
        _exit(write_saved_port(file, "7") ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the write should have failed";
    EXPECT_EQ(read_file(file), "42");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator{}), 1);

    EXPECT_FALSE(write_saved_port(dir.path / "missing" / saved_port_file_name, "7"));
}

struct StepCase {
    int from;
    bool next;
    int to;
};

class PortButtons : public testing::TestWithParam<StepCase> {};

TEST_P(PortButtons, StepWithWrapAroundAndRestartThePort) {
    test::FakeWindow window;
    ScriptedPort port;
    PortSelection selection(window, port, "unused");
    selection.port_number = static_cast<std::uint8_t>(GetParam().from);
    GetParam().next ? selection.select_next_port() : selection.select_previous_port();
    const std::string to = std::to_string(GetParam().to);
    EXPECT_EQ(selection.port_number, GetParam().to);
    EXPECT_EQ(selection.port_text, to);
    EXPECT_EQ(port.calls, (std::vector<std::string>{"stop", "set " + to, "start"}));
    EXPECT_EQ(window.text(Control::标签_COM), "COM" + to);
}

INSTANTIATE_TEST_SUITE_P(Wrap, PortButtons,
                         testing::Values(StepCase{255, true, 1}, StepCase{1, false, 255},
                                         StepCase{0, true, 1}, StepCase{0, false, 255},
                                         StepCase{5, true, 6}, StepCase{7, false, 6}));

TEST(PortButtonsOutcome, AFailedStartIsShownAndLossShowsTheFailureText) {
    test::FakeWindow window;
    ScriptedPort port;
    PortSelection selection(window, port, "unused");
    selection.port_number = 1;
    port.starts = false;
    selection.select_previous_port();
    EXPECT_EQ(gbk_to_utf8(window.text(Control::标签_端口选择)), "串口 255 启动失败，请重新选择！");
    port.starts = true;
    selection.select_next_port();
    EXPECT_EQ(gbk_to_utf8(window.text(Control::标签_端口选择)), "串口 1 启动成功！");
    selection.show_port_lost();
    EXPECT_EQ(gbk_to_utf8(window.text(Control::标签_端口选择)), "串口 1 启动失败，请重新选择！");
}

TEST(PortText, KeepsTheFileTextUntilAButtonIsPressed) {
    TempDir dir;
    const fs::path file = dir.path / saved_port_file_name;
    write_file(file, "007");
    test::FakeWindow window;
    ScriptedPort port;
    PortSelection selection(window, port, file);
    selection.load_saved_port();
    EXPECT_EQ(gbk_to_utf8(window.text(Control::标签_端口选择)), "串口 007 启动成功！");
    selection.select_next_port();
    EXPECT_EQ(window.text(Control::标签_COM), "COM8");
    selection.save_port();
    EXPECT_EQ(read_file(file), "8");
}

}  // namespace
}  // namespace motor
