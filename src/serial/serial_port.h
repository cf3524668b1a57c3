#pragma once
// The port object 串口: opens COMn exclusively at 9600 8N1 without flow control, writes one
// byte per call, and delivers every received byte as one byte_received call on the event
// thread, in order. Reception runs on a worker thread while the port is open.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "byte_port.h"
#include "event_poster.h"

namespace motor {

class SerialPort final : public BytePort {
  public:
    explicit SerialPort(EventPoster post);
    ~SerialPort() override;  // closes the port as stop_port does
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Stores n (below 1 stored as 1); an open port stays on its device until the next start.
    void set_com_number(std::int32_t n);
    std::int32_t com_number() const;
    // 1 when open and receiving, 0 when not (the port is then closed).
    std::int32_t start_port();
    void stop_port();
    bool is_open() const;
    // 0 at once when closed; else writes b, waiting at most 2000 ms. 0 on a write error.
    std::int32_t send_byte(std::uint8_t b) override;

    // The device COMn maps to ("/dev/pts/3", "\\.\COM3"); empty when it has none.
    std::string device_path() const;
    // Why the last start_port failed, or why the port closed itself; empty after a success.
    std::string last_error() const;
    // How often reception has woken up since this object was made (diagnostics: an idle open
    // port adds none).
    std::uint64_t reception_wakeups() const;

    // Event thread only. Each received byte, in order.
    std::function<void(std::int32_t)> byte_received;
    // Event thread only. The device went away while open (hang-up); the port has closed itself.
    std::function<void()> device_lost;

    struct Impl;

  private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace motor
