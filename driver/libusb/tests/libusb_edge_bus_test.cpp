// The edge on a scripted bus: opening, transfers, removal and shutdown.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "driver/kernel_services.h"
#include "driver/libusb/libusb_lower_edge.h"
#include "driver/libusb/libusb_status_map.h"
#include "driver/libusb/tests/scripted_usb_bus.h"

namespace velix::driver {
namespace {

using namespace std::chrono_literals;
namespace bus = scripted_usb;

constexpr UsbId kOperation{0x1D9A, 0x030A};
constexpr UsbId kUpdate{0x1D9A, 0x030B};
constexpr UsbId kBareController{0x04B4, 0x8613};
constexpr UsbId kLoader{0x1D9A, 0x0221};
// Bounds the wait for something that must happen; only a fault reaches it.
constexpr auto kPatience = 5s;
// How often the edge tries to open a device right after its arrival.
constexpr int kAttemptsAfterArrival = 10;

LibusbEdgeTiming QuickTiming() { return {100ms, 20ms, 5ms}; }

// What the edge told, in order: presence news and transfer completions.
class Journal {
 public:
  void Note(std::string entry) {
    std::lock_guard lock(mu_);
    entries_.push_back(std::move(entry));
    changed_.notify_all();
  }
  bool WaitFor(size_t count) {
    std::unique_lock lock(mu_);
    return changed_.wait_for(lock, kPatience, [&] { return entries_.size() >= count; });
  }
  std::vector<std::string> Entries() {
    std::lock_guard lock(mu_);
    return entries_;
  }
  PresenceListener Listener() {
    return [this](bool present) { Note(present ? "present" : "removed"); };
  }

 private:
  std::mutex mu_;
  std::condition_variable changed_;
  std::vector<std::string> entries_;
};

std::string Describe(UsbdStatus status, uint32_t bytes) {
  if (status == kUsbdSuccess) return "data " + std::to_string(bytes);
  if (status == kUsbdDeviceGone) return "gone";
  if (status == kUsbdCanceled) return "cancelled";
  return "failed";
}

class EdgeOnBusTest : public ::testing::Test {
 protected:
  void SetUp() override { bus::Reset(); }

  // Queues `count` transfers on an IN endpoint; each completion goes to the journal.
  void SubmitIn(LibusbLowerEdge& edge, Endpoint endpoint, int count) {
    for (int i = 0; i < count; ++i) {
      UsbTransfer transfer;
      transfer.id = static_cast<TransferId>(next_id_++);
      transfer.endpoint = endpoint;
      transfer.buffer = buffers_[static_cast<size_t>(transfer.id % buffers_.size())];
      transfer.on_complete = [this](UsbdStatus status, uint32_t bytes) { journal_.Note(Describe(status, bytes)); };
      ASSERT_EQ(edge.Submit(transfer), STATUS_PENDING);
    }
  }

