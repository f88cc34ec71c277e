#pragma once
// FirmwareAccess over the real device: the firmware library's exports for
// the firmware calls, the driver's device "\\.\VELIX0" for the personality
// query and the enter-update-mode command.

#include "ModeChange/firmware_access.h"

namespace velix::modechange {

class VelixFwAccess final : public FirmwareAccess {
 public:
  uint32_t GetDeviceMode() override;
  bool GetFirmVersion(FirmVersions& versions) override;
  bool GetStatus(uint8_t& status) override;
  bool FlashRead(uint16_t address, std::span<uint8_t> buffer) override;
  bool FlashErase(uint8_t block) override;
  bool FlashWrite(uint16_t address, std::span<const uint8_t> data) override;
  bool CPLDWrite(std::span<const uint8_t> chunk, uint32_t total_length) override;
  Personality QueryMode() override;
  bool EnterUpdateMode() override;
};

}  // namespace velix::modechange
