// The daemon's request paths over real sockets: naming, control codes,
// commands, vendor requests and two clients at once.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "driver/daemon/tests/daemon_process.h"
#include "driver/daemon/tests/device_client.h"
#include "platform/device_names.h"

namespace velix::daemon::testing {
namespace {

using namespace velix::driver;
using platform::CreateDeviceFile;
using platform::CloseDeviceFile;

std::string DemoScenario() {
  std::ifstream file(std::string(VELIX_SOURCE_DIR) + "/sim/scenarios/i2c_demo.scn");
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

class DaemonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(daemon_.running());
    ::setenv("VELIX_RUNTIME_DIR", daemon_.folder().c_str(), 1);
  }
  void TearDown() override { ::unsetenv("VELIX_RUNTIME_DIR"); }

  DaemonProcess daemon_{DemoScenario(), {"--repeat", "200"}};
};

TEST_F(DaemonTest, OpensByNameAndPipeName) {
  struct Case {
    const char* name;
    bool opens;
    uint32_t error;
  } cases[] = {
      {"\\\\.\\VELIX0", true, 0},
      {"\\\\.\\velix0", true, 0},
      {"\\\\.\\VELIX0\\PIPE00", true, 0},
      {"\\\\.\\VELIX0\\PIPE02", true, 0},
      {"\\\\.\\VELIX0\\PIPE07", false, platform::kErrorInvalidParameter},
      {"\\\\.\\VELIX0\\PIPE03", false, platform::kErrorInvalidParameter},  // three pipes
      {"\\\\.\\VELIX1", false, platform::kErrorFileNotFound},
      {"VELIX0", false, platform::kErrorFileNotFound},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform::DeviceFile* file = CreateDeviceFile(c.name);
    EXPECT_EQ(file != nullptr, c.opens);
    if (file) {
      EXPECT_TRUE(CloseDeviceFile(file));
    } else {
      EXPECT_EQ(platform::GetLastDeviceError(), c.error);
    }
  }
}

TEST_F(DaemonTest, EnumeratesTheInterfacePathAndOpensIt) {
  const std::vector<std::string> paths = platform::EnumerateDeviceInterfaces();
  ASSERT_EQ(paths.size(), 1u);
  EXPECT_EQ(paths[0], "\\\\?\\usb#vid_1d9a&pid_030a#velix0#{a5dcbf10-6530-11d2-901f-00c04fb951ed}");
  platform::DeviceFile* command = CreateDeviceFile(paths[0] + "\\PIPE00");
  ASSERT_NE(command, nullptr);
  // The reset-pipe code needs a handle opened on a pipe.
  EXPECT_TRUE(Ioctl(command, IOCTL_BULKUSB_RESET_PIPE).ok);
  CloseDeviceFile(command);
  platform::DeviceFile* whole = CreateDeviceFile(paths[0]);
  ASSERT_NE(whole, nullptr);
  EXPECT_FALSE(Ioctl(whole, IOCTL_BULKUSB_RESET_PIPE).ok);
  EXPECT_EQ(DriverStatusOf(whole), 24u);
  CloseDeviceFile(whole);
}

TEST_F(DaemonTest, ControlCodesKeepTheirContract) {
  platform::DeviceFile* file = CreateDeviceFile("\\\\.\\VELIX0");
  ASSERT_NE(file, nullptr);
  const IoctlResult version = Ioctl(file, IOCTL_BULKUSB_GET_DRIVER_VERSION, {}, 2);
  EXPECT_TRUE(version.ok);
  EXPECT_EQ(version.out, (std::vector<uint8_t>{2, 1}));
  EXPECT_EQ(Ioctl(file, IOCTL_BULKUSB_GET_USB_SPEED, {}, 1).out, std::vector<uint8_t>{2});

  const IoctlResult unknown = Ioctl(file, 0x220048);
  EXPECT_FALSE(unknown.ok);
  EXPECT_EQ(unknown.error, platform::kErrorInvalidFunction);
  EXPECT_EQ(platform::GetLastDeviceStatus(), STATUS_INVALID_DEVICE_REQUEST);
  EXPECT_EQ(DriverStatusOf(file), 27u);

  const IoctlResult config = Ioctl(file, IOCTL_BULKUSB_GET_CONFIG_DESCRIPTOR, {}, 255);
  ASSERT_TRUE(config.ok);
  EXPECT_EQ(config.information, 39u);
  EXPECT_EQ(config.out[1], 2);  // configuration descriptor

  EXPECT_FALSE(Ioctl(file, IOCTL_BULKUSB_SET_BUFFER_SIZE, {17}).ok);
  EXPECT_EQ(DriverStatusOf(file), 1u);
  EXPECT_TRUE(Ioctl(file, IOCTL_BULKUSB_RESET_BUFFER).ok);
  EXPECT_EQ(DriverStatusOf(file), 0u);
  CloseDeviceFile(file);
}

TEST_F(DaemonTest, FirmwareCommandReturnsTheReply) {
  platform::DeviceFile* file = CreateDeviceFile("\\\\.\\VELIX0");
  ASSERT_NE(file, nullptr);
  const IoctlResult versions = Ioctl(file, IOCTL_BULKUSB_FIRM_COMMAND, Packet({0xC0, 0, 0, 0, 0, 0, 0, 0, 8}), 64);
  ASSERT_TRUE(versions.ok);
  EXPECT_EQ(versions.information, 8u);
  // The device saw exactly the packet.
  EXPECT_NE(daemon_.Sim("received").find("packet=c0000000000000000800"), std::string::npos);
  CloseDeviceFile(file);
}

TEST_F(DaemonTest, VendorRequestCarriesTheDataStageBothWays) {
  ASSERT_EQ(DaemonProcess::Value(daemon_.Sim("plug loader"), "ok"), "1");
  ASSERT_TRUE(daemon_.WaitForName("usb#vid_1d9a&pid_0221#velix0#{a5dcbf10-6530-11d2-901f-00c04fb951ed}", true));
  platform::DeviceFile* file = CreateDeviceFile("\\\\.\\VELIX0");
  ASSERT_NE(file, nullptr);
  // 64-bit record: request, 0, value, index, direction, 0, length, reserved, address.
  const auto record = [](uint8_t direction, uint16_t address, uint8_t* data, uint32_t length) {
    std::vector<uint8_t> bytes = {0xE0, 0, static_cast<uint8_t>(address), static_cast<uint8_t>(address >> 8), 0, 0,
                                  direction, 0};
    const std::vector<uint8_t> size = LE32(length);
    bytes.insert(bytes.end(), size.begin(), size.end());
    bytes.insert(bytes.end(), 4, 0);
    const auto pointer = reinterpret_cast<uint64_t>(data);
    for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<uint8_t>(pointer >> (8 * i)));
    return bytes;
  };
  uint8_t written[4] = {0xDE, 0xAD, 0xBE, 0xEF};
  const IoctlResult write = Ioctl(file, IOCTL_BULKUSB_VENDOR_REQUEST, record(0, 0x40, written, 4));
  EXPECT_TRUE(write.ok);
  EXPECT_EQ(write.information, 4u);
  uint8_t read_back[4] = {};
  const IoctlResult read = Ioctl(file, IOCTL_BULKUSB_VENDOR_REQUEST, record(1, 0x40, read_back, 4));
  EXPECT_TRUE(read.ok);
  EXPECT_EQ(read.information, 4u);
  EXPECT_EQ(std::vector<uint8_t>(read_back, read_back + 4), std::vector<uint8_t>(written, written + 4));
  // Direction 2 reads from the device but copies nothing back.
  uint8_t untouched[4] = {};
  EXPECT_TRUE(Ioctl(file, IOCTL_BULKUSB_VENDOR_REQUEST, record(2, 0x40, untouched, 4)).ok);
  EXPECT_EQ(std::vector<uint8_t>(untouched, untouched + 4), std::vector<uint8_t>(4, 0));
  CloseDeviceFile(file);
}

