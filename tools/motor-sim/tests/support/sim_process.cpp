#include "sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace motor::sim::test {
namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> environment_with(const std::string& name, const std::string& value) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::strncmp(*e, (name + "=").c_str(), name.size() + 1) != 0) env.emplace_back(*e);
    }
    env.push_back(name + "=" + value);
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> p;
    for (auto& s : strings) p.push_back(s.data());
    p.push_back(nullptr);
    return p;
}

}  // namespace

std::filesystem::path motor_sim_program() {
    return MOTOR_SIM_PROGRAM;
}

SimProcess::SimProcess(const std::filesystem::path& port_dir,
                       const std::vector<std::string>& args) {
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe2 failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    std::vector<std::string> argv_strings{motor_sim_program().string()};
    argv_strings.insert(argv_strings.end(), args.begin(), args.end());
    std::vector<std::string> env_strings =
        environment_with("MOTOR_PANEL_PORT_DIR", port_dir.string());
    std::vector<char*> argv = pointers(argv_strings);
    std::vector<char*> envp = pointers(env_strings);
    const int spawned = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    out_fd_ = out[0];
    err_fd_ = err[0];
    if (spawned != 0) {
        pid_ = -1;
        throw std::runtime_error("cannot start " + argv_strings[0] + ": " + std::strerror(spawned));
    }
}

SimProcess::~SimProcess() {
    if (pid_ > 0 && !status_) {
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    if (out_fd_ >= 0) ::close(out_fd_);
    if (err_fd_ >= 0) ::close(err_fd_);
}

template <typename Done>
bool SimProcess::collect_until(Done done, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    while (!done()) {
        pollfd fds[2] = {{out_fd_, POLLIN, 0}, {err_fd_, POLLIN, 0}};
        if (out_fd_ < 0 && err_fd_ < 0) return done();
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return done();
        // A closed pipe is left out of the poll (a negative descriptor is ignored).
        if (::poll(fds, 2, static_cast<int>(left.count())) < 0 && errno != EINTR) return done();
        for (int i = 0; i < 2; ++i) {
            if (fds[i].revents == 0) continue;
            int& fd = i == 0 ? out_fd_ : err_fd_;
            std::string& text = i == 0 ? out_ : err_;
            char buffer[4096];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0) {
                text.append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                ::close(fd);
                fd = -1;
            }
        }
    }
    return true;
}

bool SimProcess::wait_ready(std::chrono::milliseconds limit) {
    return collect_until([this] { return err_.find("motor-sim: ready") != std::string::npos; },
                         limit);
}

bool SimProcess::wait_for_output(std::string_view text, std::chrono::milliseconds limit) {
    return collect_until([&] { return out_.find(text) != std::string::npos; }, limit);
}

void SimProcess::send_signal(int signal) const {
    if (pid_ > 0 && !status_) ::kill(pid_, signal);
}

std::optional<int> SimProcess::wait_exit(std::chrono::milliseconds limit) {
    if (!status_) {
        // Its pipes close when it ends; then reaping does not block.
        if (!collect_until([this] { return out_fd_ < 0 && err_fd_ < 0; }, limit)) {
            return std::nullopt;
        }
        int status = 0;
        if (::waitpid(pid_, &status, 0) != pid_) return std::nullopt;
        status_ = status;
    }
    if (!WIFEXITED(*status_)) return std::nullopt;
    return WEXITSTATUS(*status_);
}

}  // namespace motor::sim::test
