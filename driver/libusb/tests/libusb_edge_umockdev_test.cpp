// The edge over the real libusb, on an emulated bus (umockdev): enumeration,
// kernel drivers, transfers as libusb submits and reaps them, udev's news of
// arrivals and removals.
#include <gtest/gtest.h>

#include <atomic>
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
#include "driver/libusb/tests/emulated_usbfs.h"

namespace velix::driver {
namespace {

using namespace std::chrono_literals;
using emulated::EmulatedUsbBus;

constexpr UsbId kOperation{0x1D9A, 0x030A};
constexpr UsbId kUpdate{0x1D9A, 0x030B};
constexpr UsbId kBareController{0x04B4, 0x8613};
constexpr UsbId kLoader{0x1D9A, 0x0221};
constexpr UsbId kMouse{0x046D, 0xC52B};
constexpr auto kPatience = 10s;

LibusbEdgeTiming QuickTiming() { return {200ms, 50ms, 10ms}; }

bool WaitUntil(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

class Journal {
 public:
  void Note(std::string entry) {
    std::lock_guard lock(mu_);
    entries_.push_back(std::move(entry));
  }
  size_t Size() {
    std::lock_guard lock(mu_);
    return entries_.size();
  }
  std::vector<std::string> Entries() {
    std::lock_guard lock(mu_);
    return entries_;
  }
  PresenceListener Listener() {
    return [this](bool present) { Note(present ? "present" : "removed"); };
  }
  TransferCompletion Completion() {
    return [this](UsbdStatus status, uint32_t bytes) {
      Note(status == kUsbdSuccess     ? "data " + std::to_string(bytes)
           : status == kUsbdDeviceGone ? "gone"
                                       : "failed");
    };
  }

 private:
  std::mutex mu_;
  std::vector<std::string> entries_;
};

class EdgeOnEmulatedBusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!EmulatedUsbBus::Available()) GTEST_SKIP() << "needs umockdev's preload (run under umockdev-wrapper)";
  }
};

TEST_F(EdgeOnEmulatedBusTest, OpensTheBestRankedAnalyzerAndLeavesTheOthersAlone) {
  struct Case {
    const char* name;
    std::vector<UsbId> bus_order;
    size_t expected;  // index into bus_order
  };
  const Case cases[] = {
      // libusb lists devices in an order of its own: each pair comes in both.
      {"a bare board first", {kMouse, kBareController, kOperation}, 2},
      {"a bare board last", {kOperation, kBareController, kMouse}, 0},
      {"all four identities", {kBareController, kLoader, kUpdate, kOperation}, 3},
      {"all four identities, reversed", {kOperation, kUpdate, kLoader, kBareController}, 0},
      {"the loader and a bare board", {kBareController, kLoader}, 1},
      {"a bare board and the loader", {kLoader, kBareController}, 0},
  };
  for (const Case& c : cases) {
    EmulatedUsbBus bus;
    for (const UsbId& id : c.bus_order) bus.Plug(id, "usbhid");
    LibusbLowerEdge edge(QuickTiming());
    std::string error;
    ASSERT_TRUE(edge.Open(&error)) << c.name << ": " << error;
    ASSERT_TRUE(edge.OpenedDeviceId()) << c.name;
    EXPECT_EQ(*edge.OpenedDeviceId(), c.bus_order[c.expected]) << c.name;
    for (size_t i = 0; i < c.bus_order.size(); ++i) {
      const bool chosen = i == c.expected;
      EXPECT_EQ(bus.Claimed(static_cast<int>(i)), chosen) << c.name << " device " << i;
      EXPECT_EQ(bus.KernelDriverBound(static_cast<int>(i)), !chosen) << c.name << " device " << i;
    }
  }
}

TEST_F(EdgeOnEmulatedBusTest, ReleasesTheDeviceAndGivesBackItsKernelDriver) {
  for (const std::string driver : {"", "usbhid"}) {
    EmulatedUsbBus bus;
    const int device = bus.Plug(kOperation, driver);
    {
      LibusbLowerEdge edge(QuickTiming());
      std::string error;
      ASSERT_TRUE(edge.Open(&error)) << error;
      EXPECT_TRUE(bus.Claimed(device));
    }
    EXPECT_FALSE(bus.Claimed(device));
    EXPECT_EQ(bus.KernelDriverBound(device), !driver.empty()) << "driver '" << driver << "'";
  }
}