  Journal journal_;
  std::array<std::array<uint8_t, 512>, 16> buffers_{};
  int next_id_ = 1;
};

TEST_F(EdgeOnBusTest, OpensTheBestRankedAnalyzer) {
  struct Case {
    const char* name;
    std::vector<UsbId> bus_order;
    UsbId expected;
  };
  const Case cases[] = {
      {"a bare controller earlier on the bus does not shadow the analyzer", {kBareController, kOperation}, kOperation},
      {"update mode before the loader", {kLoader, kUpdate}, kUpdate},
      {"the loader before a bare controller", {kBareController, kLoader}, kLoader},
      {"a bare controller alone", {kBareController}, kBareController},
  };
  for (const Case& c : cases) {
    bus::Reset();
    for (const UsbId& id : c.bus_order) bus::Plug({id, true, 0});
    LibusbLowerEdge edge(QuickTiming());
    std::string error;
    ASSERT_TRUE(edge.Open(&error)) << c.name << ": " << error;
    ASSERT_TRUE(edge.OpenedDeviceId()) << c.name;
    EXPECT_EQ(*edge.OpenedDeviceId(), c.expected) << c.name;
    for (size_t i = 0; i < c.bus_order.size(); ++i) {
      // Only the opened device loses its kernel driver.
      EXPECT_EQ(bus::KernelDriverBound(static_cast<int>(i)), !(c.bus_order[i] == c.expected)) << c.name;
    }
  }
}

TEST_F(EdgeOnBusTest, GivesTheKernelDriverBackOnClose) {
  const int device = bus::Plug({kOperation, true, 0});
  {
    LibusbLowerEdge edge(QuickTiming());
    std::string error;
    ASSERT_TRUE(edge.Open(&error));
    EXPECT_FALSE(bus::KernelDriverBound(device));
  }
  EXPECT_TRUE(bus::KernelDriverBound(device));
}

TEST_F(EdgeOnBusTest, ExplainsAnAnalyzerItCannotOpen) {
  bus::Plug({kOperation, false, LIBUSB_ERROR_ACCESS});
  LibusbLowerEdge edge(QuickTiming());
  std::string error;
  EXPECT_FALSE(edge.Open(&error));
  EXPECT_EQ(error, AccessDeniedMessage(kOperation));
}

TEST_F(EdgeOnBusTest, RetriesAnArrivalThatCouldNotBeOpenedYet) {
  for (const bool hotplug : {true, false}) {
    bus::Reset(hotplug);
    LibusbLowerEdge edge(QuickTiming());
    Journal journal;
    edge.SetPresenceListener(journal.Listener());
    std::string error;
    ASSERT_TRUE(edge.Open(&error));
    // Permissions not applied yet: every attempt right after the arrival fails.
    const int device = bus::Plug({kOperation, false, LIBUSB_ERROR_ACCESS});
    while (bus::OpenAttempts(device) < kAttemptsAfterArrival) std::this_thread::yield();
    bus::SetOpenError(device, 0);
    ASSERT_TRUE(journal.WaitFor(1)) << "hot-plug " << hotplug;
    EXPECT_EQ(journal.Entries(), std::vector<std::string>{"present"});
    EXPECT_TRUE(edge.OpenedDeviceId());
    edge.SetPresenceListener(nullptr);
  }
}

TEST_F(EdgeOnBusTest, StreamsACommandAndItsReply) {
  bus::Plug({kOperation, false, 0});
  LibusbLowerEdge edge(QuickTiming());
  std::string error;
  ASSERT_TRUE(edge.Open(&error));
  EXPECT_EQ(edge.BulkMaxPacketSize(), 512);

  const std::array<uint8_t, 3> command = {0x01, 0x02, 0x03};
  const SyncTransferResult sent = edge.BulkOut(command, 1000);
  EXPECT_EQ(sent.status, STATUS_SUCCESS);
  EXPECT_EQ(sent.bytes, 3u);
  ASSERT_EQ(bus::BulkOutData().size(), 1u);
  EXPECT_EQ(bus::BulkOutData()[0], std::vector<uint8_t>(command.begin(), command.end()));

  SubmitIn(edge, Endpoint::kBulkIn, 8);
  SubmitIn(edge, Endpoint::kInterruptIn, 1);
  const std::vector<uint8_t> reply(100, 0x5A);
  for (int i = 0; i < 8; ++i) ASSERT_TRUE(bus::CompleteOldest(bus::kBulkIn, reply));
  ASSERT_TRUE(bus::CompleteOldest(bus::kInterruptIn, std::vector<uint8_t>{0x80, 0x00}));
  ASSERT_TRUE(journal_.WaitFor(9));
  std::vector<std::string> expected(8, "data 100");
  expected.push_back("data 2");
  EXPECT_EQ(journal_.Entries(), expected);
  EXPECT_EQ(buffers_[1][99], 0x5A);
}

TEST_F(EdgeOnBusTest, SplitsLongVendorRequestsByAddress) {
  bus::Plug({kOperation, false, 0});
  LibusbLowerEdge edge(QuickTiming());
  std::string error;
  ASSERT_TRUE(edge.Open(&error));

  std::vector<uint8_t> memory(10000);
  const SyncTransferResult read = edge.ControlTransfer({0xE3, 0x1000, 7, true}, memory, 1000);
  EXPECT_EQ(read.status, STATUS_SUCCESS);
  EXPECT_EQ(read.bytes, memory.size());
  const std::vector<bus::ControlCall> calls = bus::VendorCalls();
  ASSERT_EQ(calls.size(), 3u);
  const uint16_t addresses[] = {0x1000, 0x2000, 0x3000};
  const uint16_t lengths[] = {4096, 4096, 1808};
  for (size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i].request, 0xE3);
    EXPECT_EQ(calls[i].value, addresses[i]);
    EXPECT_EQ(calls[i].index, 7);
    EXPECT_EQ(calls[i].length, lengths[i]);
  }
  for (size_t i = 0; i < memory.size(); ++i) ASSERT_EQ(memory[i], static_cast<uint8_t>(0x1000 + i)) << i;

