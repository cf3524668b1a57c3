#pragma once
// The simulator's only thread: poll() on the line, the stop signals and the slave watch, with
// a timeout up to the next due reply or frame drop. Nothing spins and nothing sleeps blind.

#include <string>

#include "pseudo_terminal.h"
#include "simulator.h"

namespace motor::sim {

// Runs until a stop signal arrives on stop_fd (then 0) or the line fails (1, with `error`).
int run_event_loop(Simulator& simulator, PseudoTerminal& line, int stop_fd, std::string& error);

}  // namespace motor::sim
