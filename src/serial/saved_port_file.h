#pragma once
// The saved port file "端口列表.TXT": the decimal digits of the last port number, no line end.
// Only its first line is ever read, and only as far as that line goes.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace motor {

// The file's name; stored under its UTF-8 name where file names are UTF-8.
inline constexpr std::string_view saved_port_file_name = "端口列表.TXT";

// The longest first line that is kept; a longer one is cut there and reading stops.
inline constexpr std::size_t saved_port_line_limit = 4096;

// Splits the first line off bytes read so far. `at_end` says no more bytes follow. Returns the
// line when it is complete (a line feed, NUL or Ctrl-Z ends it; one carriage return before
// that end is dropped; a byte of 0x80 or above takes the next byte with it), else nothing.
std::optional<std::string> first_line(std::string_view bytes, bool at_end);

struct SavedLine {
    std::string text;            // the first line; empty when the file could not be opened
    std::size_t bytes_read = 0;  // how much of the file was read to find it
};

// Opens the file for reading and writing (created empty when missing, held exclusively while
// open) and reads its first line. A file that cannot be opened gives the empty line.
SavedLine read_saved_port_line(const std::filesystem::path& file);

// Replaces the file's content with `content`: written to a temporary file beside it, then
// renamed over it, so a crash or a full disk leaves the old content. False when it failed.
bool write_saved_port(const std::filesystem::path& file, std::string_view content);

// Where the file lies: beside the program when that directory is writable, else in the
// user's configuration directory ($XDG_CONFIG_HOME/motor-panel, created when needed).
std::filesystem::path saved_port_file_path(const std::filesystem::path& program_dir);

}  // namespace motor