  // Past the end of the 16-bit address space there is nothing to ask for.
  std::vector<uint8_t> beyond(8192);
  EXPECT_EQ(edge.ControlTransfer({0xE3, 0xF000, 0, false}, beyond, 1000).status, STATUS_INVALID_PARAMETER);
  // A short request keeps its wValue whatever it means.
  std::array<uint8_t, 2> small{};
  EXPECT_EQ(edge.ControlTransfer({0xE0, 0xFFFF, 0, true}, small, 1000).status, STATUS_SUCCESS);
}

TEST_F(EdgeOnBusTest, RemovalIsToldBeforeTheTransfersItEnded) {
  const int device = bus::Plug({kOperation, false, 0});
  LibusbLowerEdge edge(QuickTiming());
  std::string error;
  ASSERT_TRUE(edge.Open(&error));
  SubmitIn(edge, Endpoint::kBulkIn, 8);
  const std::vector<uint8_t> data(512, 0x11);
  ASSERT_TRUE(bus::CompleteOldest(bus::kBulkIn, data));
  ASSERT_TRUE(bus::CompleteOldest(bus::kBulkIn, data));
  ASSERT_TRUE(journal_.WaitFor(2));
  edge.SetPresenceListener(journal_.Listener());
  bus::Unplug(device);

  ASSERT_TRUE(journal_.WaitFor(2 + 1 + 1 + 6));
  std::vector<std::string> expected = {"data 512", "data 512", "present", "removed"};
  expected.insert(expected.end(), 6, "gone");
  EXPECT_EQ(journal_.Entries(), expected);
  bus::WaitUntilIdle();
  edge.SetPresenceListener(nullptr);
  EXPECT_EQ(journal_.Entries().size(), expected.size()) << "the removal is told once";
}

TEST_F(EdgeOnBusTest, ABulkOutTheDeviceNeverTakesEnds) {
  struct Case {
    const char* name;
    bool device_dead;  // cancellations never come back either
    std::function<void(LibusbLowerEdge&, int device)> end;
    NtStatus expected;
  };
  const Case cases[] = {
      {"daemon shutdown", false, [](LibusbLowerEdge& edge, int) { edge.Close(); }, STATUS_CANCELLED},
      {"removal", false, [](LibusbLowerEdge&, int device) { bus::Unplug(device); }, STATUS_DEVICE_NOT_CONNECTED},
      {"shutdown of a dead device", true, [](LibusbLowerEdge& edge, int) { edge.Close(); },
       STATUS_DEVICE_NOT_CONNECTED},
  };
  for (const Case& c : cases) {
    bus::Reset();
    const int device = bus::Plug({kOperation, false, 0});
    bus::SetBulkOutAccepted(false);
    bus::SetCancelIgnored(c.device_dead);
    LibusbLowerEdge edge(QuickTiming());
    std::string error;
    ASSERT_TRUE(edge.Open(&error));
    const std::vector<uint8_t> data(64, 0x42);
    auto write = std::async(std::launch::async, [&] { return edge.BulkOut(data, kWaitForever); });
    while (bus::Queued(bus::kBulkOut) == 0) std::this_thread::yield();
    c.end(edge, device);
    ASSERT_EQ(write.wait_for(kPatience), std::future_status::ready) << c.name;
    EXPECT_EQ(write.get().status, c.expected) << c.name;
  }
}

