// The streaming engine over the simulated analyzer, the way the capture
// will use them: buffer size, per-transfer event, transfer length, start,
// the device's start command, then wait / count / read until the device
// ends the stream; every byte the device sent arrives, in order.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "driver/accumulation_buffer.h"
#include "driver/driver_status.h"
#include "driver/streaming_engine.h"
#include "platform/event.h"
#include "sim/device/simulated_device.h"
#include "sim/synthesizer.h"

namespace velix::driver {
namespace {

constexpr char kScenario[] = R"(
bus i2c0
scl 1m
start
addr 0x50 w
write 00 10 20 30 40 50 60 70
stop
idle 3us
)";

std::vector<uint8_t> Command(std::initializer_list<uint8_t> head) {
  std::vector<uint8_t> packet(10, 0);
  std::copy(head.begin(), head.end(), packet.begin());
  return packet;
}

class EngineWithDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    device_.SetAnalyzerImage(true);
    device_.SetHighSpeed(true);
    device_.Plug();
  }

  // Reads until the client event reports the stream's end, then stops and
  // drains what is left.
  std::vector<uint8_t> Capture() {
    std::vector<uint8_t> received;
    const auto read_waiting = [&] {
      const uint32_t count = engine_.Count();
      if (count == 0) return;
      std::vector<uint8_t> chunk(count);
      EXPECT_EQ(buffer_.Take(chunk), STATUS_SUCCESS);
      received.insert(received.end(), chunk.begin(), chunk.end());
    };
    for (int rounds = 0; rounds < 20000; ++rounds) {
      const platform::Event* events[] = {client_event_.get(), transfer_event_.get()};
      const platform::WaitResult wait = platform::WaitForAny(events, 2000);
      if (wait.status == platform::WaitStatus::kTimeout) break;
      read_waiting();
      if (wait.status == platform::WaitStatus::kSignalled && wait.index == 0) break;
    }
    engine_.Stop(StopWait::kUnlimited);
    read_waiting();
    return received;
  }

  void Start(uint32_t transfer_length) {
    ASSERT_EQ(engine_.SetBufferSize(4), STATUS_SUCCESS);
    ASSERT_EQ(engine_.SetOneTransferEvent(transfer_event_).status, STATUS_SUCCESS);
    ASSERT_EQ(engine_.SetOneTransferLength(transfer_length), STATUS_SUCCESS);
    const RequestOutcome start = engine_.Start(client_event_);
    ASSERT_EQ(start.status, STATUS_SUCCESS);
    ASSERT_EQ(start.output, status_.Get());
    const std::vector<uint8_t> go = Command({0xC4, 0x03, 0x00, 0x00, 0x00});
    ASSERT_EQ(device_.BulkOut(go, 3000).status, STATUS_SUCCESS);
  }

  sim::SimulatedDevice device_;
  DriverStatusWord status_;
  AccumulationBuffer buffer_{status_};
  StreamingEngine engine_{device_, buffer_, status_};
  std::shared_ptr<platform::Event> client_event_ =
      std::make_shared<platform::Event>(platform::Event::Create(platform::ResetMode::kAuto));
  std::shared_ptr<platform::Event> transfer_event_ =
      std::make_shared<platform::Event>(platform::Event::Create(platform::ResetMode::kAuto));
};

TEST_F(EngineWithDeviceTest, EveryByteArrivesInOrder) {
  sim::SynthOptions options;
  options.target_size = 3u << 20;
  sim::SynthResult expected;
  std::string error;
  ASSERT_TRUE(sim::SynthesizeToMemory(kScenario, options, 8u << 20, &expected, &error)) << error;
  ASSERT_TRUE(device_.LoadScenario(kScenario, options, 8u << 20, &error)) << error;
  device_.SetStreamConfig({0, 0, false, true});
  Start(100000);
  const std::vector<uint8_t> received = Capture();
  EXPECT_EQ(received.size(), expected.data.size());
  EXPECT_TRUE(received == expected.data);
  EXPECT_EQ(status_.Get() & 0xFFFF0000u, 0x80000000u) << "the device's end message";
}

// The device's overrun message ends the stream: the client is woken with
// the device's status and still reads every byte the device sent before
// the message, in order — also when it stops the stream right away.
TEST_F(EngineWithDeviceTest, OverrunKeepsEveryByteSentBeforeIt) {
  sim::SynthOptions options;
  options.target_size = 2u << 20;
  std::string error;
  ASSERT_TRUE(device_.LoadScenario(kScenario, options, 8u << 20, &error)) << error;
  device_.SetStreamConfig({0, 65536, true, true});
  device_.ScheduleFault(sim::FaultKind::kFifoOverrun, 700000);
  Start(65536);
  const std::vector<uint8_t> received = Capture();
  EXPECT_EQ(status_.Get(), 0x80000001u);
  const sim::StreamRecord sent = device_.SentRecord();
  EXPECT_EQ(sent.data.size(), 700000u);
  EXPECT_TRUE(received == sent.data);
}

}  // namespace
}  // namespace velix::driver
