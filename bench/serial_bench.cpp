// Figures for the serial port object on a pseudo-terminal pair: frame latency both ways,
// sustained reception, and reception wake-ups while idle. Prints figures; judges nothing.
//
//   serial-bench [idle seconds, default 10]

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "event_queue.h"
#include "port_directory.h"
#include "pty_pair.h"
#include "serial_port.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using motor::SerialPort;
namespace testing = motor::testing;

constexpr int frames = 1000;
const std::vector<std::uint8_t> frame{0x03, 0x02, 0x01, 0x01, 0x32, 0x39};
constexpr double line_bytes_per_second = 9600.0 / 10;  // start, 8 data and stop bits

struct Spread {
    double median_ms;
    double p99_ms;
};

Spread spread(std::vector<Clock::duration> samples) {
    std::sort(samples.begin(), samples.end());
    const auto ms = [](Clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count();
    };
    return {ms(samples[samples.size() / 2]), ms(samples[samples.size() * 99 / 100])};
}

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "serial-bench: %s\n", what.c_str());
    std::exit(1);
}

// (a) From the first of six send_byte calls to the sixth byte readable at the other end.
Spread send_latency(SerialPort& port, const testing::PtyPair& line) {
    std::vector<Clock::duration> samples;
    for (int i = 0; i < frames; ++i) {
        const auto start = Clock::now();
        for (const std::uint8_t b : frame) port.send_byte(b);
        if (line.read_from_port(frame.size(), 5s).size() != frame.size()) fail("frame lost");
        samples.push_back(Clock::now() - start);
    }
    return spread(samples);
}

// (b) From six bytes written at the other end to the sixth byte_received on the event thread.
Spread receive_latency(SerialPort& port, const testing::PtyPair& line,
                       testing::EventQueue& events) {
    std::size_t count = 0;
    Clock::time_point sixth;
    port.byte_received = [&](std::int32_t) {
        if (++count == frame.size()) sixth = Clock::now();
    };
    std::vector<Clock::duration> samples;
    for (int i = 0; i < frames; ++i) {
        count = 0;
        const auto start = Clock::now();
        line.write_to_port(frame);
        if (!events.pump_until([&] { return count == frame.size(); }, 5s)) fail("reply lost");
        samples.push_back(sixth - start);
    }
    return spread(samples);
}

// (c) Bytes per second delivered into an event thread that does nothing else.
double sustained_reception(SerialPort& port, const testing::PtyPair& line,
                           testing::EventQueue& events) {
    constexpr std::size_t total = 64u << 20;
    std::size_t count = 0;
    port.byte_received = [&](std::int32_t) { ++count; };
    const auto start = Clock::now();
    std::thread writer([&] {
        const std::vector<std::uint8_t> chunk(4096, 0x55);
        for (std::size_t sent = 0; sent < total; sent += chunk.size()) line.write_to_port(chunk);
    });
    const bool complete = events.pump_until([&] { return count == total; }, 120s);
    const auto elapsed = Clock::now() - start;
    writer.join();
    if (!complete) fail("sustained reception lost bytes");
    return static_cast<double>(total) / std::chrono::duration<double>(elapsed).count();
}

// Context switches of the reception thread so far, as the kernel counts them; -1 if not found.
long long reception_thread_switches() {
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::string comm;
        std::getline(std::ifstream(task.path() / "comm"), comm);
        if (comm != "serial-rx") continue;
        std::ifstream status(task.path() / "status");
        long long switches = 0;
        for (std::string line; std::getline(status, line);) {
            if (line.find("ctxt_switches:") != std::string::npos) {
                switches += std::stoll(line.substr(line.find(':') + 1));
            }
        }
        return switches;
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    const int idle_seconds = argc > 1 ? std::atoi(argv[1]) : 10;

    testing::PortDirectory ports;
    testing::PtyPair line;
    testing::EventQueue events;
    SerialPort port(events.poster());
    ports.link(1, line.slave_path());
    port.set_com_number(1);
    if (port.start_port() != 1) fail("cannot open the pseudo-terminal: " + port.last_error());
    std::printf("serial-bench on %s, %d frames of %zu bytes\n", port.device_path().c_str(), frames,
                frame.size());

    const Spread out = send_latency(port, line);
    std::printf(
        "(a) six send_byte -> sixth byte readable at the other end: median %.3f ms, "
        "p99 %.3f ms\n",
        out.median_ms, out.p99_ms);

    const Spread in = receive_latency(port, line, events);
    std::printf(
        "(b) six bytes written at the other end -> sixth byte_received: median %.3f ms, "
        "p99 %.3f ms\n",
        in.median_ms, in.p99_ms);

    const double rate = sustained_reception(port, line, events);
    std::printf("(c) sustained reception: %.1f MB/s, %.0f times the line's %.0f B/s\n", rate / 1e6,
                rate / line_bytes_per_second, line_bytes_per_second);

    events.run_pending();
    const std::uint64_t wakeups_before = port.reception_wakeups();
    const long long switches_before = reception_thread_switches();
    std::this_thread::sleep_for(std::chrono::seconds(idle_seconds));
    events.run_pending();
    std::printf(
        "(d) reception wake-ups during %d s of an idle open port: %llu "
        "(context switches of its thread: %lld)\n",
        idle_seconds, static_cast<unsigned long long>(port.reception_wakeups() - wakeups_before),
        reception_thread_switches() - switches_before);
    return 0;
}
