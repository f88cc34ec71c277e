// The edge without an analyzer: every call must fail cleanly and say why.
#include "driver/libusb/libusb_lower_edge.h"

#include <gtest/gtest.h>

#include <array>

namespace velix::driver {
namespace {

void ExpectNoDevice(LibusbLowerEdge& edge) {
  std::array<uint8_t, 64> buffer{};
  int completions = 0;
  UsbTransfer transfer;
  transfer.id = 1;
  transfer.endpoint = Endpoint::kBulkIn;
  transfer.buffer = buffer;
  transfer.on_complete = [&](UsbdStatus, uint32_t) { ++completions; };
  EXPECT_EQ(edge.Submit(transfer), STATUS_DEVICE_NOT_CONNECTED);
  edge.Cancel(1);
  EXPECT_EQ(completions, 0);

  EXPECT_EQ(edge.BulkOut(buffer, 100).status, STATUS_DEVICE_NOT_CONNECTED);
  EXPECT_EQ(edge.ControlTransfer(VendorRequest{0xE0, 0, 0, true}, buffer, 100).status, STATUS_DEVICE_NOT_CONNECTED);
  EXPECT_EQ(edge.ResetPipe(Endpoint::kBulkIn), STATUS_DEVICE_NOT_CONNECTED);
  EXPECT_EQ(edge.ResetPort(), STATUS_DEVICE_NOT_CONNECTED);
  EXPECT_EQ(edge.ClearControlHalt(), STATUS_DEVICE_NOT_CONNECTED);

  uint32_t port = 0xFFFFFFFFu;
  EXPECT_EQ(edge.GetPortStatus(&port), STATUS_SUCCESS);
  EXPECT_EQ(port, 0u);  // neither connected nor enabled: the driver will not reset it

  uint32_t length = 99;
  EXPECT_EQ(edge.GetDescriptor(DescriptorType::kConfiguration, buffer, &length), STATUS_DEVICE_NOT_CONNECTED);
  EXPECT_EQ(length, 0u);
  EXPECT_EQ(edge.BulkMaxPacketSize(), 0);
  EXPECT_FALSE(edge.OpenedDeviceId());
}

TEST(LibusbLowerEdgeTest, RefusesTransfersThatCanNeverStart) {
  LibusbLowerEdge edge;
  std::array<uint8_t, 2> message{};
  struct Case {
    const char* name;
    Endpoint endpoint;
    std::span<uint8_t> buffer;
    bool with_callback;
  };
  const Case cases[] = {
      {"bulk OUT is synchronous only", Endpoint::kBulkOut, message, true},
      {"empty buffer", Endpoint::kInterruptIn, {}, true},
      {"no completion", Endpoint::kInterruptIn, message, false},
  };
  for (const Case& c : cases) {
    UsbTransfer transfer;
    transfer.endpoint = c.endpoint;
    transfer.buffer = c.buffer;
    if (c.with_callback) transfer.on_complete = [](UsbdStatus, uint32_t) {};
    EXPECT_EQ(edge.Submit(transfer), STATUS_INVALID_PARAMETER) << c.name;
  }
  EXPECT_EQ(edge.GetPortStatus(nullptr), STATUS_INVALID_PARAMETER);
  EXPECT_EQ(edge.GetDescriptor(DescriptorType::kDevice, message, nullptr), STATUS_INVALID_PARAMETER);
}

TEST(LibusbLowerEdgeTest, BeforeOpenNothingIsConnected) {
  LibusbLowerEdge edge;
  ExpectNoDevice(edge);
}

TEST(LibusbLowerEdgeTest, OpenWithoutAnAnalyzerExplainsAndStaysUsable) {
  LibusbLowerEdge edge;
  int presence_reports = 0;
  edge.SetPresenceListener([&](bool) { ++presence_reports; });
  std::string error;
  const bool opened = edge.Open(&error);
  if (error.rfind("USB access could not start", 0) == 0) GTEST_SKIP() << error;
  if (edge.OpenedDeviceId()) GTEST_SKIP() << "an analyzer is attached to this machine";
  // An empty bus is no failure: the edge waits for an analyzer to arrive.
  EXPECT_TRUE(opened);
  EXPECT_EQ(error, NoAnalyzerMessage());
  ExpectNoDevice(edge);
  EXPECT_EQ(presence_reports, 0);
}

}  // namespace
}  // namespace velix::driver
