// The port object's backend on Windows: exclusive open of \\.\COMn, the line settings in a device
// control block, reception on a worker that keeps one overlapped read pending and waits on it
// together with a stop event, and one-byte writes bounded by the port's write time-outs.
//
// Reception does not wait in WaitCommEvent: under Wine on a pseudo-terminal every such wait ends
// at once, hundreds of times a second. An overlapped read of one byte sleeps until a byte comes,
// on Windows and under Wine alike; whatever else is waiting then is taken with a second read.

#include <windows.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <exception>
#include <string>
#include <thread>
#include <utility>

#include "open_port_table.h"
#include "serial_backend.h"
#include "win32_line_settings.h"

namespace motor::serial_backend {
namespace {

std::string error_text(DWORD error) {
    std::array<char, 256> text{};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, text.data(), text.size(), nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' ||
                          text[length - 1] == ' ' || text[length - 1] == '.')) {
        --length;
    }
    std::string message = "error " + std::to_string(error);
    if (length > 0) message += ": " + std::string(text.data(), length);
    return message;
}

std::string last_error_text() {
    return error_text(GetLastError());
}

class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    UniqueHandle(UniqueHandle&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (h_) CloseHandle(h_);
        h_ = std::exchange(other.h_, nullptr);
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() {
        if (h_) CloseHandle(h_);
    }

    HANDLE get() const { return h_; }
    bool valid() const { return h_ != nullptr; }

  private:
    HANDLE h_ = nullptr;
};

UniqueHandle manual_reset_event() {
    return UniqueHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
}

// Takes the line into the wanted state; an empty text means success.
std::string configure_line(HANDLE device, const PortSettings& settings) {
    COMMTIMEOUTS timeouts = port_timeouts(settings);
    if (!SetCommTimeouts(device, &timeouts)) return last_error_text();
    if (!SetCommMask(device, reported_events)) return last_error_text();
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(device, &dcb)) return last_error_text();
    if (!apply_port_settings(dcb, settings)) return "line settings not supported";
    if (!SetCommState(device, &dcb)) return last_error_text();
    return {};
}

class Win32Device final : public Device {
  public:
    Win32Device(OpenPortClaim claim, UniqueHandle device, UniqueHandle stop_signal,
                UniqueHandle read_done, UniqueHandle write_done, ReceptionSink& sink)
        : claim_(std::move(claim)),
          device_(std::move(device)),
          stop_signal_(std::move(stop_signal)),
          read_done_(std::move(read_done)),
          write_done_(std::move(write_done)),
          worker_([this, &sink] { receive(sink); }) {}

    ~Win32Device() override {
        // If the event could not be set, join would wait forever.
        if (!SetEvent(stop_signal_.get())) std::terminate();
        worker_.join();
        // The members close the device, then give its entry in the open port table back.
    }

    Win32Device(const Win32Device&) = delete;
    Win32Device& operator=(const Win32Device&) = delete;

    std::int32_t send_byte(std::uint8_t b, std::chrono::milliseconds timeout) override;

    std::uint64_t reception_wakeups() const override {
        return wakeups_.load(std::memory_order_relaxed);
    }

  private:
    struct ReadResult {
        DWORD count = 0;
        DWORD error = ERROR_SUCCESS;
        bool stopped = false;  // the owner ended reception
    };

    void receive(ReceptionSink& sink);
    ReadResult read(std::uint8_t* into, DWORD count);
    DWORD bytes_waiting() const;
    bool output_queued() const;

    const OpenPortClaim claim_;
    const UniqueHandle device_;
    const UniqueHandle stop_signal_;
    const UniqueHandle read_done_;   // reception worker only
    const UniqueHandle write_done_;  // event thread only
    std::atomic<std::uint64_t> wakeups_{0};
    bool output_left_over_ = false;  // event thread: the last write timed out
    std::thread worker_;             // last: starts once everything above is ready
};

void Win32Device::receive(ReceptionSink& sink) {
    std::array<std::uint8_t, 4096> buffer;
    for (;;) {
        ReadResult first = read(buffer.data(), 1);
        if (first.stopped) return;
        if (first.error != ERROR_SUCCESS) {
            sink.device_lost(error_text(first.error));
            return;
        }
        if (first.count == 0) continue;  // a device that applied a read time-out after all

        // The rest of a burst is there already: one read takes it, and one handover carries it.
        DWORD taken = first.count;
        ReadResult rest;
        if (const DWORD waiting = std::min<DWORD>(bytes_waiting(), DWORD{buffer.size()} - taken)) {
            rest = read(buffer.data() + taken, waiting);
            taken += rest.count;
        }
        sink.bytes_received(std::span(buffer.data(), taken));
        if (rest.stopped) return;
        if (rest.error != ERROR_SUCCESS) {
            sink.device_lost(error_text(rest.error));
            return;
        }
    }
}

