#include "tools/velixctl/stream_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "velix/device_interface.h"
#include "tools/velixctl/requests.h"
#include "tools/velixctl/stream_checksum.h"
#include "tools/velixctl/tests/fake_device.h"

namespace velix::ctl {
namespace {

using testing::FakeDevice;
using testing::StreamByte;

uint64_t ExpectedChecksum(uint64_t count) {
  uint64_t checksum = kStreamChecksumSeed;
  for (uint64_t i = 0; i < count; ++i) {
    const uint8_t byte = StreamByte(i);
    checksum = StreamChecksum(checksum, {&byte, 1});
  }
  return checksum;
}

struct Collected {
  std::vector<uint8_t> bytes;
  StreamSink Sink() {
    return [this](std::span<const uint8_t> block) {
      bytes.insert(bytes.end(), block.begin(), block.end());
      return true;
    };
  }
};

TEST(RunStream, FollowsTheClientOrderAndDrainsAfterTheStop) {
  FakeDevice device;
  device.device_bytes = 10000;
  device.transfer_bytes = 3000;
  StreamOptions options;
  options.bytes = 5000;
  options.buffer_megabytes = 2;
  options.transfer_length = 0x20000;
  options.start_packet = {0x0A, 0x01};
  options.stop_packet = {0x0B};
  Collected collected;

  const StreamResult result = RunStream(device, options, collected.Sink());

  EXPECT_EQ(device.CallNames(),
            (std::vector<std::string>{"SET_BUFFER_SIZE", "RESET_BUFFER", "SET_ONE_TRANSFER_EVENT",
                                      "SET_ONE_TRANSFER_LENGTH", "BULK_START", "write", "GET_COUNT", "read", "GET_COUNT", "read",
                                      "write", "BULK_STOP", "GET_COUNT", "read"}));
  EXPECT_EQ(device.calls[0].input, std::vector<uint8_t>{2});
  EXPECT_EQ(device.calls[3].input, (std::vector<uint8_t>{0x00, 0x00, 0x02, 0x00}));
  EXPECT_EQ(device.calls[5].input, options.start_packet);
  EXPECT_EQ(device.calls[7].input, LittleEndian32(3000));  // exactly the count
  EXPECT_EQ(device.calls[10].input, options.stop_packet);
  ASSERT_TRUE(device.transfer_event.Valid());
  ASSERT_TRUE(device.start_event.Valid());

  ASSERT_TRUE(result.started);
  EXPECT_FALSE(result.failure);
  EXPECT_EQ(result.ended, StreamEnd::kCount);
  // The transfer stored while the run ended is read after the stop.
  EXPECT_EQ(result.bytes, 9000u);
  EXPECT_EQ(result.checksum, ExpectedChecksum(9000));
  ASSERT_EQ(collected.bytes.size(), 9000u);
  for (size_t i = 0; i < collected.bytes.size(); ++i) ASSERT_EQ(collected.bytes[i], StreamByte(i)) << i;

  std::string text;
  AppendStreamResult(&text, result);
  char checksum[32];
  std::snprintf(checksum, sizeof checksum, "0x%016llx", static_cast<unsigned long long>(ExpectedChecksum(9000)));
  EXPECT_EQ(text, std::string("bytes=9000\nchecksum=") + checksum + "\nended=count\n");
}

TEST(RunStream, EndsOnTheStartEventOrTheTimeOut) {
  struct Case {
    const char* name;
    std::optional<uint64_t> message_after;
    bool signal_transfers;
    StreamEnd ended;
    uint64_t bytes;
  };
  const std::vector<Case> cases{
      {"device message", 4000, true, StreamEnd::kEvent, 4000},
      {"message before any data", 0, true, StreamEnd::kEvent, 0},
      // Without transfer events nothing is read until the stop's drain.
      {"silent", std::nullopt, false, StreamEnd::kTimeout, 1000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeDevice device;
    device.device_bytes = 1u << 20;
    device.message_after = c.message_after;
    device.signal_transfers = c.signal_transfers;
    StreamOptions options;
    options.bytes = 1u << 20;
    options.timeout_ms = 60;
    Collected collected;
    const auto began = std::chrono::steady_clock::now();
    const StreamResult result = RunStream(device, options, collected.Sink());
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::milliseconds(500));
    EXPECT_EQ(result.ended, c.ended);
    EXPECT_FALSE(result.failure);
    EXPECT_EQ(result.bytes, c.bytes);
    EXPECT_EQ(result.checksum, ExpectedChecksum(c.bytes));
    // What is left is asked for after the stop.
    const std::vector<std::string> names = device.CallNames();
    const auto stop = std::find(names.begin(), names.end(), "BULK_STOP");
    ASSERT_NE(stop, names.end());
    ASSERT_NE(stop + 1, names.end());
    EXPECT_EQ(*(stop + 1), "GET_COUNT");
  }
}

TEST(RunStream, StopsAfterAStartThatReportsAFailureInItsOutput) {
  for (const uint32_t start_output : {5u, 6u, 29u, 0x80000001u}) {
    FakeDevice device;
    device.start_output = start_output;
    StreamOptions options;
    options.bytes = 100;
    options.start_packet = {0x0A};
    Collected collected;
    const StreamResult result = RunStream(device, options, collected.Sink());
    EXPECT_EQ(device.CallNames(), (std::vector<std::string>{"SET_BUFFER_SIZE", "RESET_BUFFER", "SET_ONE_TRANSFER_EVENT",
                                                            "SET_ONE_TRANSFER_LENGTH", "BULK_START",
                                                            "BULK_STOP"}));
    EXPECT_FALSE(result.started);
    EXPECT_EQ(result.start_status, start_output);
    std::string text;
    AppendStreamResult(&text, result);
    EXPECT_EQ(text, "startstatus=" + FormatStatusWord(start_output) + "\n");
  }
}

TEST(RunStream, ReportsTheFirstFailedRequest) {
  const RequestResult refused{false, 31, driver::STATUS_UNSUCCESSFUL, 0};
  struct Case {
    uint32_t failing_code;
    std::string step;
    size_t calls;
  };
  const std::vector<Case> cases{
      {driver::IOCTL_BULKUSB_SET_BUFFER_SIZE, "SET_BUFFER_SIZE", 1},
      {driver::IOCTL_BULKUSB_RESET_BUFFER, "RESET_BUFFER", 2},
      {driver::IOCTL_BULKUSB_SET_ONE_TRANSFER_EVENT, "SET_ONE_TRANSFER_EVENT", 3},
      {driver::IOCTL_BULKUSB_SET_ONE_TRANSFER_LENGTH, "SET_ONE_TRANSFER_LENGTH", 4},
      {driver::IOCTL_BULKUSB_BULK_START, "BULK_START", 6},  // a stop follows
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step);
    FakeDevice device;
    device.answers[c.failing_code] = {refused, {}};
    Collected collected;
    const StreamResult result = RunStream(device, StreamOptions{}, collected.Sink());
    EXPECT_EQ(device.calls.size(), c.calls);
    EXPECT_FALSE(result.started);
    std::string text;
    AppendStreamResult(&text, result);
    EXPECT_EQ(text, "failed=" + c.step + "\nerror=31\nstatus=0xC0000001\ninformation=0\n");
  }
}

TEST(RunStream, FailedReadOrSaveStillStopsTheDriver) {
  for (const bool save_fails : {false, true}) {
    FakeDevice device;
    device.device_bytes = 10000;
    device.reads_fail = !save_fails;
    StreamOptions options;
    options.bytes = 10000;
    options.stop_packet = {0x0B};
    const StreamResult result =
        RunStream(device, options, [save_fails](std::span<const uint8_t>) { return !save_fails; });
    ASSERT_TRUE(result.failure);
    EXPECT_EQ(result.failure->step, save_fails ? "save" : "read");
    EXPECT_FALSE(result.ended);
    const std::vector<std::string> names = device.CallNames();
    const auto stop = std::find(names.begin(), names.end(), "BULK_STOP");
    ASSERT_NE(stop, names.end());
    EXPECT_EQ(*(stop - 1), "write");  // the device's stop packet first
  }
}

}  // namespace
}  // namespace velix::ctl
