#pragma once
// A model of the analyzer as the mode change tool sees it, behind
// FirmwareAccess: the personality it enumerates with, the CPLD image that
// makes it analyzer or monitor, and the flash record it takes its identity
// and CPLD version from at each plug-in. Calls are logged for the tests;
// single calls can be made to fail.
//
// Test images mark their personality in their first byte ('A' or 'M').

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "ModeChange/firmware_access.h"
#include "ModeChange/flash_record.h"

namespace velix::modechange::testing {

struct CpldChunk {
  size_t length = 0;
  uint32_t total = 0;
};

class FakeVelixDevice final : public FirmwareAccess {
 public:
  // A device in operation mode with `personality` loaded and CPLD version
  // major.minor in its record.
  FakeVelixDevice(Personality personality, uint8_t cpld_major, uint8_t cpld_minor);

  // Device side.
  void Unplug();
  void Plug();
  void Replug() {
    Unplug();
    Plug();
  }
  // Makes GetDeviceMode report `identity` (e.g. the controller without firmware).
  void SetIdentity(uint32_t identity);
  // The next CPLDWrite call number `index` (0-based from now) fails.
  void FailCpldChunk(int index);
  void FailFlashRead();
  void SetStatusByte(uint8_t status);
  void SetRecordVersion(uint8_t cpld_major, uint8_t cpld_minor);
  // Runs `hook` once, on the caller's thread, when GetFirmVersion is next called.
  void BeforeNextVersionRead(std::function<void()> hook);

  // Observation.
  uint32_t Identity() const;
  Personality LoadedPersonality() const;
  FlashRecord Record() const;
  std::vector<CpldChunk> CpldChunks() const;
  std::vector<std::string> Calls() const;
  void ClearLog();

  // FirmwareAccess.
  uint32_t GetDeviceMode() override;
  bool GetFirmVersion(FirmVersions& versions) override;
  bool GetStatus(uint8_t& status) override;
  bool FlashRead(uint16_t address, std::span<uint8_t> buffer) override;
  bool FlashErase(uint8_t block) override;
  bool FlashWrite(uint16_t address, std::span<const uint8_t> data) override;
  bool CPLDWrite(std::span<const uint8_t> chunk, uint32_t total_length) override;
  Personality QueryMode() override;
  bool EnterUpdateMode() override;

 private:
  bool InUpdateMode() const { return plugged_ && identity_ == kDeviceModeUpdate; }
  void Log(std::string call) { calls_.push_back(std::move(call)); }

  mutable std::mutex mutex_;
  bool plugged_ = true;
  uint32_t identity_ = kDeviceModeOperation;
  Personality personality_;
  FlashRecord record_{};
  std::vector<uint8_t> image_;
  uint32_t image_total_ = 0;
  int failing_chunk_ = -1;
  bool fail_flash_read_ = false;
  std::function<void()> version_read_hook_;
  uint8_t status_byte_ = 0x5A;
  std::vector<CpldChunk> chunks_;
  std::vector<std::string> calls_;
};

}  // namespace velix::modechange::testing