TEST_F(DaemonTest, TwoClientsShareTheDeviceButOnlyTheOwnerEndsItsStream) {
  platform::DeviceFile* capture = CreateDeviceFile("\\\\.\\VELIX0");
  platform::DeviceFile* other = CreateDeviceFile("\\\\.\\VELIX0\\PIPE00");
  ASSERT_NE(capture, nullptr);
  ASSERT_NE(other, nullptr);
  Stream stream;
  ASSERT_TRUE(stream.Start(capture));
  // A second start from the other client is refused: the device is busy.
  platform::Event second = platform::Event::Create(platform::ResetMode::kManual);
  const IoctlResult again = Ioctl(other, IOCTL_BULKUSB_BULK_START, LE32(static_cast<uint32_t>(second.Fd())), 4);
  EXPECT_FALSE(again.ok);
  EXPECT_EQ(again.error, platform::kErrorPipeBusy);
  // Closing the other handle leaves the stream armed; the owner's stop ends
  // it, and then a new start works.
  EXPECT_TRUE(CloseDeviceFile(other));
  const IoctlResult armed = Ioctl(capture, IOCTL_BULKUSB_BULK_START, LE32(static_cast<uint32_t>(second.Fd())), 4);
  EXPECT_EQ(U32(armed.out), 29u);
  EXPECT_TRUE(stream.Finish(capture));
  Stream restart;
  EXPECT_TRUE(restart.Start(capture));
  EXPECT_TRUE(Ioctl(capture, IOCTL_BULKUSB_BULK_STOP).ok);
  EXPECT_TRUE(CloseDeviceFile(capture));
}

}  // namespace
}  // namespace velix::daemon::testing
