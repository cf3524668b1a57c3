#pragma once
// motor-sim run as a child process for tests: on a given port directory, its standard output
// and error collected, waited for with deadlines, stopped by a signal. A child still running
// at the end is killed.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace motor::sim::test {

class SimProcess {
  public:
    // Starts the motor-sim program with MOTOR_PANEL_PORT_DIR set to port_dir.
    SimProcess(const std::filesystem::path& port_dir, const std::vector<std::string>& args);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Until its "ready" message; false when it ended or `limit` passed first.
    bool wait_ready(std::chrono::milliseconds limit = std::chrono::seconds(10));
    // Until its standard output holds `text`.
    bool wait_for_output(std::string_view text,
                         std::chrono::milliseconds limit = std::chrono::seconds(10));
    void send_signal(int signal) const;
    // Its exit status once it ended; nullopt when it runs on past `limit` or died by a signal.
    std::optional<int> wait_exit(std::chrono::milliseconds limit = std::chrono::seconds(10));

    const std::string& output() const { return out_; }
    const std::string& errors() const { return err_; }

  private:
    // Collects output until `done` holds, both pipes closed, or the deadline; done().
    template <typename Done>
    bool collect_until(Done done, std::chrono::milliseconds limit);

    pid_t pid_ = -1;
    int out_fd_ = -1;
    int err_fd_ = -1;
    std::string out_;
    std::string err_;
    std::optional<int> status_;  // raw wait status once reaped
};

// The path of the built motor-sim program.
std::filesystem::path motor_sim_program();

}  // namespace motor::sim::test
