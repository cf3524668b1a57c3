#pragma once
// Carries received bytes from the reception worker to the event thread: one lock-guarded queue
// and one posted wake-up per batch. The event thread takes every byte waiting at that moment and
// delivers them one by one, in order. Posted wake-ups hold the handover only weakly, so one that
// runs after the port is gone does nothing.

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "event_poster.h"
#include "serial_backend.h"

namespace motor {

class ByteHandover final : public serial_backend::ReceptionSink,
                           public std::enable_shared_from_this<ByteHandover> {
  public:
    // Where delivery goes; called on the event thread only.
    class Receiver {
      public:
        virtual void deliver_byte(std::uint8_t b) = 0;
        virtual void deliver_loss(const std::string& reason) = 0;

      protected:
        ~Receiver() = default;
    };

    static std::shared_ptr<ByteHandover> create(EventPoster post, Receiver& receiver);

    // Reception worker.
    void bytes_received(std::span<const std::uint8_t> bytes) override;
    void device_lost(std::string reason) override;

    // Event thread. Drops every byte and loss not delivered yet, including the rest of a
    // delivery that is running; call it once reception has ended.
    void drop_pending();
    // Event thread. The receiver is going away: nothing is delivered from now on.
    void detach();

  private:
    ByteHandover(EventPoster post, Receiver& receiver);

    struct Batch {
        std::vector<std::uint8_t> bytes;
        bool lost = false;
        std::string loss_reason;
    };

    void post_wake();
    void on_wake();  // event thread
    Batch take_pending();
    bool still_delivering(std::uint64_t round) const;

    const EventPoster post_;

    // Shared with the reception worker, under mutex_.
    std::mutex mutex_;
    std::vector<std::uint8_t> pending_;
    bool loss_pending_ = false;
    std::string loss_reason_;
    bool wake_posted_ = false;

    // Event thread only.
    Receiver* receiver_;
    std::uint64_t round_ = 0;  // advanced by drop_pending: a running delivery stops
    bool delivering_ = false;
    bool wake_held_back_ = false;
};

}  // namespace motor
