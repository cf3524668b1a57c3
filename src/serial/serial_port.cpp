#include "serial_port.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "byte_handover.h"
#include "port_settings.h"
#include "serial_backend.h"

namespace motor {

struct SerialPort::Impl final : ByteHandover::Receiver {
    Impl(SerialPort& owner, EventPoster post)
        : port(owner), handover(ByteHandover::create(std::move(post), *this)) {}

    ~Impl() {
        close();
        handover->detach();
    }

    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    // Ends reception, closes the device and drops what it received but did not deliver yet.
    void close() {
        if (!device) return;
        closed_sessions_wakeups += device->reception_wakeups();
        device.reset();
        handover->drop_pending();
    }

    void deliver_byte(std::uint8_t b) override {
        // A copy keeps the handler alive should it destroy this port.
        if (const auto handler = port.byte_received) handler(b);
    }

    void deliver_loss(const std::string& reason) override {
        close();
        last_error = reason;
        if (const auto handler = port.device_lost) handler();
    }

    SerialPort& port;
    std::int32_t com_number = port_settings.com_number;
    std::string last_error;
    std::uint64_t closed_sessions_wakeups = 0;
    // The handover outlives the device: the device's worker writes into it until joined.
    std::shared_ptr<ByteHandover> handover;
    std::unique_ptr<serial_backend::Device> device;
};

SerialPort::SerialPort(EventPoster post) : impl_(std::make_unique<Impl>(*this, std::move(post))) {}

SerialPort::~SerialPort() = default;

void SerialPort::set_com_number(std::int32_t n) {
    impl_->com_number = std::max(n, 1);
}

std::int32_t SerialPort::com_number() const {
    return impl_->com_number;
}

std::int32_t SerialPort::start_port() {
    impl_->close();
    const std::string path = device_path();
    if (path.empty()) {
        impl_->last_error = "COM" + std::to_string(impl_->com_number) + " has no device";
        return 0;
    }
    auto opened = serial_backend::open_device(path, port_settings, *impl_->handover);
    if (!opened.device) {
        impl_->last_error = path + ": " + opened.error;
        return 0;
    }
    impl_->device = std::move(opened.device);
    impl_->last_error.clear();
    return 1;
}

void SerialPort::stop_port() {
    impl_->close();
}

bool SerialPort::is_open() const {
    return impl_->device != nullptr;
}

std::int32_t SerialPort::send_byte(std::uint8_t b) {
    if (!impl_->device) return 0;
    return impl_->device->send_byte(b, std::chrono::milliseconds(write_timeout_ms(port_settings)));
}

std::string SerialPort::device_path() const {
    return serial_backend::device_path_for(impl_->com_number);
}

std::string SerialPort::last_error() const {
    return impl_->last_error;
}

std::uint64_t SerialPort::reception_wakeups() const {
    const auto open_session = impl_->device ? impl_->device->reception_wakeups() : 0;
    return impl_->closed_sessions_wakeups + open_session;
}

}  // namespace motor
