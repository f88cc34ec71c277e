#include "Firmup/command_packets.h"

namespace velix::firmup {
namespace {

void PutBe16(CommandPacket& packet, size_t at, uint16_t value) {
  packet[at] = static_cast<uint8_t>(value >> 8);
  packet[at + 1] = static_cast<uint8_t>(value);
}

}  // namespace

CommandPacket CodeOnlyPacket(uint8_t code) {
  CommandPacket packet{};
  packet[0] = code;
  return packet;
}

CommandPacket ReplyQueryPacket(uint8_t code, uint16_t reply_length) {
  CommandPacket packet = CodeOnlyPacket(code);
  PutBe16(packet, 7, reply_length);
  return packet;
}

CommandPacket SetVersionsPacket(uint8_t eeprom_major, uint8_t eeprom_minor, uint8_t flash_major, uint8_t flash_minor,
                                uint8_t cpld_major, uint8_t cpld_minor) {
  CommandPacket packet = CodeOnlyPacket(kCommandSetVersions);
  uint8_t flags = 0;
  if (flash_major != 0 || flash_minor != 0) flags |= 0x01;
  if (eeprom_major != 0 || eeprom_minor != 0) flags |= 0x02;
  if (cpld_major != 0 || cpld_minor != 0) flags |= 0x04;
  packet[1] = flags;
  packet[2] = flash_major;
  packet[3] = flash_minor;
  packet[4] = eeprom_major;
  packet[5] = eeprom_minor;
  packet[6] = cpld_major;
  packet[7] = cpld_minor;
  return packet;
}

CommandPacket FlashErasePacket(uint8_t block) {
  CommandPacket packet = CodeOnlyPacket(kCommandFlashErase);
  packet[8] = block;
  return packet;
}

CommandPacket AddressLengthPacket(uint8_t code, uint16_t address, uint16_t length) {
  CommandPacket packet = CodeOnlyPacket(code);
  PutBe16(packet, 4, address);
  PutBe16(packet, 7, length);
  return packet;
}

CommandPacket CpldImagePacket(uint32_t total) {
  CommandPacket packet = CodeOnlyPacket(kCommandCpldWrite);
  PutBe16(packet, 5, static_cast<uint16_t>(total >> 16));
  PutBe16(packet, 7, static_cast<uint16_t>(total));
  return packet;
}

}  // namespace velix::firmup
