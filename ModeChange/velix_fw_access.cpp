#include "ModeChange/velix_fw_access.h"

#include "Firmup/VELIXFw.h"
#include "ModeChange/driver_commands.h"

namespace velix::modechange {

uint32_t VelixFwAccess::GetDeviceMode() { return static_cast<uint32_t>(::GetDeviceMode()); }

bool VelixFwAccess::GetFirmVersion(FirmVersions& versions) {
  // The library writes nothing when the versions cannot be read; a reply
  // is taken only whole.
  FirmVersions read = versions;
  if (::GetFirmVersion(&read.eeprom_major, &read.eeprom_minor, &read.flash_major, &read.flash_minor,
                       &read.cpld_major, &read.cpld_minor) == 0) {
    return false;
  }
  versions = read;
  return true;
}

bool VelixFwAccess::GetStatus(uint8_t& status) { return ::GetStatus(&status) != 0; }

bool VelixFwAccess::FlashRead(uint16_t address, std::span<uint8_t> buffer) {
  return ::FlashRead(address, buffer.data(), static_cast<uint32_t>(buffer.size())) != 0;
}

bool VelixFwAccess::FlashErase(uint8_t block) { return ::FlashErase(block) != 0; }

bool VelixFwAccess::FlashWrite(uint16_t address, std::span<const uint8_t> data) {
  return ::FlashWrite(address, data.data(), static_cast<uint32_t>(data.size())) != 0;
}

bool VelixFwAccess::CPLDWrite(std::span<const uint8_t> chunk, uint32_t total_length) {
  return ::CPLDWrite(chunk.data(), static_cast<uint32_t>(chunk.size()), total_length) != 0;
}

Personality VelixFwAccess::QueryMode() { return QueryDriverMode(); }

bool VelixFwAccess::EnterUpdateMode() { return SendEnterUpdateMode(); }

}  // namespace velix::modechange
