#pragma once
// A port object on a pseudo-terminal: the slave linked as comN in a temporary port directory,
// the test thread as the event thread, and every delivered byte and loss recorded.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "event_queue.h"
#include "port_directory.h"
#include "pty_pair.h"
#include "serial_port.h"

namespace motor {

using namespace std::chrono_literals;

// Generous: these bound a wait for something that happens in well under a millisecond.
inline constexpr auto patience = 10s;

class SerialLineTest : public ::testing::Test {
  protected:
    SerialLineTest() {
        port.byte_received = [this](std::int32_t value) { received.push_back(value); };
        port.device_lost = [this] { ++losses; };
    }

    // The line as COM3 and the port open on it. The cases every system runs use this one.
    void open_port() { open_on(3); }

    // A second port object on the line as COM4, open, recording into `received`.
    std::unique_ptr<SerialPort> second_port() { return second_port_on(4); }

    // Links the line as COMn and opens the port on it.
    void open_on(std::int32_t com_number) {
        ports.link(com_number, line.slave_path());
        port.set_com_number(com_number);
        ASSERT_EQ(port.start_port(), 1) << port.last_error();
    }

    // A second port object on the same line as COMn, open, recording into `received`.
    std::unique_ptr<SerialPort> second_port_on(std::int32_t com_number) {
        ports.link(com_number, line.slave_path());
        auto second = std::make_unique<SerialPort>(events.poster());
        second->set_com_number(com_number);
        EXPECT_EQ(second->start_port(), 1) << second->last_error();
        second->byte_received = [this](std::int32_t value) { received.push_back(value); };
        return second;
    }

    bool receive_until_count(std::size_t count) {
        return events.pump_until([&] { return received.size() >= count; }, patience);
    }

    testing::PortDirectory ports;
    testing::PtyPair line;
    testing::EventQueue events;
    SerialPort port{events.poster()};  // last: gone before the queue and the line
    std::vector<std::int32_t> received;
    int losses = 0;
};

}  // namespace motor
