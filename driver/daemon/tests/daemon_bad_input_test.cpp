// Untrusted clients: malformed frames, oversize lengths and bad event
// descriptors are refused, and the daemon goes on serving others.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "driver/daemon/tests/daemon_process.h"
#include "driver/daemon/tests/device_client.h"
#include "platform/device_wire.h"

namespace velix::daemon::testing {
namespace {

using namespace velix::driver;
using platform::WireOp;
using platform::WireReply;
using platform::WireRequest;

constexpr char kScenario[] = "bus i2c0\nrate 50\nstart\naddr 0x50 w\nwrite 00 10\nstop\n";

class BadInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(daemon_.running());
    ::setenv("VELIX_RUNTIME_DIR", daemon_.folder().c_str(), 1);
  }
  void TearDown() override {
    // Whatever happened, the daemon still serves a well-behaved client.
    platform::DeviceFile* file = platform::CreateDeviceFile("\\\\.\\VELIX0");
    EXPECT_NE(file, nullptr);
    if (file) {
      EXPECT_EQ(Ioctl(file, IOCTL_BULKUSB_GET_DRIVER_VERSION, {}, 2).out, (std::vector<uint8_t>{2, 1}));
      platform::CloseDeviceFile(file);
    }
    ::unsetenv("VELIX_RUNTIME_DIR");
  }

  int Connect() const {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = daemon_.folder() + "/VELIX0";
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    EXPECT_EQ(::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    return fd;
  }

  // Sends a request and returns the reply's status, or 0xFFFFFFFF when the
  // daemon hung up without one.
  static uint32_t Exchange(int fd, const WireRequest& request, std::span<const uint8_t> input = {},
                           int descriptor = -1) {
    const std::span<const uint8_t> parts[] = {input};
    if (!platform::SendFrame(fd, platform::BytesOf(request), parts, descriptor)) return 0xFFFFFFFFu;
    WireReply reply;
    int stray = -1;
    if (!platform::ReceiveHeader(fd, platform::MutableBytesOf(reply), &stray)) return 0xFFFFFFFFu;
    std::vector<uint8_t> rest(reply.output_size + reply.stage_size);
    platform::ReceiveAll(fd, rest);
    return reply.status;
  }

  static bool HungUp(int fd) {
    char byte;
    return ::recv(fd, &byte, 1, 0) == 0;
  }

  static WireRequest Create() {
    WireRequest request;
    request.op = static_cast<uint8_t>(WireOp::kCreate);
    request.flags = platform::kWireHasFileName;
    return request;
  }

  DaemonProcess daemon_{kScenario};
};

TEST_F(BadInputTest, MalformedHeadersAreRefusedAndTheConnectionEnds) {
  struct Case {
    const char* what;
    WireRequest request;
  };
  WireRequest bad_magic = Create();
  bad_magic.magic = 0x12345678;
  WireRequest bad_op = Create();
  bad_op.op = 99;
  WireRequest long_name = Create();
  long_name.input_size = 1u << 30;
  const Case cases[] = {{"bad magic", bad_magic}, {"unknown operation", bad_op}, {"oversize name", long_name}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const int fd = Connect();
    EXPECT_EQ(Exchange(fd, c.request), STATUS_INVALID_PARAMETER);
    EXPECT_TRUE(HungUp(fd));
    ::close(fd);
  }
}

TEST_F(BadInputTest, OversizeLengthsAfterCreateAreRefused) {
  const std::pair<WireOp, uint32_t> cases[] = {{WireOp::kRead, 1u << 30}, {WireOp::kControl, 1u << 30}};
  for (const auto& [op, size] : cases) {
    const int fd = Connect();
    ASSERT_EQ(Exchange(fd, Create()), STATUS_SUCCESS);
    WireRequest request;
    request.op = static_cast<uint8_t>(op);
    request.output_size = size;
    EXPECT_EQ(Exchange(fd, request), STATUS_INVALID_PARAMETER);
    EXPECT_TRUE(HungUp(fd));
    ::close(fd);
  }
}

TEST_F(BadInputTest, RequestsBeforeCreateAndTruncatedFramesDoNoHarm) {
  int fd = Connect();
  WireRequest read;
  read.op = static_cast<uint8_t>(WireOp::kRead);
  read.output_size = 4;
  EXPECT_EQ(Exchange(fd, read), STATUS_INVALID_HANDLE);
  ::close(fd);

  // A header that promises more input than ever comes, then the client goes.
  fd = Connect();
  ASSERT_EQ(Exchange(fd, Create()), STATUS_SUCCESS);
  WireRequest write;
  write.op = static_cast<uint8_t>(WireOp::kWrite);
  write.input_size = 1000;
  const uint8_t some[10] = {};
  ASSERT_TRUE(platform::SendAll(fd, platform::BytesOf(write)));
  ASSERT_TRUE(platform::SendAll(fd, some));
  ::close(fd);

  // Garbage shorter than a header.
  fd = Connect();
  ASSERT_TRUE(platform::SendAll(fd, some));
  ::close(fd);
}

TEST_F(BadInputTest, EventHandlesThatNameNoEventAreRefusedWithTheirCodes) {
  platform::DeviceFile* file = platform::CreateDeviceFile("\\\\.\\VELIX0");
  ASSERT_NE(file, nullptr);
  int pipe_ends[2];
  ASSERT_EQ(::pipe(pipe_ends), 0);
  struct Case {
    const char* what;
    uint32_t code;
    uint32_t handle;
    uint32_t expected;
  } cases[] = {
      {"start, pipe descriptor", IOCTL_BULKUSB_BULK_START, static_cast<uint32_t>(pipe_ends[0]), 3},
      {"start, no descriptor", IOCTL_BULKUSB_BULK_START, 0x7FFF0000u, 3},
      {"event, pipe descriptor", IOCTL_BULKUSB_SET_ONE_TRANSFER_EVENT, static_cast<uint32_t>(pipe_ends[0]), 39},
      {"event, no descriptor", IOCTL_BULKUSB_SET_ONE_TRANSFER_EVENT, 0x7FFF0000u, 39},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const IoctlResult result = Ioctl(file, c.code, LE32(c.handle), 4);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(U32(result.out), c.expected);
    EXPECT_EQ(DriverStatusOf(file), c.expected);
    EXPECT_TRUE(Ioctl(file, IOCTL_BULKUSB_BULK_STOP).ok);
  }
  ::close(pipe_ends[0]);
  ::close(pipe_ends[1]);
  platform::CloseDeviceFile(file);
}

}  // namespace
}  // namespace velix::daemon::testing
