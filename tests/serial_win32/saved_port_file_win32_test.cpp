// The saved port file through the Windows file API: created when missing, held exclusively while
// read, replaced in one step.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "saved_port_file.h"

namespace motor {
namespace {

namespace fs = std::filesystem;

class SavedPortFileWin32 : public ::testing::Test {
  protected:
    SavedPortFileWin32() {
        const auto name = L"motor-panel-" + std::to_wstring(GetCurrentProcessId());
        dir = fs::temp_directory_path() / name;
        fs::remove_all(dir);
        fs::create_directories(dir);
        file = saved_port_file_path(dir);
    }
    ~SavedPortFileWin32() override { fs::remove_all(dir); }

    fs::path dir;
    fs::path file;
};

TEST_F(SavedPortFileWin32, LiesBesideTheProgramUnderItsChineseName) {
    EXPECT_EQ(file.parent_path(), dir);
    EXPECT_EQ(file.filename().wstring(), L"端口列表.TXT");
}

TEST_F(SavedPortFileWin32, AMissingFileIsCreatedEmpty) {
    EXPECT_EQ(read_saved_port_line(file).text, "");
    EXPECT_TRUE(fs::exists(file));
    EXPECT_EQ(fs::file_size(file), 0u);
}

TEST_F(SavedPortFileWin32, OnlyTheFirstLineIsRead) {
    std::ofstream(file, std::ios::binary) << "7\r\nrest";
    EXPECT_EQ(read_saved_port_line(file).text, "7");
}

TEST_F(SavedPortFileWin32, AFileHeldByAnotherHandleCannotBeRead) {
    std::ofstream(file, std::ios::binary) << "12";
    const HANDLE holder =
        CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(read_saved_port_line(file).text, "");
    CloseHandle(holder);
    EXPECT_EQ(read_saved_port_line(file).text, "12");
}

TEST_F(SavedPortFileWin32, SaveReplacesTheContentAndLeavesNothingElse) {
    ASSERT_TRUE(write_saved_port(file, "12"));
    ASSERT_TRUE(write_saved_port(file, "255"));
    EXPECT_EQ(read_saved_port_line(file).text, "255");
    EXPECT_EQ(fs::file_size(file), 3u);
    for (const auto& entry : fs::directory_iterator(dir)) EXPECT_EQ(entry.path(), file);
}

TEST_F(SavedPortFileWin32, AFailedSaveLeavesTheOldContent) {
    ASSERT_TRUE(write_saved_port(file, "12"));
    // A file that is open without sharing cannot be replaced.
    const HANDLE holder =
        CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(write_saved_port(file, "3"));
    CloseHandle(holder);
    EXPECT_EQ(read_saved_port_line(file).text, "12");
    for (const auto& entry : fs::directory_iterator(dir)) EXPECT_EQ(entry.path(), file);
}

}  // namespace
}  // namespace motor
