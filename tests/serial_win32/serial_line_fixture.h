#pragma once
// A port object on a line whose far end the line peer holds: the test thread as the event
// thread, and every delivered byte and loss recorded. The same shape as the POSIX fixture, so
// that the cases read alike on both systems.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "event_queue.h"
#include "peer_line.h"
#include "serial_port.h"

namespace motor {

using namespace std::chrono_literals;

// Generous: these bound a wait for something that happens in about a millisecond.
inline constexpr auto patience = 10s;

// The ports the Wine prefix maps to the peer's lines (scripts/wine-server.sh). Never COM1 to
// COM4: Wine gives those the machine's own serial devices.
inline constexpr std::int32_t line_com = 41;
inline constexpr std::int32_t other_line_com = 42;
inline constexpr std::int32_t unplugged_com = 43;
inline constexpr std::int32_t highest_com = 255;

class SerialLineTest : public ::testing::Test {
  protected:
    SerialLineTest() {
        port.byte_received = [this](std::int32_t value) { received.push_back(value); };
        port.device_lost = [this] { ++losses; };
    }

    // Opens the port on the test's line.
    void open_port() {
        port.set_com_number(line.com_number());
        ASSERT_EQ(port.start_port(), 1) << port.last_error();
    }

    // Another port object on the test's line, open, whose bytes are recorded too.
    std::unique_ptr<SerialPort> second_port() {
        auto second = std::make_unique<SerialPort>(events.poster());
        second->set_com_number(line.com_number());
        EXPECT_EQ(second->start_port(), 1) << second->last_error();
        second->byte_received = [this](std::int32_t value) { received.push_back(value); };
        return second;
    }

    bool receive_until_count(std::size_t count) {
        return events.pump_until([&] { return received.size() >= count; }, patience);
    }

    testing::PeerLine line{line_com};
    testing::EventQueue events;
    SerialPort port{events.poster()};  // last: gone before the queue and the line
    std::vector<std::int32_t> received;
    int losses = 0;
};

}  // namespace motor
