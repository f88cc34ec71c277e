// Streaming through the daemon: every byte the simulated device sends
// arrives, in order, in another process; faults end the stream with the
// right status and keep what was stored before them.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>
#include <sstream>

#include "driver/daemon/tests/daemon_process.h"
#include "driver/daemon/tests/device_client.h"
#include "sim/device/stream_source.h"
#include "sim/synthesizer.h"

namespace velix::daemon::testing {
namespace {

using namespace velix::driver;
using platform::CloseDeviceFile;
using platform::CreateDeviceFile;

const std::vector<uint8_t> kStartSampling = Packet({0xC4, 0x01});
const std::vector<uint8_t> kStopSampling = Packet({0xC4});

std::string DemoScenario() {
  std::ifstream file(std::string(VELIX_SOURCE_DIR) + "/sim/scenarios/i2c_demo.scn");
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// The bytes the device streams for the demo scenario cut or padded to `size`.
std::vector<uint8_t> ExpectedStream(uint64_t size) {
  sim::SynthOptions options;
  options.target_size = size;
  sim::StreamData data;
  std::string error;
  EXPECT_TRUE(sim::SynthesizeStream(DemoScenario(), options, size, &data, &error)) << error;
  return data ? *data : std::vector<uint8_t>();
}

uint64_t SentBytes(const DaemonProcess& daemon) { return std::stoull(DaemonProcess::Value(daemon.Sim("sent"), "bytes")); }

std::string SentChecksum(const DaemonProcess& daemon) { return DaemonProcess::Value(daemon.Sim("sent"), "checksum"); }

std::string Hex64(uint64_t value) {
  char text[32];
  std::snprintf(text, sizeof(text), "0x%016llx", static_cast<unsigned long long>(value));
  return text;
}

class StreamingTest : public ::testing::Test {
 protected:
  void Open(DaemonProcess& daemon) {
    ASSERT_TRUE(daemon.running());
    ::setenv("VELIX_RUNTIME_DIR", daemon.folder().c_str(), 1);
    file_ = CreateDeviceFile("\\\\.\\VELIX0");
    ASSERT_NE(file_, nullptr);
  }
  void TearDown() override {
    if (file_) CloseDeviceFile(file_);
    ::unsetenv("VELIX_RUNTIME_DIR");
  }
  platform::DeviceFile* file_ = nullptr;
};

TEST_F(StreamingTest, LongStreamArrivesCompleteAndInOrder) {
  // Paced like a fast device, so that a client built with sanitizers
  // still keeps up.
  constexpr uint64_t kSize = 8u << 20;
  DaemonProcess daemon(DemoScenario(), {"--size", std::to_string(kSize), "--rate", "40000000", "--end-of-data"});
  Open(daemon);
  Stream stream;
  ASSERT_TRUE(stream.Start(file_));
  ASSERT_TRUE(Write(file_, kStartSampling));
  ASSERT_TRUE(stream.ReadUntilEnded(file_, 20000));
  // The device ended the stream on its own with its end message.
  EXPECT_EQ(DriverStatusOf(file_), 0x80000002u);
  ASSERT_TRUE(stream.Finish(file_));
  EXPECT_EQ(stream.bytes, kSize);
  EXPECT_EQ(SentBytes(daemon), kSize);
  EXPECT_EQ(Hex64(stream.checksum), SentChecksum(daemon));
}

TEST_F(StreamingTest, DriverBufferOverrunKeepsEverythingStoredBeforeIt) {
  constexpr uint64_t kSize = 2u << 20;
  DaemonProcess daemon(DemoScenario(), {"--size", std::to_string(kSize)});
  Open(daemon);
  Stream stream;
  stream.keep_data = true;
  ASSERT_TRUE(stream.Start(file_, 1, 65536));
  ASSERT_TRUE(Write(file_, kStartSampling));
  // Nothing is read until the driver gives up: the buffer fills exactly.
  ASSERT_EQ(stream.start_event.Wait(10000).status, platform::WaitStatus::kSignalled);
  EXPECT_EQ(DriverStatusOf(file_), 9u);
  EXPECT_EQ(U32(Ioctl(file_, IOCTL_BULKUSB_GET_COUNT, {}, 4).out), 1u << 20);
  ASSERT_TRUE(stream.Finish(file_));
  const std::vector<uint8_t> expected = ExpectedStream(kSize);
  ASSERT_EQ(stream.data.size(), 1u << 20);
  EXPECT_TRUE(std::equal(stream.data.begin(), stream.data.end(), expected.begin()));
}

TEST_F(StreamingTest, DeviceOverrunMessageEndsTheStreamWithEveryByteSent) {
  DaemonProcess daemon(DemoScenario(), {"--size", std::to_string(4u << 20), "--fault", "overrun@3000000"});
  Open(daemon);
  Stream stream;
  ASSERT_TRUE(stream.Start(file_));
  ASSERT_TRUE(Write(file_, kStartSampling));
  ASSERT_TRUE(stream.ReadUntilEnded(file_, 10000));
  EXPECT_EQ(DriverStatusOf(file_), 0x80000001u);
  ASSERT_TRUE(stream.Finish(file_));
  EXPECT_EQ(stream.bytes, 3000000u);
  EXPECT_EQ(Hex64(stream.checksum), SentChecksum(daemon));
}

TEST_F(StreamingTest, TransactionErrorEndsTheStreamAndTheStopReturns) {
  DaemonProcess daemon(DemoScenario(), {"--size", std::to_string(2u << 20), "--fault", "xact-error@1000000"});
  Open(daemon);
  Stream stream;
  ASSERT_TRUE(stream.Start(file_));
  ASSERT_TRUE(Write(file_, kStartSampling));
  ASSERT_TRUE(stream.ReadUntilEnded(file_, 10000));
  EXPECT_EQ(DriverStatusOf(file_), 12u);
  // The device stays on the bus: the stop cancels what it left pending.
  ASSERT_TRUE(stream.Finish(file_));
  EXPECT_GT(stream.bytes, 0u);
  EXPECT_LE(stream.bytes, 1000000u);
}

TEST_F(StreamingTest, AfterATransactionErrorTheNextStreamRunsComplete) {
  constexpr uint64_t kSize = 2u << 20;
  DaemonProcess daemon(DemoScenario(), {"--size", std::to_string(kSize), "--fault", "xact-error@1000000", "--end-of-data"});
  Open(daemon);
  Stream failed;
  ASSERT_TRUE(failed.Start(file_));
  ASSERT_TRUE(Write(file_, kStartSampling));
  ASSERT_TRUE(failed.ReadUntilEnded(file_, 10000));
  EXPECT_EQ(DriverStatusOf(file_), 12u);
  ASSERT_TRUE(Write(file_, kStopSampling));
  ASSERT_TRUE(failed.Finish(file_));
  // The device is still on the bus: the driver is idle again and the next
  // stream, on this handle and on a fresh one, is the device's whole stream.
  for (const bool fresh_handle : {false, true}) {
    SCOPED_TRACE(fresh_handle ? "fresh handle" : "same handle");
    if (fresh_handle) {
      CloseDeviceFile(file_);
      file_ = CreateDeviceFile("\\\\.\\VELIX0");
      ASSERT_NE(file_, nullptr);
    }
    Stream next;
    ASSERT_TRUE(next.Start(file_));
    ASSERT_TRUE(Write(file_, kStartSampling));
    ASSERT_TRUE(next.ReadUntilEnded(file_, 10000));
    ASSERT_TRUE(next.Finish(file_));
    EXPECT_EQ(next.bytes, kSize);
    EXPECT_EQ(Hex64(next.checksum), SentChecksum(daemon));
  }
}

TEST_F(StreamingTest, UnplugWakesTheClientWhichStillReadsWhatWasStored) {
  DaemonProcess daemon(DemoScenario(), {"--size", std::to_string(3u << 20), "--fault", "unplug@2000000"});
  Open(daemon);
  Stream stream;
  ASSERT_TRUE(stream.Start(file_));
  ASSERT_TRUE(Write(file_, kStartSampling));
  ASSERT_TRUE(stream.ReadUntilEnded(file_, 10000));
  EXPECT_TRUE(daemon.WaitForName("VELIX0", false));
  // The stop returns at once (refused: the device is gone); the data stored
  // before the removal stay readable.
  EXPECT_FALSE(Ioctl(file_, IOCTL_BULKUSB_BULK_STOP).ok);
  EXPECT_TRUE(stream.Drain(file_));
  EXPECT_EQ(stream.bytes, SentBytes(daemon));
  EXPECT_EQ(Hex64(stream.checksum), SentChecksum(daemon));
  // New opens fail until the device is back.
  EXPECT_EQ(CreateDeviceFile("\\\\.\\VELIX0"), nullptr);
  EXPECT_EQ(DaemonProcess::Value(daemon.Sim("plug"), "ok"), "1");
  ASSERT_TRUE(daemon.WaitForName("VELIX0", true));
  platform::DeviceFile* again = CreateDeviceFile("\\\\.\\VELIX0");
  EXPECT_NE(again, nullptr);
  CloseDeviceFile(again);
}

TEST_F(StreamingTest, AClientThatDiesMidStreamLeavesTheDaemonHealthy) {
  DaemonProcess daemon(DemoScenario(), {"--size", std::to_string(2u << 20), "--rate", "2000000"});
  Open(daemon);
  const pid_t child = ::fork();
  if (child == 0) {
    platform::DeviceFile* file = CreateDeviceFile("\\\\.\\VELIX0");
    Stream stream;
    const bool started = file && stream.Start(file) && Write(file, kStartSampling);
    ::usleep(100000);
    ::_exit(started ? 0 : 1);  // no close: the connection just ends
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_EQ(WEXITSTATUS(status), 0);
  // The dead client's handle is closed (the daemon notices the connection's
  // end on its own thread), which stops the stream: the transfer length may
  // be set again, which an armed stream refuses.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!Ioctl(file_, IOCTL_BULKUSB_SET_ONE_TRANSFER_LENGTH, LE32(4096)).ok &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  Stream stream;
  EXPECT_TRUE(stream.Start(file_));
  EXPECT_TRUE(stream.Finish(file_));
}

// Waits until the simulated device reports the streaming state wanted.
// True once `condition` holds, within five seconds.
template <typename Condition>
bool Eventually(Condition condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

bool DeviceStreaming(const DaemonProcess& daemon, bool wanted) {
  return Eventually([&] { return (DaemonProcess::Value(daemon.Sim("status"), "streaming") == "1") == wanted; });
}

TEST(StreamOwnershipTest, AKilledClientsStreamStopsOnTheDeviceAndLeavesNothingBehind) {
  constexpr uint64_t kSize = 2u << 20;
  DaemonProcess daemon(DemoScenario(), {"--size", std::to_string(kSize), "--rate", "4000000", "--end-of-data"});
  ASSERT_TRUE(daemon.running());
  ::setenv("VELIX_RUNTIME_DIR", daemon.folder().c_str(), 1);
  const pid_t child = ::fork();
  if (child == 0) {
    platform::DeviceFile* file = CreateDeviceFile("\\\\.\\VELIX0");
    Stream stream;
    if (!file || !stream.Start(file) || !Write(file, kStartSampling)) ::_exit(1);
    for (;;) ::pause();
  }
  ASSERT_TRUE(DeviceStreaming(daemon, true));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ::kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  // The dead client's handle is closed as if it had stopped: the device
  // gets its stop command.
  EXPECT_TRUE(DeviceStreaming(daemon, false));
  platform::DeviceFile* file = CreateDeviceFile("\\\\.\\VELIX0");
  ASSERT_NE(file, nullptr);
  // Nothing of the dead client's stream is left for the next one. The
  // daemon drops it and gives the stream up just after the device's stop,
  // so a client arriving in between may still see it, but cannot take it.
  EXPECT_TRUE(Eventually([&] { return U32(Ioctl(file, IOCTL_BULKUSB_GET_COUNT, {}, 4).out) == 0; }));
  EXPECT_TRUE(Eventually([&] { return Ioctl(file, IOCTL_BULKUSB_SET_BUFFER_SIZE, {16}).ok; }));
  Stream next;
  EXPECT_TRUE(next.Start(file));
  EXPECT_TRUE(Write(file, kStartSampling));
  EXPECT_TRUE(next.ReadUntilEnded(file, 10000));
  EXPECT_TRUE(next.Finish(file));
  EXPECT_EQ(next.bytes, kSize);
  EXPECT_EQ(Hex64(next.checksum), SentChecksum(daemon));
  CloseDeviceFile(file);
  ::unsetenv("VELIX_RUNTIME_DIR");
}

TEST(StreamOwnershipTest, ASecondClientIsToldTheDeviceIsBusyAndCannotDisturbTheFirst) {
  constexpr uint64_t kSize = 2u << 20;
  DaemonProcess daemon(DemoScenario(), {"--size", std::to_string(kSize), "--rate", "8000000", "--end-of-data"});
  ASSERT_TRUE(daemon.running());
  ::setenv("VELIX_RUNTIME_DIR", daemon.folder().c_str(), 1);
  platform::DeviceFile* first = CreateDeviceFile("\\\\.\\VELIX0");
  ASSERT_NE(first, nullptr);
  Stream stream;
  ASSERT_TRUE(stream.Start(first));
  ASSERT_TRUE(Write(first, kStartSampling));

  platform::DeviceFile* second = CreateDeviceFile("\\\\.\\VELIX0");
  ASSERT_NE(second, nullptr);
  // Looking is allowed; everything that would touch the stream is refused
  // with its own error, not a driver failure.
  EXPECT_TRUE(Ioctl(second, IOCTL_BULKUSB_GET_DRIVER_VERSION, {}, 2).ok);
  const IoctlResult refused = Ioctl(second, IOCTL_BULKUSB_SET_BUFFER_SIZE, {16});
  EXPECT_FALSE(refused.ok);
  EXPECT_EQ(refused.error, platform::kErrorPipeBusy);
  EXPECT_EQ(platform::GetLastDeviceStatus(), STATUS_PIPE_BUSY);
  EXPECT_FALSE(Ioctl(second, IOCTL_BULKUSB_BULK_STOP).ok);
  EXPECT_FALSE(Write(second, Packet({0xC4})));
  EXPECT_EQ(platform::GetLastDeviceError(), platform::kErrorPipeBusy);
  EXPECT_TRUE(CloseDeviceFile(second));

  // The second client's close stopped nothing: the first gets the device's
  // whole stream.
  EXPECT_TRUE(stream.ReadUntilEnded(first, 10000));
  EXPECT_EQ(DriverStatusOf(first), 0x80000002u);
  EXPECT_TRUE(stream.Finish(first));
  EXPECT_EQ(stream.bytes, kSize);
  EXPECT_EQ(Hex64(stream.checksum), SentChecksum(daemon));
  CloseDeviceFile(first);
  ::unsetenv("VELIX_RUNTIME_DIR");
}

}  // namespace
}  // namespace velix::daemon::testing
