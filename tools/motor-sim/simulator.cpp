#include "simulator.h"

#include <algorithm>
#include <string>

namespace motor::sim {
namespace {

std::string fault_notes(const ReplyFaults& faults) {
    std::string notes;
    if (faults.corrupt_checksum) notes += " [checksum corrupted]";
    if (faults.drop_index)
        notes += " [byte " + std::to_string(*faults.drop_index + 1) + " left out]";
    return notes;
}

}  // namespace

Simulator::Simulator(const SimulatorSettings& settings, TraceSink trace)
    : reply_delay_(settings.reply_delay),
      pause_(settings.pause),
      faults_(settings.faults, settings.seed),
      trace_(std::move(trace)) {
    if (!trace_) trace_ = [](TraceDirection, std::span<const std::uint8_t>, std::string_view) {};
    for (const MotorSetting& m : settings.motors) {
        motors_.emplace_back(m.address, m.position, settings.steps_per_second);
    }
}

void Simulator::receive(std::span<const std::uint8_t> bytes, SimTime now) {
    for (std::uint8_t b : bytes) {
        const FrameAssembler::Result result = assembler_.push(b, now);
        trace_dropped(result.dropped);
        if (result.frame) handle_frame(*result.frame, now);
    }
}

void Simulator::handle_frame(const Frame& frame, SimTime now) {
    if (!checksum_holds(frame)) {
        trace_(TraceDirection::received, frame, command_meaning(frame));
        return;
    }
    std::string note;
    SimTime due = now;
    std::size_t answering = 0;
    for (std::size_t i = 0; i < motors_.size(); ++i) {
        if (!motors_[i].is_addressed_by(frame)) continue;
        ++answering;
        motors_[i].command(frame[3], frame[4], now);
        const ReplyFaults faults = faults_.next_reply();
        if (faults.silent) {
            note += " [" +
                    address_bytes_to_text(motors_[i].address()[0], motors_[i].address()[1],
                                          motors_[i].address()[2]) +
                    " stays silent]";
            continue;
        }
        // Replies queue behind one another, so a paused reply holds back the ones after it.
        due = std::max(due, queue_.empty() ? now : queue_.back().due) + reply_delay_;
        queue_.push_back({due, i, frame[3], faults, {}});
    }
    if (answering == 0) note = " [no motor with this address]";
    trace_(TraceDirection::received, frame, command_meaning(frame) + note);
}

void Simulator::trace_dropped(const std::vector<std::uint8_t>& bytes) {
    if (!bytes.empty()) trace_(TraceDirection::received, bytes, partial_meaning(bytes.size()));
}

std::optional<SimTime> Simulator::next_due() const {
    std::optional<SimTime> due = assembler_.drop_time();
    if (!queue_.empty() && (!due || queue_.front().due < *due)) due = queue_.front().due;
    return due;
}

std::vector<std::uint8_t> Simulator::take_due_output(SimTime now) {
    trace_dropped(assembler_.expire(now));
    std::vector<std::uint8_t> out;
    while (!queue_.empty() && queue_.front().due <= now) {
        const Outgoing head = std::move(queue_.front());
        queue_.pop_front();
        if (!head.rest.empty()) {
            trace_(TraceDirection::sent, head.rest, "rest of the reply, after the pause");
            out.insert(out.end(), head.rest.begin(), head.rest.end());
            continue;
        }
        send_reply(head, now, out);
    }
    return out;
}

void Simulator::send_reply(const Outgoing& reply, SimTime now, std::vector<std::uint8_t>& out) {
    if (reply.faults.noise) {
        const std::uint8_t noise = *reply.faults.noise;
        trace_(TraceDirection::sent, std::span(&noise, 1), "noise byte");
        out.push_back(noise);
    }
    Frame frame = motors_[reply.motor].reply(reply.code, now);
    const ReplyBytes bytes = apply_faults(frame, reply.faults);
    if (reply.faults.corrupt_checksum) ++frame[5];  // as it goes out, for the trace
    std::string meaning = reply_meaning(frame) + fault_notes(reply.faults);
    if (!bytes.rest.empty()) {
        meaning += " [pausing " + std::to_string(pause_.count()) + " ms after byte " +
                   std::to_string(bytes.first.size()) + "]";
        queue_.push_front({now + pause_, reply.motor, reply.code, {}, bytes.rest});
    }
    trace_(TraceDirection::sent, bytes.first, meaning);
    out.insert(out.end(), bytes.first.begin(), bytes.first.end());
}

}  // namespace motor::sim