TEST_F(EdgeOnBusTest, TransfersADeadDeviceKeepsAreFinishedOnceWhenItsHandleCloses) {
  bus::Plug({kOperation, false, 0});
  bus::SetCancelIgnored(true);
  {
    LibusbLowerEdge edge(QuickTiming());
    std::string error;
    ASSERT_TRUE(edge.Open(&error));
    SubmitIn(edge, Endpoint::kBulkIn, 8);
    SubmitIn(edge, Endpoint::kInterruptIn, 1);
    edge.Close();
    EXPECT_EQ(journal_.Entries(), std::vector<std::string>(9, "gone"));
    EXPECT_EQ(bus::LiveTransfers(), 0u);
  }
  bus::WaitUntilIdle();
  EXPECT_EQ(journal_.Entries().size(), 9u);
}

TEST_F(EdgeOnBusTest, APortResetThatLosesTheHandleReopensTheDevice) {
  bus::Plug({kOperation, false, 0});
  LibusbLowerEdge edge(QuickTiming());
  std::string error;
  ASSERT_TRUE(edge.Open(&error));
  edge.SetPresenceListener(journal_.Listener());
  bus::SetResetError(LIBUSB_ERROR_NOT_FOUND);
  EXPECT_EQ(edge.ResetPort(), STATUS_DEVICE_NOT_CONNECTED);
  ASSERT_TRUE(journal_.WaitFor(3));
  EXPECT_EQ(journal_.Entries(), (std::vector<std::string>{"present", "removed", "present"}));
  EXPECT_TRUE(edge.OpenedDeviceId());
  edge.SetPresenceListener(nullptr);
}

TEST_F(EdgeOnBusTest, RefusesToClearAHaltUnderQueuedTransfers) {
  bus::Plug({kOperation, false, 0});
  LibusbLowerEdge edge(QuickTiming());
  std::string error;
  ASSERT_TRUE(edge.Open(&error));
  SubmitIn(edge, Endpoint::kBulkIn, 1);
  EXPECT_EQ(edge.ResetPipe(Endpoint::kBulkIn), STATUS_INVALID_DEVICE_STATE);
  EXPECT_EQ(edge.ResetPipe(Endpoint::kBulkOut), STATUS_SUCCESS);
  ASSERT_TRUE(bus::CompleteOldest(bus::kBulkIn, std::vector<uint8_t>(4)));
  ASSERT_TRUE(journal_.WaitFor(1));
  bus::WaitUntilIdle();
  EXPECT_EQ(edge.ResetPipe(Endpoint::kBulkIn), STATUS_SUCCESS);
  EXPECT_EQ(bus::ClearedHalts(), (std::vector<uint8_t>{bus::kBulkOut, bus::kBulkIn}));
}

TEST_F(EdgeOnBusTest, AListenerHearsOfADeviceAlreadyThere) {
  bus::Plug({kOperation, false, 0});
  LibusbLowerEdge edge(QuickTiming());
  std::string error;
  ASSERT_TRUE(edge.Open(&error));
  edge.SetPresenceListener(journal_.Listener());
  EXPECT_EQ(journal_.Entries(), std::vector<std::string>{"present"});
  edge.SetPresenceListener(nullptr);
}

TEST_F(EdgeOnBusTest, ClearingTheListenerWaitsForACallInProgress) {
  LibusbLowerEdge edge(QuickTiming());
  std::string error;
  ASSERT_TRUE(edge.Open(&error));
  std::promise<void> entered;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  edge.SetPresenceListener([&](bool) {
    entered.set_value();
    released.wait();
    journal_.Note("listener returned");
  });
  bus::Plug({kOperation, false, 0});
  entered.get_future().wait();
  std::thread clearing([&] {
    edge.SetPresenceListener(nullptr);
    journal_.Note("cleared");
  });
  // Gives a clearing that does not wait the chance to come first.
  std::this_thread::sleep_for(50ms);
  release.set_value();
  clearing.join();
  EXPECT_EQ(journal_.Entries(), (std::vector<std::string>{"listener returned", "cleared"}));
}

}  // namespace
}  // namespace velix::driver
