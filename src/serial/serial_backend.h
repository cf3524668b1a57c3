#pragma once
// What each OS backend of the port object provides. Exactly one backend file is built (CMake
// picks it); the port object above it holds the OS-independent part: the port number, the
// handover of received bytes to the event thread and their delivery.

#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "port_settings.h"

namespace motor::serial_backend {

// Takes what reception finds. Called on the reception worker only, never after the Device
// that calls it has been destroyed.
class ReceptionSink {
  public:
    virtual void bytes_received(std::span<const std::uint8_t> bytes) = 0;
    // The device went away; reception has ended and calls nothing more.
    virtual void device_lost(std::string reason) = 0;

  protected:
    ~ReceptionSink() = default;
};

// An open, configured device with its reception running. Destroying it ends reception (the
// worker is woken and joined) and closes the device, which releases it for everyone else.
class Device {
  public:
    virtual ~Device() = default;
    // Discards input the device holds, writes b and waits until it has left the device, at most
    // `timeout`. 1 when written or timed out, 0 when the write failed.
    virtual std::int32_t send_byte(std::uint8_t b, std::chrono::milliseconds timeout) = 0;
    // How often the reception worker has woken up (diagnostics: an idle port adds none).
    virtual std::uint64_t reception_wakeups() const = 0;
};

struct OpenResult {
    std::unique_ptr<Device> device;  // null when the open failed
    std::string error;               // why it failed
};

// Opens `path` exclusively, puts `settings` on the line, discards whatever the device buffered
// and starts reception into `sink`, which must outlive the device.
OpenResult open_device(const std::string& path, const PortSettings& settings, ReceptionSink& sink);

// The device COMn maps to on this system; empty when it has none.
std::string device_path_for(std::int32_t com_number);

}  // namespace motor::serial_backend