TEST_F(EdgeOnEmulatedBusTest, StreamsSendsCommandsAndMakesVendorRequests) {
  EmulatedUsbBus bus;
  const int device = bus.Plug(kOperation);
  LibusbLowerEdge edge(QuickTiming());
  std::string error;
  ASSERT_TRUE(edge.Open(&error)) << error;

  const std::vector<uint8_t> command = {0xC4, 0x01, 0x00};
  EXPECT_EQ(edge.BulkOut(command, 1000).status, STATUS_SUCCESS);
  ASSERT_EQ(bus.BulkOutData(device), std::vector<std::vector<uint8_t>>{command});

  Journal journal;
  std::vector<std::vector<uint8_t>> buffers(8, std::vector<uint8_t>(512));
  for (size_t i = 0; i < buffers.size(); ++i) {
    ASSERT_EQ(edge.Submit({i + 1, Endpoint::kBulkIn, buffers[i], journal.Completion()}), STATUS_PENDING);
  }
  ASSERT_TRUE(WaitUntil([&] { return bus.Queued(device, emulated::kBulkIn) == 8; }));
  for (uint8_t i = 0; i < 8; ++i) ASSERT_TRUE(bus.CompleteBulkIn(device, std::vector<uint8_t>(100 + i, i)));
  ASSERT_TRUE(WaitUntil([&] { return journal.Size() == 8; }));
  for (size_t i = 0; i < 8; ++i) {
    EXPECT_EQ(journal.Entries()[i], "data " + std::to_string(100 + i));
    EXPECT_EQ(buffers[i][99], i);
  }

  std::vector<uint8_t> memory(9000);
  const SyncTransferResult read = edge.ControlTransfer({0xE3, 0x0100, 0, true}, memory, 1000);
  EXPECT_EQ(read.status, STATUS_SUCCESS);
  EXPECT_EQ(read.bytes, memory.size());
  const std::vector<emulated::VendorCall> calls = bus.VendorCalls(device);
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[1].value, 0x1100);
  EXPECT_EQ(calls[2].length, 9000 - 2 * 4096);
  for (size_t i = 0; i < memory.size(); ++i) ASSERT_EQ(memory[i], static_cast<uint8_t>(0x0100 + i)) << i;
}

TEST_F(EdgeOnEmulatedBusTest, ABulkOutTheDeviceRefusesEndsAtShutdown) {
  EmulatedUsbBus bus;
  const int device = bus.Plug(kOperation);
  bus.SetBulkOutRefused(device, true);
  LibusbLowerEdge edge(QuickTiming());
  std::string error;
  ASSERT_TRUE(edge.Open(&error)) << error;
  const std::vector<uint8_t> data(64, 0x42);
  auto write = std::async(std::launch::async, [&] { return edge.BulkOut(data, kWaitForever); });
  ASSERT_TRUE(WaitUntil([&] { return bus.Queued(device, emulated::kBulkOut) == 1; }));
  edge.Close();
  ASSERT_EQ(write.wait_for(kPatience), std::future_status::ready);
  EXPECT_EQ(write.get().status, STATUS_CANCELLED);
}

TEST_F(EdgeOnEmulatedBusTest, RemovalMidStreamKeepsWhatCameBeforeAndIsToldFirst) {
  EmulatedUsbBus bus;
  const int device = bus.Plug(kOperation);
  LibusbLowerEdge edge(QuickTiming());
  std::string error;
  ASSERT_TRUE(edge.Open(&error)) << error;
  Journal journal;
  std::vector<std::vector<uint8_t>> buffers(8, std::vector<uint8_t>(512));
  for (size_t i = 0; i < buffers.size(); ++i) {
    ASSERT_EQ(edge.Submit({i + 1, Endpoint::kBulkIn, buffers[i], journal.Completion()}), STATUS_PENDING);
  }
  ASSERT_TRUE(WaitUntil([&] { return bus.Queued(device, emulated::kBulkIn) == 8; }));
  ASSERT_TRUE(bus.CompleteBulkIn(device, std::vector<uint8_t>(512, 0x11)));
  ASSERT_TRUE(bus.CompleteBulkIn(device, std::vector<uint8_t>(300, 0x22)));
  ASSERT_TRUE(WaitUntil([&] { return journal.Size() == 2; }));
  edge.SetPresenceListener(journal.Listener());
  bus.Unplug(device);
  ASSERT_TRUE(WaitUntil([&] { return !edge.OpenedDeviceId() && journal.Size() == 2 + 1 + 1 + 6; }));
  std::vector<std::string> expected = {"data 512", "data 300", "present", "removed"};
  expected.insert(expected.end(), 6, "gone");
  EXPECT_EQ(journal.Entries(), expected);
  EXPECT_EQ(buffers[1][299], 0x22);
  edge.SetPresenceListener(nullptr);
}

TEST_F(EdgeOnEmulatedBusTest, HearsArrivalsFromUdevAndStopsHearingOnceCleared) {
  EmulatedUsbBus bus;
  LibusbLowerEdge edge(QuickTiming());
  std::string error;
  ASSERT_TRUE(edge.Open(&error)) << error;
  std::atomic<bool> owner_alive{true};
  std::atomic<int> calls_after_clearing{0};
  Journal journal;
  edge.SetPresenceListener([&](bool present) {
    if (!owner_alive.load()) calls_after_clearing.fetch_add(1);
    journal.Note(present ? "present" : "removed");
  });
  const int first = bus.Plug(kOperation);
  ASSERT_TRUE(WaitUntil([&] { return journal.Size() == 1; }));
  EXPECT_EQ(journal.Entries(), std::vector<std::string>{"present"});

  // Plug events keep coming while the listener's owner goes away.
  bus.Unplug(first);
  bus.Plug(kUpdate);
  edge.SetPresenceListener(nullptr);
  owner_alive.store(false);
  bus.Plug(kLoader);
  edge.Close();
  EXPECT_EQ(calls_after_clearing.load(), 0);
}

}  // namespace
}  // namespace velix::driver
