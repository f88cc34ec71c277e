#include "ModeChange/driver_commands.h"

#include "velix/device_interface.h"
#include "platform/device_file.h"

namespace velix::modechange {
namespace {

constexpr const char* kDriverDevice = "\\\\.\\VELIX0";
constexpr uint8_t kModeQuery = 0xC8;
constexpr uint8_t kEnterUpdateMode = 0xD9;
constexpr uint32_t kModeReplyLength = 4;

// One firmware command on a fresh handle; the byte count received comes
// back in *received.
bool SendFirmCommand(const CommandPacket& packet, std::span<uint8_t> reply, uint32_t* received) {
  platform::DeviceFile* device = platform::CreateDeviceFile(kDriverDevice);
  if (device == nullptr) return false;
  const bool sent = platform::DeviceIoControl(device, driver::IOCTL_BULKUSB_FIRM_COMMAND, packet.data(),
                                              static_cast<uint32_t>(packet.size()), reply.data(),
                                              static_cast<uint32_t>(reply.size()), received);
  platform::CloseDeviceFile(device);
  return sent;
}

}  // namespace

CommandPacket ModeQueryPacket() {
  CommandPacket packet{};
  packet[0] = kModeQuery;
  packet[7] = 0;
  packet[8] = kModeReplyLength;
  return packet;
}

CommandPacket EnterUpdateModePacket() {
  CommandPacket packet{};
  packet[0] = kEnterUpdateMode;
  return packet;
}

Personality PersonalityFromModeReply(std::span<const uint8_t> reply) {
  if (reply.size() < kModeReplyLength) return Personality::kNone;
  return (reply[3] & 0x01) != 0 ? Personality::kAnalyzer : Personality::kMonitor;
}

Personality QueryDriverMode() {
  std::array<uint8_t, kModeReplyLength> reply{};
  uint32_t received = 0;
  if (!SendFirmCommand(ModeQueryPacket(), reply, &received)) return Personality::kNone;
  return PersonalityFromModeReply(std::span<const uint8_t>(reply).first(std::min<size_t>(received, reply.size())));
}

bool SendEnterUpdateMode() {
  uint32_t received = 0;
  return SendFirmCommand(EnterUpdateModePacket(), {}, &received);
}

}  // namespace velix::modechange
