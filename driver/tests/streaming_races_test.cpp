// Stop, close and unplug racing a live stream, over the device object and
// the simulated analyzer: whatever the interleaving, every call returns,
// the stream ends, and what the device sent before the end is stored in
// order. Run in a loop so that the thread sanitizer sees many interleavings.

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "driver/device_object.h"
#include "driver/driver_status.h"
#include "platform/event.h"
#include "sim/device/simulated_device.h"

namespace velix::driver {
namespace {

constexpr int kRounds = 6;

std::vector<uint8_t> U32(uint32_t value) {
  return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
          static_cast<uint8_t>(value >> 24)};
}

std::shared_ptr<const std::vector<uint8_t>> Pattern(size_t size) {
  auto data = std::make_shared<std::vector<uint8_t>>(size);
  for (size_t i = 0; i < size; ++i) (*data)[i] = static_cast<uint8_t>(i * 7 + (i >> 9));
  return data;
}

enum class Race { kStop, kCloseWhileStopping, kUnplug, kUnplugWhileStopping };

class StreamingRaces : public ::testing::TestWithParam<Race> {
 protected:
  ControlResult Control(uint32_t code, std::vector<uint8_t> input = {},
                        std::shared_ptr<platform::Event> event = nullptr) {
    ControlRequest request;
    request.code = code;
    request.input = input;
    request.output_size = 4;
    request.event = std::move(event);
    return object_->DeviceControl(handle_.get(), request);
  }

  // One stream from start to the race; the device runs at a pace that keeps
  // transfers in flight when the race strikes.
  void RunRound(int round) {
    device_ = std::make_unique<sim::SimulatedDevice>();
    device_->SetStreamData(Pattern(4 << 20));
    device_->SetStreamConfig({200'000'000, 16384, false});
    device_->Plug();
    object_ = std::make_unique<DeviceObject>(*device_);
    ASSERT_EQ(object_->StartDevice(), STATUS_SUCCESS);
    handle_ = object_->Create(std::string_view()).handle;
    ASSERT_TRUE(handle_);
    auto client_event = std::make_shared<platform::Event>(platform::Event::Create(platform::ResetMode::kManual));
    ASSERT_EQ(Control(IOCTL_BULKUSB_SET_BUFFER_SIZE, {16}).status, STATUS_SUCCESS);
    ASSERT_EQ(Control(IOCTL_BULKUSB_SET_ONE_TRANSFER_LENGTH, U32(16384)).status, STATUS_SUCCESS);
    ASSERT_EQ(Control(IOCTL_BULKUSB_BULK_START, U32(1), client_event).output, U32(0));
    const std::vector<uint8_t> go = {0xC4, 0x01, 0, 0, 0, 0, 0, 0, 0, 0};
    ASSERT_EQ(object_->Write(handle_.get(), go).status, STATUS_SUCCESS);
    std::this_thread::sleep_for(std::chrono::microseconds(500 * round));

    switch (GetParam()) {
      case Race::kStop: {
        std::thread reader([&] { Control(IOCTL_BULKUSB_GET_COUNT); });
        Control(IOCTL_BULKUSB_BULK_STOP);
        reader.join();
        break;
      }
      case Race::kCloseWhileStopping: {
        std::thread stopper([&] { Control(IOCTL_BULKUSB_BULK_STOP); });
        object_->Close(handle_.get());
        stopper.join();
        break;
      }
      case Race::kUnplug:
        device_->Unplug();
        object_->SurpriseRemoval();
        EXPECT_EQ(client_event->Wait(5000).status, platform::WaitStatus::kSignalled);
        break;
      case Race::kUnplugWhileStopping: {
        std::thread stopper([&] { Control(IOCTL_BULKUSB_BULK_STOP); });
        device_->Unplug();
        object_->SurpriseRemoval();
        stopper.join();
        break;
      }
    }
    ExpectStoredPrefixOfStream();
    // A device that left stays marked gone.
    const bool unplugged = GetParam() == Race::kUnplug || GetParam() == Race::kUnplugWhileStopping;
    EXPECT_EQ(object_->Engine().IsDeviceGone(), unplugged);
    if (!unplugged) {
      EXPECT_FALSE(object_->Engine().IsArmed());
    }
    if (GetParam() != Race::kCloseWhileStopping) object_->Close(handle_.get());
    object_->RemoveDevice();
    EXPECT_EQ(object_->OpenHandles(), 0);
  }

  // What the buffer holds is exactly the start of what the device sent.
  void ExpectStoredPrefixOfStream() {
    const uint32_t count = object_->Buffer().Count();
    std::vector<uint8_t> stored(count);
    if (count > 0) {
      ASSERT_EQ(object_->Buffer().Take(stored), STATUS_SUCCESS);
    }
    const auto expected = Pattern(count);
    EXPECT_TRUE(stored == *expected);
  }

  std::unique_ptr<sim::SimulatedDevice> device_;
  std::unique_ptr<DeviceObject> object_;
  std::unique_ptr<HandleContext> handle_;
};

TEST_P(StreamingRaces, EveryCallReturnsAndTheStoredDataAreAPrefix) {
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE(round);
    RunRound(round);
    object_.reset();
    device_.reset();
  }
}

INSTANTIATE_TEST_SUITE_P(Races, StreamingRaces,
                         ::testing::Values(Race::kStop, Race::kCloseWhileStopping, Race::kUnplug,
                                           Race::kUnplugWhileStopping));

}  // namespace
}  // namespace velix::driver
