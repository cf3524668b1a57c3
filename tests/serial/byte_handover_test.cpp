#include "byte_handover.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "event_queue.h"

namespace motor {
namespace {

using namespace std::chrono_literals;

struct RecordingReceiver final : ByteHandover::Receiver {
    void deliver_byte(std::uint8_t b) override {
        bytes.push_back(b);
        if (after_byte) after_byte(b);
    }
    void deliver_loss(const std::string& reason) override { losses.push_back(reason); }

    std::vector<int> bytes;
    std::vector<std::string> losses;
    std::function<void(std::uint8_t)> after_byte;
};

// The test thread plays both sides: calls into the handover as the reception worker would, and
// pumps the event queue as the event thread.
class ByteHandoverTest : public ::testing::Test {
  protected:
    void receive(std::vector<std::uint8_t> bytes) { handover->bytes_received(bytes); }

    testing::EventQueue events;
    RecordingReceiver receiver;
    std::shared_ptr<ByteHandover> handover = ByteHandover::create(events.poster(), receiver);
};

TEST_F(ByteHandoverTest, OneWakeUpTakesEveryBatchWaitingWhenItRuns) {
    receive({1, 2});
    receive({3});
    receive({4, 5, 6});
    EXPECT_EQ(events.posted(), 1u);
    events.run_pending();
    EXPECT_EQ(receiver.bytes, (std::vector<int>{1, 2, 3, 4, 5, 6}));

    receive({7});
    EXPECT_EQ(events.posted(), 2u);
    events.run_pending();
    EXPECT_EQ(receiver.bytes.back(), 7);
}

TEST_F(ByteHandoverTest, BytesDroppedBeforeTheirWakeUpRunsAreNeverDelivered) {
    receive({1, 2, 3});
    handover->drop_pending();
    receive({4});
    events.run_pending();
    EXPECT_EQ(receiver.bytes, (std::vector<int>{4}));
}

TEST_F(ByteHandoverTest, StopInsideDeliveryDropsTheRestOfTheBatch) {
    receiver.after_byte = [this](std::uint8_t b) {
        if (b == 2) handover->drop_pending();
    };
    receive({1, 2, 3, 4, 5});
    events.run_pending();
    EXPECT_EQ(receiver.bytes, (std::vector<int>{1, 2}));
}

TEST_F(ByteHandoverTest, ReceiverGoneInsideDeliveryGetsNothingMore) {
    receiver.after_byte = [this](std::uint8_t b) {
        if (b == 2) handover->detach();
    };
    receive({1, 2, 3});
    events.run_pending();
    receive({4});
    events.run_pending();
    EXPECT_EQ(receiver.bytes, (std::vector<int>{1, 2}));
}

TEST_F(ByteHandoverTest, HandlerPumpingEventsDoesNotOvertakeTheRunningBatch) {
    receiver.after_byte = [this](std::uint8_t b) {
        if (b != 2) return;
        receive({6, 7});
        events.run_pending();  // as the reply display does after a complete reply
    };
    receive({1, 2, 3, 4, 5});
    events.run_pending();
    EXPECT_EQ(receiver.bytes, (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(ByteHandoverTest, LossIsReportedOnceAfterTheBytesBeforeIt) {
    receive({1, 2});
    handover->device_lost("hung up");
    events.run_pending();
    EXPECT_EQ(receiver.bytes, (std::vector<int>{1, 2}));
    EXPECT_EQ(receiver.losses, (std::vector<std::string>{"hung up"}));
    events.run_pending();
    EXPECT_EQ(receiver.losses.size(), 1u);
}

TEST_F(ByteHandoverTest, LossDroppedByStopIsNotReported) {
    handover->device_lost("hung up");
    handover->drop_pending();
    events.run_pending();
    EXPECT_TRUE(receiver.losses.empty());
}

TEST_F(ByteHandoverTest, WakeUpRunningAfterTheHandoverIsGoneDoesNothing) {
    receive({1});
    handover.reset();
    EXPECT_EQ(events.run_pending(), 1u);
    EXPECT_TRUE(receiver.bytes.empty());
}

TEST_F(ByteHandoverTest, BatchesFromAnotherThreadArriveCompleteAndInOrder) {
    constexpr int total = 100'000;
    std::thread worker([this] {
        std::vector<std::uint8_t> chunk;
        int next = 0;
        for (int size = 1; next < total; size = size % 97 + 1) {
            chunk.clear();
            for (int i = 0; i < size && next < total; ++i) chunk.push_back(next++ % 256);
            handover->bytes_received(chunk);
        }
    });
    const bool complete = events.pump_until([&] { return receiver.bytes.size() == total; }, 30s);
    worker.join();
    ASSERT_TRUE(complete) << receiver.bytes.size();
    for (int i = 0; i < total; ++i) ASSERT_EQ(receiver.bytes[i], i % 256) << "at " << i;
    EXPECT_LT(events.posted(), static_cast<std::size_t>(total));
}

}  // namespace
}  // namespace motor
