#pragma once
// The device's flash configuration record: 512 bytes at flash address
// 0xD000 (erase block 13). Bytes 0-3 hold the identity the device takes in
// operation mode (vendor ID then product ID, each low byte first), bytes
// 8-9 the CPLD version (major, minor); the other bytes are the device's and
// go back unchanged.

#include <array>
#include <cstdint>

#include "ModeChange/firmware_access.h"

namespace velix::modechange {

inline constexpr uint16_t kFlashRecordAddress = 0xD000;
inline constexpr uint8_t kFlashRecordBlock = 13;
inline constexpr size_t kFlashRecordSize = 512;

using FlashRecord = std::array<uint8_t, kFlashRecordSize>;

void SetOperationIdentity(FlashRecord& record);
void SetCpldVersion(FlashRecord& record, uint8_t major, uint8_t minor);

// Reads the record, then erases its block. A record that cannot be read is
// not erased (its other bytes would be lost), and false comes back; so it
// does when the erase fails, as writing over unerased bytes garbles them.
bool ReadAndEraseRecord(FirmwareAccess& firmware, FlashRecord& record);
bool WriteRecord(FirmwareAccess& firmware, const FlashRecord& record);

}  // namespace velix::modechange