Win32Device::ReadResult Win32Device::read(std::uint8_t* into, DWORD count) {
    ReadResult result;
    // A stop asked for while bytes keep coming would otherwise never be seen: those reads end
    // without waiting.
    if (WaitForSingleObject(stop_signal_.get(), 0) == WAIT_OBJECT_0) {
        result.stopped = true;
        return result;
    }
    OVERLAPPED pending{};
    pending.hEvent = read_done_.get();
    if (!ReadFile(device_.get(), into, count, nullptr, &pending)) {
        if (const DWORD error = GetLastError(); error != ERROR_IO_PENDING) {
            result.error = error;
            return result;
        }
        const std::array<HANDLE, 2> signals{stop_signal_.get(), read_done_.get()};
        const DWORD woke = WaitForMultipleObjects(signals.size(), signals.data(), FALSE, INFINITE);
        wakeups_.fetch_add(1, std::memory_order_relaxed);
        if (woke != WAIT_OBJECT_0 + 1) {
            // Stopped, or the wait itself failed: either way the read must end before `pending`
            // goes out of scope.
            const DWORD wait_error = woke == WAIT_OBJECT_0 ? ERROR_SUCCESS : GetLastError();
            CancelIoEx(device_.get(), &pending);
            DWORD ignored = 0;
            GetOverlappedResult(device_.get(), &pending, &ignored, TRUE);
            result.stopped = woke == WAIT_OBJECT_0;
            result.error = wait_error;
            return result;
        }
    }
    if (!GetOverlappedResult(device_.get(), &pending, &result.count, FALSE)) {
        const DWORD error = GetLastError();
        // A read time-out is no error: it read what there was.
        if (error != ERROR_TIMEOUT) result.error = error;
    }
    return result;
}

DWORD Win32Device::bytes_waiting() const {
    DWORD errors = 0;
    COMSTAT status{};
    // Also clears the line error flags, which stop no transfer here (fAbortOnError is off).
    return ClearCommError(device_.get(), &errors, &status) ? status.cbInQue : 0;
}

bool Win32Device::output_queued() const {
    DWORD errors = 0;
    COMSTAT status{};
    return ClearCommError(device_.get(), &errors, &status) && status.cbOutQue > 0;
}

std::int32_t Win32Device::send_byte(std::uint8_t b, std::chrono::milliseconds timeout) {
    // Input the device holds and reception has not taken yet belongs to no reply.
    PurgeComm(device_.get(), PURGE_RXCLEAR);
    // Output is discarded only when it is left over from a write that timed out. Discarding
    // before every byte would destroy the earlier bytes of the same frame while the driver still
    // holds them (Wine discards output even as it is written).
    if (std::exchange(output_left_over_, false) && output_queued()) {
        PurgeComm(device_.get(), PURGE_TXCLEAR);
    }

    OVERLAPPED pending{};
    pending.hEvent = write_done_.get();
    bool cancelled = false;
    if (!WriteFile(device_.get(), &b, 1, nullptr, &pending)) {
        if (GetLastError() != ERROR_IO_PENDING) return 0;
        // The write time-outs end the write within `timeout`; should the device not end it, it
        // is ended here, and counts as timed out.
        const auto wait_ms =
            static_cast<DWORD>(std::max<std::chrono::milliseconds::rep>(timeout.count(), 0));
        if (WaitForSingleObject(write_done_.get(), wait_ms) != WAIT_OBJECT_0) {
            CancelIoEx(device_.get(), &pending);
            cancelled = true;
        }
    }
    DWORD written = 0;
    if (!GetOverlappedResult(device_.get(), &pending, &written, TRUE)) {
        const DWORD error = GetLastError();
        const bool timed_out =
            error == ERROR_TIMEOUT || (cancelled && error == ERROR_OPERATION_ABORTED);
        if (!timed_out) return 0;
        written = 0;
    }
    // A write that ended by its time-out has finished as far as the caller is concerned.
    if (written == 0) output_left_over_ = true;
    return 1;
}

}  // namespace

OpenResult open_device(const std::string& path, const PortSettings& settings, ReceptionSink& sink) {
    OpenPortClaim claim(path);
    if (!claim.held()) return {nullptr, "already open in this program"};
    // No sharing: while this handle is open, nobody else can open the port.
    UniqueHandle device(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
    if (!device.valid()) {
        const DWORD error = GetLastError();
        return {nullptr,
                error == ERROR_ACCESS_DENIED ? "in use by another program" : error_text(error)};
    }
    if (std::string error = configure_line(device.get(), settings); !error.empty()) {
        return {nullptr, std::move(error)};
    }
    // Whatever the device buffered before this open belongs to nobody.
    if (!PurgeComm(device.get(), PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR)) {
        return {nullptr, last_error_text()};
    }
    UniqueHandle stop_signal = manual_reset_event();
    UniqueHandle read_done = manual_reset_event();
    UniqueHandle write_done = manual_reset_event();
    if (!stop_signal.valid() || !read_done.valid() || !write_done.valid()) {
        return {nullptr, last_error_text()};
    }
    return {
        std::make_unique<Win32Device>(std::move(claim), std::move(device), std::move(stop_signal),
                                      std::move(read_done), std::move(write_done), sink),
        {}};
}

std::string device_path_for(std::int32_t com_number) {
    if (com_number < 1) return {};
    return "\\\\.\\COM" + std::to_string(com_number);
}

}  // namespace motor::serial_backend
