#include "Firmup/firm_exchange.h"

#include "Firmup/device_finder.h"
#include "velix/device_interface.h"

namespace velix::firmup {
namespace {

bool ReadReply(platform::DeviceFile* file, std::span<uint8_t> reply) {
  uint32_t received = 0;
  const bool ok = platform::DeviceIoControl(file, driver::IOCTL_BULKUSB_FIRM_COMMAND, nullptr, 0, reply.data(),
                                            static_cast<uint32_t>(reply.size()), &received);
  // A short reply would leave the caller with bytes the device never sent.
  return ok && received == reply.size();
}

}  // namespace

bool SendToDevice(platform::DeviceFile* file, std::span<const uint8_t> bytes) {
  uint32_t returned = 0;
  return platform::DeviceIoControl(file, driver::IOCTL_BULKUSB_FIRM_COMMAND, bytes.data(),
                                   static_cast<uint32_t>(bytes.size()), nullptr, 0, &returned);
}

bool SendCommand(const CommandPacket& packet) {
  const DeviceHandle device = OpenDevice(Personality::kFirmwareUpdate, OpenKind::kCommand);
  return device.valid() && SendToDevice(device.get(), packet);
}

bool SendCommandReadReply(const CommandPacket& packet, std::span<uint8_t> reply) {
  if (!SendCommand(packet)) return false;
  const DeviceHandle device = OpenDevice(Personality::kFirmwareUpdate, OpenKind::kReply);
  return device.valid() && ReadReply(device.get(), reply);
}

bool SendCommandWithData(const CommandPacket* packet, std::span<const uint8_t> data) {
  const DeviceHandle device = OpenDevice(Personality::kFirmwareUpdate, OpenKind::kCommand);
  if (!device.valid()) return false;
  if (packet != nullptr && !SendToDevice(device.get(), *packet)) return false;
  return data.empty() || SendToDevice(device.get(), data);
}

}  // namespace velix::firmup
