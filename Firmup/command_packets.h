#pragma once
// The 10-byte command packets of the firmware update mode: byte 0 the
// command code, every other byte zero unless set, multi-byte fields
// big-endian.

#include <array>
#include <cstddef>
#include <cstdint>

namespace velix::firmup {

using CommandPacket = std::array<uint8_t, 10>;

inline constexpr uint8_t kCommandVersions = 0xC0;
inline constexpr uint8_t kCommandSetVersions = 0xC1;
inline constexpr uint8_t kCommandFlashErase = 0xD1;
inline constexpr uint8_t kCommandFlashRead = 0xD2;
inline constexpr uint8_t kCommandFlashWrite = 0xD3;
inline constexpr uint8_t kCommandSerialRead = 0xD4;
inline constexpr uint8_t kCommandSerialWrite = 0xD5;
inline constexpr uint8_t kCommandCpldWrite = 0xD7;
inline constexpr uint8_t kCommandStatus = 0xD8;
inline constexpr uint8_t kCommandEnterUpdateMode = 0xD9;

inline constexpr uint16_t kVersionReplyBytes = 8;
inline constexpr uint16_t kStatusReplyBytes = 4;

// A command whose reply length stands in bytes 7-8 (0xC0, 0xD8).
CommandPacket ReplyQueryPacket(uint8_t code, uint16_t reply_length);
// Flags in byte 1 (bit 0 flash, bit 1 EEPROM, bit 2 CPLD, each set when its
// pair is non-zero); flash at 2-3, EEPROM at 4-5, CPLD at 6-7.
CommandPacket SetVersionsPacket(uint8_t eeprom_major, uint8_t eeprom_minor, uint8_t flash_major, uint8_t flash_minor,
                                uint8_t cpld_major, uint8_t cpld_minor);
// Block number in byte 8.
CommandPacket FlashErasePacket(uint8_t block);
// Address in bytes 4-5, length in 7-8 (0xD2 to 0xD5).
CommandPacket AddressLengthPacket(uint8_t code, uint16_t address, uint16_t length);
// Total image length in bytes 5-8.
CommandPacket CpldImagePacket(uint32_t total);
// The code alone (0xD9).
CommandPacket CodeOnlyPacket(uint8_t code);

}  // namespace velix::firmup
