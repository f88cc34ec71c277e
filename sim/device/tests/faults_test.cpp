// Injected faults as the driver's reader sees them, unplugging with
// transfers in flight, cancellation and replies that come too late.
#include <gtest/gtest.h>

#include "device_commands.h"
#include "reader_host.h"
#include "sim/device/simulated_device.h"

namespace velix::sim {
namespace {

using testing::Packet;
using testing::ReaderHost;
using testing::ReadBulkIn;
using testing::Send;

constexpr uint64_t kFaultAt = 10'000;

StreamData Pattern(size_t size) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 31 + (i >> 9));
  return std::make_shared<const std::vector<uint8_t>>(std::move(bytes));
}

std::vector<uint8_t> Prefix(const StreamData& data, uint64_t n) {
  return std::vector<uint8_t>(data->begin(), data->begin() + static_cast<std::ptrdiff_t>(n));
}

struct FaultCase {
  const char* name;
  FaultKind kind;
  driver::UsbdStatus error;
  bool overrun_message;
};

class ScheduledFaultTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(ScheduledFaultTest, StreamBreaksExactlyAtTheScheduledByte) {
  const FaultCase& c = GetParam();
  const StreamData data = Pattern(100'000);
  SimulatedDevice device;
  device.Plug();
  device.SetStreamData(data);
  device.ScheduleFault(c.kind, kFaultAt);
  ReaderHost host(&device, 4096);
  ASSERT_TRUE(host.Start());
  ASSERT_TRUE(Send(&device, Packet({0xC4, 0x01})));
  const testing::HostResult result = host.Collect();
  EXPECT_EQ(result.data, Prefix(data, kFaultAt));
  EXPECT_EQ(result.error, c.error);
  EXPECT_EQ(result.message.has_value(), c.overrun_message);
  if (c.overrun_message) {
    EXPECT_EQ((*result.message)[0], 0x00);
    EXPECT_EQ((*result.message)[1], 0x01);
    EXPECT_FALSE(device.streaming());
  }
  // After a transaction error the device goes on with the next transfers.
  if (c.kind != FaultKind::kTransferError) {
    EXPECT_EQ(device.SentRecord().bytes, kFaultAt);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ScheduledFaultTest,
    ::testing::Values(FaultCase{"FifoOverrun", FaultKind::kFifoOverrun, driver::kUsbdSuccess, true},
                      FaultCase{"Stall", FaultKind::kStallBulkIn, driver::kUsbdStallPid, false},
                      FaultCase{"TransferError", FaultKind::kTransferError, driver::kUsbdXactError, false},
                      FaultCase{"Unplug", FaultKind::kUnplug, kUsbdDeviceGone, false}),
    [](const ::testing::TestParamInfo<FaultCase>& param_info) { return std::string(param_info.param.name); });

TEST(DeviceFaultTest, StalledPipeResumesAfterReset) {
  const StreamData data = Pattern(6000);
  SimulatedDevice device;
  device.Plug();
  device.SetStreamData(data);
  device.ScheduleFault(FaultKind::kStallBulkIn, 4000);
  ASSERT_TRUE(Send(&device, Packet({0xC4, 0x01})));
  EXPECT_EQ(ReadBulkIn(&device, 4096).bytes, Prefix(data, 4000));
  EXPECT_EQ(ReadBulkIn(&device, 4096).status, driver::kUsbdStallPid);
  EXPECT_EQ(ReadBulkIn(&device, 4096).status, driver::kUsbdStallPid);
  ASSERT_EQ(device.ResetPipe(driver::Endpoint::kBulkIn), driver::STATUS_SUCCESS);
  const testing::ReadResult rest = ReadBulkIn(&device, 4096);
  EXPECT_EQ(rest.status, driver::kUsbdSuccess);
  EXPECT_EQ(rest.bytes, std::vector<uint8_t>(data->begin() + 4000, data->end()));
}

TEST(DeviceFaultTest, OverrunOnDemandWhileStreaming) {
  SimulatedDevice device;
  device.Plug();
  device.SetStreamData(Pattern(1 << 20));
  device.SetStreamConfig({1'000'000, 0, false});
  ReaderHost host(&device, 512);
  ASSERT_TRUE(host.Start());
  ASSERT_TRUE(Send(&device, Packet({0xC4, 0x01})));
  const testing::HostResult first = host.Collect(2048);
  ASSERT_EQ(first.data.size(), 2048u);
  device.ScheduleFault(FaultKind::kFifoOverrun, 0);
  const testing::HostResult rest = host.Collect();
  ASSERT_TRUE(rest.message.has_value());
  EXPECT_EQ((*rest.message)[1], 0x01);
  EXPECT_LT(device.SentRecord().bytes, uint64_t{1} << 20);
}

TEST(DeviceFaultTest, UnplugCompletesEveryOutstandingTransfer) {
  SimulatedDevice device;
  device.Plug();
  ReaderHost host(&device, 512);
  ASSERT_TRUE(host.Start());
  device.Unplug();
  const std::vector<driver::UsbdStatus> statuses = host.OutstandingStatuses();
  EXPECT_EQ(statuses, std::vector<driver::UsbdStatus>(ReaderHost::kSlots, kUsbdDeviceGone));
  EXPECT_FALSE(host.Start());
}

TEST(DeviceFaultTest, CancelCompletesWithCanceledAndUnknownIdsAreIgnored) {
  SimulatedDevice device;
  device.Plug();
  device.Cancel(12345);
  const testing::ReadResult read = ReadBulkIn(&device, 512, std::chrono::milliseconds(20));
  EXPECT_EQ(read.status, driver::kUsbdCanceled);
  EXPECT_TRUE(read.bytes.empty());
}

TEST(DeviceFaultTest, SlowReplyArrivesOnlyAfterItsDelay) {
  SimulatedDevice device;
  device.Plug();
  device.SetReplyDelay(std::chrono::milliseconds(300));
  const auto sent = std::chrono::steady_clock::now();
  ASSERT_TRUE(Send(&device, Packet({0xC8, 0, 0, 0, 0, 0, 0, 0, 4})));
  // A host that gives up early sees nothing...
  EXPECT_EQ(ReadBulkIn(&device, 4, std::chrono::milliseconds(100)).status, driver::kUsbdCanceled);
  // ...and one that waits long enough gets the reply.
  const testing::ReadResult late = ReadBulkIn(&device, 4, std::chrono::milliseconds(600));
  EXPECT_EQ(late.status, driver::kUsbdSuccess);
  EXPECT_EQ(late.bytes, std::vector<uint8_t>({0, 0, 0, 1}));
  EXPECT_GE(std::chrono::steady_clock::now() - sent, std::chrono::milliseconds(300));
}

}  // namespace
}  // namespace velix::sim
