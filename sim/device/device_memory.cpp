#include "sim/device/device_memory.h"

#include <cstring>

#include "platform/regular_file.h"

namespace velix::sim {
namespace {

constexpr char kMagic[8] = {'V', 'X', 'D', 'E', 'V', 'S', 'T', '1'};
constexpr size_t kHeaderSize = 20;
constexpr uint8_t kOperationIdentity[4] = {0x9A, 0x1D, 0x0A, 0x03};

void ReadRange(const std::vector<uint8_t>& memory, uint32_t address, std::span<uint8_t> out) {
  for (size_t i = 0; i < out.size(); ++i) {
    const size_t at = address + i;
    out[i] = at < memory.size() ? memory[at] : 0xFF;
  }
}

}  // namespace

DeviceMemory DeviceMemory::Factory() {
  DeviceMemory memory;
  memory.eeprom[0] = kEepromFirmwareMarker;
  memory.versions = {1, 0, 1, 0, 1, 0};
  std::memcpy(&memory.flash[kConfigRecordAddress], kOperationIdentity, 4);
  memory.flash[kConfigRecordAddress + 8] = 1;
  memory.flash[kConfigRecordAddress + 9] = 0;
  return memory;
}

bool DeviceMemory::EraseBlock(uint32_t block) {
  if (block >= kFlashSize / kFlashBlockSize) return false;
  std::memset(&flash[block * kFlashBlockSize], 0xFF, kFlashBlockSize);
  return true;
}

void DeviceMemory::ReadFlash(uint32_t address, std::span<uint8_t> out) const { ReadRange(flash, address, out); }

void DeviceMemory::WriteFlash(uint32_t address, std::span<const uint8_t> data) {
  for (size_t i = 0; i < data.size() && address + i < kFlashSize; ++i) flash[address + i] &= data[i];
}

void DeviceMemory::ReadEeprom(uint32_t address, std::span<uint8_t> out) const { ReadRange(eeprom, address, out); }

void DeviceMemory::WriteEeprom(uint32_t address, std::span<const uint8_t> data) {
  for (size_t i = 0; i < data.size() && address + i < kEepromSize; ++i) eeprom[address + i] = data[i];
}

bool DeviceMemory::RecordHasOperationIdentity() const {
  return std::memcmp(&flash[kConfigRecordAddress], kOperationIdentity, 4) == 0;
}

uint16_t DeviceMemory::RecordCpldVersion() const {
  return static_cast<uint16_t>((flash[kConfigRecordAddress + 8] << 8) | flash[kConfigRecordAddress + 9]);
}

bool DeviceMemory::Save(const std::string& path, std::string* error) const {
  std::vector<uint8_t> bytes(kHeaderSize);
  std::memcpy(bytes.data(), kMagic, 8);
  std::memcpy(&bytes[8], versions.data(), 6);
  bytes[14] = static_cast<uint8_t>((update_mode_pending ? 1 : 0) | (analyzer_image ? 2 : 0));
  const auto length = static_cast<uint32_t>(cpld_image.size());
  for (int i = 0; i < 4; ++i) bytes[16 + i] = static_cast<uint8_t>(length >> (8 * i));
  bytes.insert(bytes.end(), flash.begin(), flash.end());
  bytes.insert(bytes.end(), eeprom.begin(), eeprom.end());
  bytes.insert(bytes.end(), cpld_image.begin(), cpld_image.end());
  return platform::ReplaceRegularFile(path, bytes, error);
}

bool DeviceMemory::Load(const std::string& path, std::string* error) {
  // The state file may sit in a folder shared with others: no link is
  // followed and no more is read than a state file can hold.
  std::vector<uint8_t> bytes;
  const size_t largest = kHeaderSize + kFlashSize + kEepromSize + kCpldImageMaxSize;
  const platform::FileReadResult read = platform::ReadRegularFile(path, platform::FinalLink::kRefuse, 0, largest, &bytes);
  if (read == platform::FileReadResult::kCannotOpen || read == platform::FileReadResult::kReadFailed) {
    *error = "cannot open " + path;
    return false;
  }
  const size_t fixed = kHeaderSize + kFlashSize + kEepromSize;
  if (bytes.size() < fixed || std::memcmp(bytes.data(), kMagic, 8) != 0) {
    *error = "not a device state file: " + path;
    return false;
  }
  uint32_t length = 0;
  for (int i = 0; i < 4; ++i) length |= static_cast<uint32_t>(bytes[16 + i]) << (8 * i);
  if (length > kCpldImageMaxSize || bytes.size() != fixed + length) {
    *error = "device state file has a bad length: " + path;
    return false;
  }
  std::memcpy(versions.data(), &bytes[8], 6);
  update_mode_pending = (bytes[14] & 1) != 0;
  analyzer_image = (bytes[14] & 2) != 0;
  const auto flash_begin = bytes.begin() + kHeaderSize;
  flash.assign(flash_begin, flash_begin + kFlashSize);
  eeprom.assign(flash_begin + kFlashSize, flash_begin + kFlashSize + kEepromSize);
  cpld_image.assign(flash_begin + kFlashSize + kEepromSize, bytes.end());
  return true;
}

}  // namespace velix::sim
