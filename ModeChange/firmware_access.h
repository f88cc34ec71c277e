#pragma once
// What the mode change tool needs from the analyzer: the firmware library
// calls it makes and the two commands it sends to the driver itself. The
// tool's logic sees the device only through this interface, so the same
// logic runs over the real library and over a device model in the tests.

#include <cstdint>
#include <span>

namespace velix::modechange {

// GetDeviceMode results: the USB product ID of the personality found, 0 for none.
inline constexpr uint32_t kDeviceModeOperation = 0x030A;
inline constexpr uint32_t kDeviceModeUpdate = 0x030B;
inline constexpr uint32_t kDeviceModeNoFirmware = 0x8613;
inline constexpr uint32_t kDeviceModeRamLoader = 0x0221;
inline constexpr uint32_t kDeviceModeAbsent = 0;

// The personality the loaded CPLD image gives the device in operation mode.
enum class Personality { kNone, kAnalyzer, kMonitor };

// The six bytes of the version reply, as GetFirmVersion hands them out.
struct FirmVersions {
  uint8_t eeprom_major = 0;
  uint8_t eeprom_minor = 0;
  uint8_t flash_major = 0;
  uint8_t flash_minor = 0;
  uint8_t cpld_major = 0;
  uint8_t cpld_minor = 0;

  bool operator==(const FirmVersions&) const = default;
};

class FirmwareAccess {
 public:
  virtual ~FirmwareAccess() = default;

  // Firmware library calls; every one but GetDeviceMode needs the device
  // in firmware update mode.
  virtual uint32_t GetDeviceMode() = 0;
  // Leaves `versions` untouched when the reply cannot be read.
  virtual bool GetFirmVersion(FirmVersions& versions) = 0;
  virtual bool GetStatus(uint8_t& status) = 0;
  virtual bool FlashRead(uint16_t address, std::span<uint8_t> buffer) = 0;
  virtual bool FlashErase(uint8_t block) = 0;
  virtual bool FlashWrite(uint16_t address, std::span<const uint8_t> data) = 0;
  // One chunk of a CPLD image; `total_length` is the image length on the
  // first chunk and 0 on every following one.
  virtual bool CPLDWrite(std::span<const uint8_t> chunk, uint32_t total_length) = 0;

  // Commands the tool sends to the driver's device itself (operation mode):
  // the personality query (kNone when it fails) and the command that makes
  // the device come up in firmware update mode at the next plug-in.
  virtual Personality QueryMode() = 0;
  virtual bool EnterUpdateMode() = 0;
};

}  // namespace velix::modechange
