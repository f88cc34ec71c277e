// Identities, descriptors, re-plugging between personalities and the
// behaviour of a device that has left the bus.
#include <gtest/gtest.h>

#include "device_commands.h"
#include "sim/device/simulated_device.h"

namespace velix::sim {
namespace {

using testing::Exchange;
using testing::Packet;
using testing::Send;

uint32_t ProductId(SimulatedDevice* device) {
  std::vector<uint8_t> descriptor(18);
  uint32_t length = 0;
  if (device->GetDescriptor(driver::DescriptorType::kDevice, descriptor, &length) != driver::STATUS_SUCCESS ||
      length != 18) {
    return 0;
  }
  return (static_cast<uint32_t>(descriptor[9]) << 24) | (descriptor[8] << 16) | (descriptor[11] << 8) |
         descriptor[10];
}

TEST(DevicePersonalityTest, EnterUpdateModeTakesEffectAtTheNextPlugIn) {
  SimulatedDevice device;
  device.Plug();
  EXPECT_EQ(ProductId(&device), 0x1D9A030Au);
  ASSERT_TRUE(Send(&device, Packet({0xD9})));
  EXPECT_EQ(ProductId(&device), 0x1D9A030Au);
  device.Unplug();
  device.Plug();
  EXPECT_EQ(ProductId(&device), 0x1D9A030Bu);

  // The mode tool erases the record block before writing the image; with the
  // identity gone the device stays in update mode across plug-ins.
  ASSERT_TRUE(Send(&device, Packet({0xD1, 0, 0, 0, 0, 0, 0, 0, 13})));
  device.Unplug();
  device.Plug();
  EXPECT_EQ(device.personality(), Personality::kFirmwareUpdate);
  ASSERT_TRUE(Send(&device, Packet({0xD3, 0, 0, 0, 0xD0, 0x00, 0, 0x00, 0x04})));
  ASSERT_TRUE(Send(&device, {0x9A, 0x1D, 0x0A, 0x03}));
  device.Unplug();
  device.Plug();
  EXPECT_EQ(ProductId(&device), 0x1D9A030Au);
}

TEST(DevicePersonalityTest, BareControllerLoadsTheLoaderWhichReachesTheEeprom) {
  SimulatedDevice device;
  device.PlugAs(Personality::kBareFx2);
  EXPECT_EQ(ProductId(&device), 0x04B48613u);
  EXPECT_EQ(device.BulkOut(Packet({0xC0}), 3000).usb_status, driver::kUsbdStallPid);

  std::vector<uint8_t> hold = {0x01};
  std::vector<uint8_t> code = {0x02, 0x00, 0x10};
  std::vector<uint8_t> release = {0x00};
  // Code goes in only while the CPU is held in reset.
  EXPECT_NE(device.ControlTransfer({0xA0, 0x0000, 0, false}, code, 3000).status, driver::STATUS_SUCCESS);
  EXPECT_EQ(device.ControlTransfer({0xA0, 0xE600, 0, false}, hold, 3000).status, driver::STATUS_SUCCESS);
  EXPECT_EQ(device.ControlTransfer({0xA0, 0x0000, 0, false}, code, 3000).status, driver::STATUS_SUCCESS);
  EXPECT_EQ(device.ControlTransfer({0xA0, 0xE600, 0, false}, release, 3000).status, driver::STATUS_SUCCESS);
  EXPECT_EQ(ProductId(&device), 0x1D9A0221u);

  std::vector<uint8_t> written = {0xC2, 0x47, 0x05};
  EXPECT_EQ(device.ControlTransfer({0xE0, 0x0000, 0, false}, written, 3000).bytes, 3u);
  std::vector<uint8_t> read(3);
  EXPECT_EQ(device.ControlTransfer({0xE0, 0x0000, 0, true}, read, 3000).bytes, 3u);
  EXPECT_EQ(read, written);
  EXPECT_EQ(device.ControlTransfer({0xA0, 0xE600, 0, false}, hold, 3000).usb_status, driver::kUsbdStallPid);
}

TEST(DevicePersonalityTest, EepromWithoutFirmwareMarkerPlugsInBare) {
  SimulatedDevice device;
  device.PlugAs(Personality::kRamLoader);
  std::vector<uint8_t> blank = {0xFF};
  ASSERT_EQ(device.ControlTransfer({0xE0, 0x0000, 0, false}, blank, 3000).status, driver::STATUS_SUCCESS);
  device.Unplug();
  device.Plug();
  EXPECT_EQ(device.personality(), Personality::kBareFx2);
}

struct ConfigCase {
  bool high_speed;
  bool remote_wakeup;
  uint16_t packet;
  uint8_t attributes;
};

class ConfigurationDescriptorTest : public ::testing::TestWithParam<ConfigCase> {};

TEST_P(ConfigurationDescriptorTest, FirstInterfaceHasTheThreeEndpoints) {
  const ConfigCase& c = GetParam();
  SimulatedDevice device;
  device.SetHighSpeed(c.high_speed);
  device.SetRemoteWakeup(c.remote_wakeup);
  device.Plug();
  EXPECT_EQ(device.BulkMaxPacketSize(), c.packet);
  std::vector<uint8_t> head(9);
  uint32_t length = 0;
  ASSERT_EQ(device.GetDescriptor(driver::DescriptorType::kConfiguration, head, &length), driver::STATUS_SUCCESS);
  ASSERT_EQ(length, 9u);
  const uint16_t total = static_cast<uint16_t>(head[2] | (head[3] << 8));
  EXPECT_EQ(head[7], c.attributes);
  std::vector<uint8_t> full(total + 10);
  ASSERT_EQ(device.GetDescriptor(driver::DescriptorType::kConfiguration, full, &length), driver::STATUS_SUCCESS);
  ASSERT_EQ(length, total);
  ASSERT_EQ(total, 39u);
  EXPECT_EQ(full[13], 3);  // bNumEndpoints
  const uint8_t low = static_cast<uint8_t>(c.packet), high = static_cast<uint8_t>(c.packet >> 8);
  EXPECT_EQ(std::vector<uint8_t>(full.begin() + 18, full.begin() + 39),
            std::vector<uint8_t>({7, 5, 0x81, 3, 64, 0, 1, 7, 5, 0x82, 2, low, high, 0, 7, 5, 0x02, 2, low, high, 0}));
}

INSTANTIATE_TEST_SUITE_P(Speeds, ConfigurationDescriptorTest,
                         ::testing::Values(ConfigCase{true, false, 512, 0x80}, ConfigCase{false, true, 64, 0xA0}));

TEST(DevicePersonalityTest, UnpluggedDeviceRefusesEverything) {
  SimulatedDevice device;
  device.Plug();
  uint32_t port = 0;
  ASSERT_EQ(device.GetPortStatus(&port), driver::STATUS_SUCCESS);
  EXPECT_EQ(port, driver::kPortConnected | driver::kPortEnabled);
  device.Unplug();
  ASSERT_EQ(device.GetPortStatus(&port), driver::STATUS_SUCCESS);
  EXPECT_EQ(port, 0u);

  std::vector<uint8_t> buffer(64);
  driver::UsbTransfer transfer;
  transfer.buffer = buffer;
  transfer.on_complete = [](driver::UsbdStatus, uint32_t) { ADD_FAILURE() << "refused transfer completed"; };
  EXPECT_EQ(device.Submit(transfer), driver::STATUS_DEVICE_NOT_CONNECTED);
  EXPECT_EQ(device.BulkOut(Packet({0xC0}), 3000).status, driver::STATUS_DEVICE_NOT_CONNECTED);
  EXPECT_EQ(device.ControlTransfer({0xE0, 0, 0, true}, buffer, 3000).status, driver::STATUS_DEVICE_NOT_CONNECTED);
  EXPECT_EQ(device.ResetPipe(driver::Endpoint::kBulkIn), driver::STATUS_DEVICE_NOT_CONNECTED);
  EXPECT_EQ(device.ResetPort(), driver::STATUS_DEVICE_NOT_CONNECTED);
  uint32_t length = 0;
  EXPECT_EQ(device.GetDescriptor(driver::DescriptorType::kDevice, buffer, &length),
            driver::STATUS_DEVICE_NOT_CONNECTED);
  EXPECT_TRUE(device.ReceivedBulkOut().empty());
}

}  // namespace
}  // namespace velix::sim
