#pragma once
// The analyzer's non-volatile parts: the 64 KiB flash ROM (sixteen 4 KiB
// erase blocks, holding the configuration record at 0xD000), the serial
// EEPROM, the CPLD image last written and the version block, plus the flags
// that decide the personality at the next plug-in.
//
// The state file keeps all of it between runs. Layout (integers little-endian):
//   0   8  magic "VXDEVST1"
//   8   6  versions: flash major, minor, EEPROM major, minor, CPLD major, minor
//   14  1  flags: bit 0 = enter firmware update mode at the next plug-in,
//              bit 1 = the CPLD holds the analyzer image (clear: monitor)
//   15  1  0
//   16  4  CPLD image length n
//   20     flash (65,536 bytes), serial EEPROM (16,384 bytes), CPLD image (n bytes)
// It is written to a temporary file first and renamed over the old one, so a
// reader never sees half a state.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace velix::sim {

inline constexpr uint32_t kFlashSize = 0x10000;
inline constexpr uint32_t kFlashBlockSize = 0x1000;
inline constexpr uint32_t kEepromSize = 0x4000;
inline constexpr uint32_t kCpldImageMaxSize = 200720;
inline constexpr uint32_t kConfigRecordAddress = 0xD000;
inline constexpr uint32_t kConfigRecordSize = 512;
// The FX2 boots its firmware from the EEPROM only when it starts with this byte.
inline constexpr uint8_t kEepromFirmwareMarker = 0xC2;
// The simulated CPLD images carry their personality in the first byte of the
// programming data; an accepted image with either mark loads that
// personality, any other image leaves the loaded one as it was.
inline constexpr uint8_t kAnalyzerImageMark = 'A';
inline constexpr uint8_t kMonitorImageMark = 'M';

struct DeviceMemory {
  std::vector<uint8_t> flash = std::vector<uint8_t>(kFlashSize, 0xFF);
  std::vector<uint8_t> eeprom = std::vector<uint8_t>(kEepromSize, 0xFF);
  std::vector<uint8_t> cpld_image;
  std::array<uint8_t, 6> versions{};
  bool update_mode_pending = false;
  bool analyzer_image = true;  // the loaded CPLD image: set by the control or a written image's mark

  // A device fresh from the factory: firmware in the EEPROM, the
  // operation-mode identity and CPLD version 1.00 in the flash record.
  static DeviceMemory Factory();

  // Erased flash reads 0xFF; a write can only clear bits, as on the chip.
  bool EraseBlock(uint32_t block);
  void ReadFlash(uint32_t address, std::span<uint8_t> out) const;
  void WriteFlash(uint32_t address, std::span<const uint8_t> data);
  void ReadEeprom(uint32_t address, std::span<uint8_t> out) const;
  void WriteEeprom(uint32_t address, std::span<const uint8_t> data);

  // The flash record holds the operation-mode identity 9A 1D 0A 03.
  bool RecordHasOperationIdentity() const;
  // CPLD version, major then minor, from record bytes 8-9.
  uint16_t RecordCpldVersion() const;

  bool Save(const std::string& path, std::string* error) const;
  // False with `error` set when the file is missing or malformed; *this is
  // then unchanged.
  bool Load(const std::string& path, std::string* error);
};

}  // namespace velix::sim
