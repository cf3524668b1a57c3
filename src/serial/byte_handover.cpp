#include "byte_handover.h"

#include <utility>

namespace motor {

std::shared_ptr<ByteHandover> ByteHandover::create(EventPoster post, Receiver& receiver) {
    return std::shared_ptr<ByteHandover>(new ByteHandover(std::move(post), receiver));
}

ByteHandover::ByteHandover(EventPoster post, Receiver& receiver)
    : post_(std::move(post)), receiver_(&receiver) {}

void ByteHandover::bytes_received(std::span<const std::uint8_t> bytes) {
    bool wake_needed = false;
    {
        const std::lock_guard lock(mutex_);
        pending_.insert(pending_.end(), bytes.begin(), bytes.end());
        wake_needed = !std::exchange(wake_posted_, true);
    }
    // A wake-up already on its way takes these bytes too.
    if (wake_needed) post_wake();
}

void ByteHandover::device_lost(std::string reason) {
    bool wake_needed = false;
    {
        const std::lock_guard lock(mutex_);
        loss_pending_ = true;
        loss_reason_ = std::move(reason);
        wake_needed = !std::exchange(wake_posted_, true);
    }
    if (wake_needed) post_wake();
}

void ByteHandover::drop_pending() {
    {
        const std::lock_guard lock(mutex_);
        pending_.clear();
        loss_pending_ = false;
        loss_reason_.clear();
        // A wake-up still queued finds nothing; the next reception posts its own.
        wake_posted_ = false;
    }
    ++round_;
}

void ByteHandover::detach() {
    receiver_ = nullptr;
    ++round_;
}

void ByteHandover::post_wake() {
    post_([weak = weak_from_this()] {
        if (const auto self = weak.lock()) self->on_wake();
    });
}

ByteHandover::Batch ByteHandover::take_pending() {
    Batch batch;
    const std::lock_guard lock(mutex_);
    batch.bytes.swap(pending_);
    batch.lost = std::exchange(loss_pending_, false);
    batch.loss_reason = std::move(loss_reason_);
    loss_reason_.clear();
    wake_posted_ = false;
    return batch;
}

bool ByteHandover::still_delivering(std::uint64_t round) const {
    return receiver_ != nullptr && round_ == round;
}

void ByteHandover::on_wake() {
    if (receiver_ == nullptr) return;
    // A handler that processes pending events may run this wake-up inside a running delivery.
    // Newer bytes then wait until that delivery is done, so every byte keeps its place.
    if (delivering_) {
        wake_held_back_ = true;
        return;
    }
    delivering_ = true;
    const Batch batch = take_pending();
    const std::uint64_t round = round_;
    // The receiver may stop the port, or be destroyed, inside any delivery: look before each.
    for (const std::uint8_t b : batch.bytes) {
        if (!still_delivering(round)) break;
        receiver_->deliver_byte(b);
    }
    if (batch.lost && still_delivering(round)) receiver_->deliver_loss(batch.loss_reason);
    delivering_ = false;
    if (std::exchange(wake_held_back_, false) && receiver_ != nullptr) post_wake();
}

}  // namespace motor
