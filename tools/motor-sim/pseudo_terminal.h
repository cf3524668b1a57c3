#pragma once
// The simulator's end of the line: the master of a pseudo-terminal in raw mode, whose slave
// the panel opens as its serial device.
//
// The simulator keeps the slave open itself, so the master never reports a hang-up while no
// program is on the line, and watches the slave with inotify: a program that sets the
// exclusive flag (TIOCEXCL) and closes would otherwise leave the flag behind on the open
// terminal, and the next ordinary user could not open it. On a real serial device the flag
// goes with the last close; here it is cleared whenever a program closes the slave.

#include <optional>
#include <string>

#include "unique_fd.h"

namespace motor::sim {

class PseudoTerminal {
  public:
    static std::optional<PseudoTerminal> open(std::string& error);

    // Non-blocking; read commands from it, write replies to it.
    int master() const { return master_.get(); }
    // Readable when a program closed the slave; then call slave_closed().
    int watch() const { return watch_.get(); }
    void slave_closed();
    // "/dev/pts/3".
    const std::string& slave_path() const { return slave_path_; }

  private:
    PseudoTerminal() = default;

    UniqueFd master_;
    UniqueFd slave_;
    UniqueFd watch_;
    std::string slave_path_;
};

}  // namespace motor::sim
