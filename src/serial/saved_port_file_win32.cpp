// Reading and replacing the saved port file on Windows.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <utility>

#include "saved_port_file.h"

namespace motor {
namespace {

class Handle {
  public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() { close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }
    bool close() {
        const HANDLE h = std::exchange(h_, INVALID_HANDLE_VALUE);
        return h == INVALID_HANDLE_VALUE || CloseHandle(h) != 0;
    }

  private:
    HANDLE h_;
};

bool write_all(HANDLE file, std::string_view data) {
    while (!data.empty()) {
        DWORD written = 0;
        if (!WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr) ||
            written == 0) {
            return false;
        }
        data.remove_prefix(written);
    }
    return true;
}

// The name is kept in UTF-8 in the source; Windows names are UTF-16.
std::filesystem::path file_name() {
    return std::u8string(reinterpret_cast<const char8_t*>(saved_port_file_name.data()),
                         saved_port_file_name.size());
}

// Whether a file can be made in `dir`: the only sure test is to make one.
bool writable(const std::filesystem::path& dir) {
    const auto probe = dir / (L"motor-panel-" + std::to_wstring(GetCurrentProcessId()) + L".probe");
    const Handle file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return file.valid();
}

}  // namespace

SavedLine read_saved_port_line(const std::filesystem::path& file) {
    SavedLine result;
    // No sharing while it is open: another program holding it counts as "cannot be opened".
    const Handle handle(CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.valid()) return result;
    std::string bytes;
    char chunk[512];
    for (;;) {
        DWORD n = 0;
        const bool at_end = !ReadFile(handle.get(), chunk, sizeof chunk, &n, nullptr) || n == 0;
        bytes.append(chunk, n);
        result.bytes_read += n;
        if (auto line = first_line(bytes, at_end)) {
            result.text = std::move(*line);
            return result;
        }
    }
}

bool write_saved_port(const std::filesystem::path& file, std::string_view content) {
    auto temp = file;
    temp += L"." + std::to_wstring(GetCurrentProcessId()) + L".new";
    Handle out(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out.valid()) return false;
    const bool written =
        write_all(out.get(), content) && FlushFileBuffers(out.get()) && out.close();
    // One step, so the file holds either its old content or the new one.
    if (!written || !MoveFileExW(temp.c_str(), file.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        out.close();
        DeleteFileW(temp.c_str());
        return false;
    }
    return true;
}

std::filesystem::path saved_port_file_path(const std::filesystem::path& program_dir) {
    if (writable(program_dir)) return program_dir / file_name();
    const wchar_t* app_data = _wgetenv(L"APPDATA");
    if (!app_data || !*app_data) return program_dir / file_name();  // reading then finds nothing
    const auto dir = std::filesystem::path(app_data) / L"motor-panel";
    std::error_code ignored;
    std::filesystem::create_directories(dir, ignored);
    return dir / file_name();
}

}  // namespace motor
