#include "driver/streaming_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "driver/tests/fake_lower_edge.h"

namespace velix::driver {
namespace {

using platform::Event;
using platform::ResetMode;
using platform::WaitStatus;
using testing::FakeLowerEdge;
using testing::PatternByte;

std::shared_ptr<Event> NewClientEvent(ResetMode mode = ResetMode::kManual) {
  return std::make_shared<Event>(Event::Create(mode));
}

bool Fires(const std::shared_ptr<Event>& event, uint32_t timeout_ms = 2000) {
  return event->Wait(timeout_ms).status == WaitStatus::kSignalled;
}

// Polls a condition the engine reaches on its own threads.
template <typename Condition>
bool Eventually(Condition condition) {
  for (int i = 0; i < 400; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return condition();
}

class StreamingEngineTest : public ::testing::Test {
 protected:
  // Buffer size, event registration, transfer length, start: the client's
  // usual order.
  void Arm(uint32_t transfer_length, uint8_t megabytes = 1) {
    ASSERT_EQ(engine_.SetBufferSize(megabytes), STATUS_SUCCESS);
    ASSERT_EQ(engine_.SetOneTransferEvent(transfer_event_).status, STATUS_SUCCESS);
    ASSERT_EQ(engine_.SetOneTransferLength(transfer_length), STATUS_SUCCESS);
    const RequestOutcome started = engine_.Start(start_event_);
    ASSERT_EQ(started.status, STATUS_SUCCESS);
    ASSERT_EQ(started.output, driver_status::kNone);
  }

  // Reads everything waiting and checks it continues the device's stream.
  void ReadAndCheck() {
    const uint32_t waiting = engine_.Count();
    if (waiting == 0) return;
    std::vector<uint8_t> out(waiting);
    ASSERT_EQ(buffer_.Take(out), STATUS_SUCCESS);
    for (uint32_t i = 0; i < waiting; ++i) {
      ASSERT_EQ(out[i], PatternByte(read_ + i)) << "stream byte " << read_ + i;
    }
    read_ += waiting;
  }

  FakeLowerEdge edge_;
  DriverStatusWord status_;
  AccumulationBuffer buffer_{status_};
  StreamingEngine engine_{edge_, buffer_, status_};
  std::shared_ptr<Event> start_event_ = NewClientEvent();
  std::shared_ptr<Event> transfer_event_ = NewClientEvent(ResetMode::kAuto);
  uint64_t read_ = 0;
};

TEST(TransferLengthTest, LongLengthsAreCappedAndRoundedToWholePackets) {
  const struct {
    uint32_t requested;
    uint32_t used;
  } cases[] = {{100000, 99840}, {700000, 655360}, {655360, 655360}, {655361, 655360},
               {300, 300},      {512, 512},       {513, 512},       {1, 1}};
  for (const auto& c : cases) EXPECT_EQ(EffectiveTransferLength(c.requested), c.used) << c.requested;
}

TEST_F(StreamingEngineTest, ReaderSubmitsTheEffectiveLengthWithEightSlotsInFlight) {
  Arm(100000);
  EXPECT_TRUE(Eventually([&] { return edge_.MaxBulkInFlight() == 8; }));
  EXPECT_EQ(edge_.LastBulkLength(), 99840u);
  engine_.Stop(StopWait::kUnlimited);
}

// The client stops the device, then the stream: whatever the device sent
// before is in completed transfers the reader may not have collected yet.
// The stop keeps them all, in order, however far the reader had got.
TEST_F(StreamingEngineTest, StopKeepsEveryByteTheDeviceSentBefore) {
  const struct {
    uint32_t transfer_length;
    uint32_t chunk_limit;
    uint64_t sent;  // all within the eight transfers in flight
  } cases[] = {{512, 512, 512}, {512, 512, 8 * 512}, {4096, 1000, 5 * 1000 + 17}, {16384, 16384, 3 * 16384}};
  for (const auto& c : cases) {
    for (int round = 0; round < 5; ++round) {
      SCOPED_TRACE(::testing::Message() << c.transfer_length << "/" << c.chunk_limit << "/" << c.sent << " round "
                                        << round);
      edge_.SetChunkLimit(c.chunk_limit);
      Arm(c.transfer_length);
      ASSERT_TRUE(Eventually([&] { return edge_.MaxBulkInFlight() == 8; }));
      const uint64_t before = read_;
      edge_.Produce(c.sent);
      edge_.WaitUntilDelivered();
      engine_.Stop(StopWait::kUnlimited);
      ReadAndCheck();
      ASSERT_EQ(read_ - before, c.sent);
      ASSERT_EQ(status_.Get(), driver_status::kNone);
    }
  }
}

TEST_F(StreamingEngineTest, StartRefusalsReportThroughTheOutput) {
  EXPECT_EQ(engine_.SetBufferSize(1), STATUS_SUCCESS);
  // A zero length: the request itself succeeds, the output says 6.
  RequestOutcome started = engine_.Start(start_event_);
  EXPECT_EQ(started.status, STATUS_SUCCESS);
  EXPECT_EQ(started.output, driver_status::kZeroTransferLength);
  engine_.Stop(StopWait::kUnlimited);
  started = engine_.Start(nullptr);
  EXPECT_EQ(started.status, STATUS_INVALID_HANDLE);
  EXPECT_EQ(started.output, driver_status::kStartEventInvalid);
  EXPECT_FALSE(engine_.IsArmed());
  EXPECT_FALSE(edge_.InterruptPending());
}

TEST_F(StreamingEngineTest, StartWhileArmedReports29AndChangesNothing) {
  Arm(4096);
  const RequestOutcome again = engine_.Start(NewClientEvent());
  EXPECT_EQ(again.status, STATUS_SUCCESS);
  EXPECT_EQ(again.output, driver_status::kAlreadyArmed);
  EXPECT_TRUE(engine_.IsArmed());
  edge_.Produce(10000);
  EXPECT_TRUE(Eventually([&] { return engine_.Count() == 10000; }));
  ReadAndCheck();
  // Still the first start's event that the device message wakes.
  ASSERT_TRUE(edge_.SendInterruptMessage(0, 1));
  EXPECT_TRUE(Fires(start_event_));
  engine_.Stop(StopWait::kUnlimited);
}

TEST_F(StreamingEngineTest, SettingsAreRefusedWhileArmedAndKeepTheirValues) {
  Arm(4096);
  EXPECT_EQ(engine_.SetOneTransferLength(8192), STATUS_UNSUCCESSFUL);
  EXPECT_EQ(status_.Get(), driver_status::kStreamingBusy);
  EXPECT_EQ(engine_.SetBufferSize(2), STATUS_UNSUCCESSFUL);
  edge_.Produce(5000);
  EXPECT_TRUE(Eventually([&] { return engine_.Count() == 5000; }));
  engine_.Stop(StopWait::kUnlimited);
  ReadAndCheck();
  EXPECT_EQ(read_, 5000u);
  EXPECT_EQ(engine_.SetOneTransferLength(8192), STATUS_SUCCESS);
}

TEST_F(StreamingEngineTest, SecondEventRegistrationFailsUntilTheNextStop) {
  ASSERT_EQ(engine_.SetOneTransferEvent(transfer_event_).status, STATUS_SUCCESS);
  RequestOutcome second = engine_.SetOneTransferEvent(NewClientEvent());
  EXPECT_EQ(second.status, STATUS_UNSUCCESSFUL);
  EXPECT_EQ(second.output, driver_status::kEventAlreadyRegistered);
  engine_.Stop(StopWait::kUnlimited);
  second = engine_.SetOneTransferEvent(nullptr);
  EXPECT_EQ(second.output, driver_status::kRegisterEventInvalid);
  EXPECT_EQ(engine_.SetOneTransferEvent(NewClientEvent()).status, STATUS_SUCCESS);
}

TEST_F(StreamingEngineTest, StoppingTwiceSucceedsAndAStreamCanStartAgain) {
  Arm(2048);
  edge_.Produce(3000);
  EXPECT_TRUE(Eventually([&] { return engine_.Count() == 3000; }));
  engine_.Stop(StopWait::kUnlimited);
  engine_.Stop(StopWait::kClose);
  EXPECT_FALSE(engine_.IsArmed());
  EXPECT_FALSE(edge_.InterruptPending());
  ReadAndCheck();
  start_event_ = NewClientEvent();
  ASSERT_EQ(engine_.SetOneTransferEvent(transfer_event_).status, STATUS_SUCCESS);
  ASSERT_EQ(engine_.Start(start_event_).output, driver_status::kNone);
  edge_.Produce(3000);
  EXPECT_TRUE(Eventually([&] { return engine_.Count() == 3000; }));
  engine_.Stop(StopWait::kUnlimited);
  ReadAndCheck();
  EXPECT_EQ(read_, 6000u);
}

TEST_F(StreamingEngineTest, DeviceMessageWakesTheClientOnceAndNotAfterAStop) {
  Arm(4096);
  ASSERT_TRUE(Eventually([&] { return edge_.InterruptPending(); }));
  ASSERT_TRUE(edge_.SendInterruptMessage(0x00, 0x01));
  EXPECT_TRUE(Fires(start_event_));
  EXPECT_EQ(status_.Get(), 0x80000001u);
  EXPECT_FALSE(engine_.IsArmed());
  ASSERT_TRUE(start_event_->Reset());
  EXPECT_FALSE(edge_.SendInterruptMessage(0x12, 0x34));
  engine_.Stop(StopWait::kUnlimited);
  EXPECT_FALSE(Fires(start_event_, 20));

  // A fresh stream stopped by the client: its interrupt transfer is
  // cancelled, so a later message reaches nobody.
  start_event_ = NewClientEvent();
  ASSERT_EQ(engine_.SetOneTransferEvent(transfer_event_).status, STATUS_SUCCESS);
  ASSERT_EQ(engine_.Start(start_event_).output, 0x80000001u);
  engine_.Stop(StopWait::kUnlimited);
  EXPECT_FALSE(edge_.SendInterruptMessage(0x00, 0x01));
  EXPECT_FALSE(Fires(start_event_, 20));
  EXPECT_EQ(status_.Get(), 0x80000001u);
}

TEST_F(StreamingEngineTest, UnplugDuringStreamingWakesTheClientAndStopReturns) {
  Arm(4096);
  edge_.Produce(20000);
  EXPECT_TRUE(Eventually([&] { return engine_.Count() == 20000; }));
  edge_.Unplug();
  EXPECT_TRUE(Fires(start_event_));
  EXPECT_EQ(status_.Get(), driver_status::kBulkTransactionError);
  EXPECT_TRUE(engine_.IsDeviceGone());
  // The bus completes the interrupt transfer of a vanished device itself.
  edge_.CompleteInterruptAfterUnplug();
  engine_.Stop(StopWait::kUnlimited);
  EXPECT_EQ(status_.Get(), driver_status::kBulkTransactionError);
  ReadAndCheck();
  EXPECT_EQ(read_, 20000u);
}

TEST_F(StreamingEngineTest, FailedTransferEndsTheStreamAndWakesTheClient) {
  Arm(4096);
  edge_.Produce(8192);
  EXPECT_TRUE(Eventually([&] { return engine_.Count() == 8192; }));
  edge_.FailNextBulk(0xC0000030u);
  EXPECT_TRUE(Fires(start_event_));
  EXPECT_EQ(status_.Get(), driver_status::kBulkTransferFailed);
  EXPECT_FALSE(engine_.IsDeviceGone());
  engine_.Stop(StopWait::kUnlimited);
}

TEST_F(StreamingEngineTest, TransactionErrorThenStopReturnsToIdleAndTheNextStreamRuns) {
  Arm(4096);
  edge_.Produce(8192);
  EXPECT_TRUE(Eventually([&] { return engine_.Count() == 8192; }));
  edge_.FailNextBulk(kUsbdXactError);
  EXPECT_TRUE(Fires(start_event_));
  EXPECT_EQ(status_.Get(), driver_status::kBulkTransactionError);
  engine_.Stop(StopWait::kUnlimited);
  ReadAndCheck();
  // Idle again: the device is still on the bus, so every setting and a new
  // start are accepted and the new stream arrives.
  EXPECT_FALSE(engine_.IsArmed());
  EXPECT_FALSE(engine_.IsDeviceGone());
  status_.Clear();  // as a client does before it starts again
  start_event_ = NewClientEvent();
  Arm(4096);
  edge_.Produce(8192);
  EXPECT_TRUE(Eventually([&] { return engine_.Count() == 8192; }));
  engine_.Stop(StopWait::kUnlimited);
  std::vector<uint8_t> out(engine_.Count());
  ASSERT_EQ(buffer_.Take(out), STATUS_SUCCESS);
  EXPECT_EQ(out.size(), 8192u);
}

TEST_F(StreamingEngineTest, ExactFillThenOverrunKeepsEveryByteStoredBefore) {
  Arm(65536);
  edge_.Produce(kMegabyte + 65536);
  EXPECT_TRUE(Fires(start_event_));
  EXPECT_EQ(status_.Get(), driver_status::kOverrunNotWrapped);
  EXPECT_EQ(engine_.Count(), kMegabyte);
  engine_.Stop(StopWait::kUnlimited);
  ReadAndCheck();
  EXPECT_EQ(read_, kMegabyte);
}

TEST_F(StreamingEngineTest, OverrunOfAWrappedBufferKeepsEveryByteStoredBefore) {
  Arm(65536);
  edge_.Produce(300000);
  EXPECT_TRUE(Eventually([&] { return engine_.Count() == 300000; }));
  ReadAndCheck();
  edge_.Produce(kMegabyte + 65536);
  EXPECT_TRUE(Fires(start_event_));
  EXPECT_EQ(status_.Get(), driver_status::kOverrunWrapped);
  EXPECT_EQ(engine_.Count(), kMegabyte);
  engine_.Stop(StopWait::kUnlimited);
  ReadAndCheck();
  EXPECT_EQ(read_, 300000u + kMegabyte);
}

TEST_F(StreamingEngineTest, LongStreamArrivesIntactWithEightTransfersInFlight) {
  constexpr uint64_t kStream = 2 * kMegabyte + 12345;
  edge_.SetChunkLimit(7000);  // short transfers of uneven size
  constexpr uint64_t kBurst = 256 * 1024;
  Arm(16384);
  // The device sends in bursts the client keeps up with, so the 1 MB
  // buffer never overruns however slowly the checks run.
  for (uint64_t produced = 0; produced < kStream;) {
    const uint64_t burst = std::min(kBurst, kStream - produced);
    edge_.Produce(burst);
    produced += burst;
    while (read_ < produced) {
      ASSERT_TRUE(Fires(transfer_event_)) << "stalled at " << read_;
      ReadAndCheck();
    }
  }
  EXPECT_EQ(edge_.MaxBulkInFlight(), 8u);
  EXPECT_EQ(status_.Get(), driver_status::kNone);
  engine_.Stop(StopWait::kUnlimited);
  EXPECT_EQ(engine_.Count(), 0u);
}

}  // namespace
}  // namespace velix::driver
