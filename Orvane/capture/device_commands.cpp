#include "Orvane/capture/device_commands.h"

namespace orvane {
namespace {

constexpr size_t kReplyLengthOffset = 7;

// The settings record's bus numbering; any other value is treated as SPI,
// as the capture dialog does when it opens.
constexpr uint8_t kBusI2C0 = 1;
constexpr uint8_t kBusI2C1 = 2;

CommandPacket PacketWithCode(uint8_t code) {
  CommandPacket packet{};
  packet[0] = code;
  return packet;
}

CommandPacket QueryCommand(uint8_t code, uint16_t reply_length) {
  CommandPacket packet = PacketWithCode(code);
  packet[kReplyLengthOffset] = static_cast<uint8_t>(reply_length >> 8);
  packet[kReplyLengthOffset + 1] = static_cast<uint8_t>(reply_length);
  return packet;
}

// Bytes 2 and 3 of both start commands: the TRGIN levels and enables.
void PutExternalTrigger(const SettingsRecord& settings, CommandPacket& packet) {
  if (settings.TrgInEnable != 1) return;
  packet[2] = static_cast<uint8_t>(0x80 | (settings.TrgInLevels & 0x1F));
  packet[3] = static_cast<uint8_t>(settings.TrgInEnables & 0x1F);
}

uint8_t SampleRateCode(uint8_t sample_period_code) {
  switch (sample_period_code) {
    case 2: return 3;   // 50 MHz
    case 5: return 2;   // 20 MHz
    default: return 1;  // 10 MHz
  }
}

uint8_t AnalyzerChannelCode(const SettingsRecord& settings) {
  switch (settings.m_AnalyzeBusChannel) {
    case kBusI2C0: return 0;
    case kBusI2C1: return 1;
    default: return settings.SpiSsMode != 0 ? 2 : 3;
  }
}

uint8_t MonitorChannelCode(uint8_t bus) {
  switch (bus) {
    case kBusI2C0: return 2;
    case kBusI2C1: return 3;
    default: return 0;
  }
}

uint8_t MonitorSpiFraming(const SettingsRecord& settings) {
  uint8_t framing = 0;
  if (settings.SpiSamplingEdge != 1) framing |= 0x01;     // SCLK falling edge
  if (settings.SpiSsMode != 1) framing |= 0x04;           // SS not active LOW
  if (settings.SpiSsMode == 0) framing |= 0x08;           // SS not monitored
  if ((settings.SpiBitFlags & 0x01) == 0) framing |= 0x10; // LSB first
  return framing;
}

bool IsSpiBus(uint8_t bus) { return bus != kBusI2C0 && bus != kBusI2C1; }

}  // namespace

CommandPacket GetFwVersionCommand() {
  return QueryCommand(VELIX_CMD_GET_FW_VERSION, kFwVersionReplySize);
}

CommandPacket GetPowerStateCommand() {
  return QueryCommand(VELIX_CMD_GET_POWER_STATE, kPowerStateReplySize);
}

CommandPacket GetModeCommand() { return QueryCommand(VELIX_CMD_GET_MODE, kModeReplySize); }

CommandPacket PowerControlCommand(uint8_t power_supply) {
  CommandPacket packet = PacketWithCode(VELIX_CMD_POWER_CONTROL);
  packet[1] = power_supply <= kMaxPowerSupplyCode ? power_supply : 0;
  return packet;
}

CommandPacket SamplingStartCommand(const SettingsRecord& settings) {
  CommandPacket packet = PacketWithCode(VELIX_CMD_SAMPLING_CONTROL);
  packet[1] = SampleRateCode(settings.SamplePeriodCode);
  PutExternalTrigger(settings, packet);
  packet[4] = static_cast<uint8_t>(((settings.NoiseFilter * 16) & 0x30) | AnalyzerChannelCode(settings));
  return packet;
}

CommandPacket MonitorStartCommand(const SettingsRecord& settings) {
  constexpr uint8_t kRun = 0x04;
  CommandPacket packet = PacketWithCode(VELIX_CMD_MONITOR_CONTROL);
  PutExternalTrigger(settings, packet);
  packet[4] = static_cast<uint8_t>(kRun | MonitorChannelCode(settings.m_AnalyzeBusChannel));
  if (IsSpiBus(settings.m_AnalyzeBusChannel)) packet[5] = MonitorSpiFraming(settings);
  return packet;
}

CommandPacket SamplingStopCommand(bool monitor_mode) {
  return PacketWithCode(monitor_mode ? VELIX_CMD_MONITOR_CONTROL : VELIX_CMD_SAMPLING_CONTROL);
}

CommandPacket I2CTrgOutSettingCommand(const SettingsRecord& settings) {
  CommandPacket packet = PacketWithCode(VELIX_CMD_I2C_TRGOUT_SETTING);
  if (settings.TrgOutEnable == 0) return packet;

  const uint8_t sub_address_length =
      settings.TrgOutSubAddressEnable != 0 ? (settings.TrgOutSubAddressLength & 7) : 0;
  uint8_t flags = static_cast<uint8_t>(sub_address_length << 1);
  if (settings.TrgOutAddressEnable != 0) flags |= 0x01;
  if (settings.TrgOutNackIgnore != 0) flags |= 0x10;
  if (settings.TrgOut10Bit != 0) flags |= 0x20;
  packet[1] = flags;

  const uint16_t address = settings.TrgOutAddress;
  if (settings.TrgOut10Bit != 0) {
    // The two address bytes of a 10-bit address: 11110xx0, then the low eight bits.
    packet[2] = static_cast<uint8_t>(0xF0 | (((address >> 8) & 3) * 2));
    packet[3] = static_cast<uint8_t>(address & 0xFF);
  } else {
    packet[2] = static_cast<uint8_t>((address * 2) & 0xFF);  // R/W bit 0
  }
  for (size_t i = 0; i < 4; ++i) packet[4 + i] = settings.TrgOutSubAddressData[i];
  return packet;
}

bool ParseFwVersionReply(std::span<const uint8_t> reply, FirmwareVersions* versions) {
  if (versions == nullptr || reply.size() < kFwVersionReplySize) return false;
  versions->firmware = {reply[2], reply[3]};
  versions->cpld = {reply[6], reply[7]};
  return true;
}

bool ParsePowerStateReply(std::span<const uint8_t> reply, bool* target_powered) {
  if (target_powered == nullptr || reply.size() < kPowerStateReplySize) return false;
  *target_powered = (reply[3] & 0x01) != 0;
  return true;
}

bool ParseModeReply(std::span<const uint8_t> reply, bool* analyzer) {
  if (analyzer == nullptr || reply.size() < kModeReplySize) return false;
  *analyzer = (reply[3] & 0x01) != 0;
  return true;
}

}  // namespace orvane
