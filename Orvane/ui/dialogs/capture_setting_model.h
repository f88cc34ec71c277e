#pragma once
// The "Capture settings" dialog apart from its widgets: the entries as the
// user changes them, which buttons and rows the dialog offers, the check of
// a typed size, and the hidden way to offer "Capture Mode" in bus analyzer
// mode as well.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Orvane/capture/capture_limits.h"
#include "Orvane/capture/capture_start_checks.h"

namespace orvane {

// What the dialog offers for the current entries.
struct CaptureSettingEnables {
  bool spi_setting = false;  // "SPI setting..." only for the SPI bus
  bool i2c_setting = false;  // "I2C setting..." only for the two I2C buses
  bool capture_mode_shown = false;
  bool frequency_shown = false;
};

// A size typed into a size box: the value when it lies in 1..maximum,
// else the message to show before the box returns to its spin position.
struct SizeEntry {
  std::optional<uint32_t> value;
  std::string message;
};
SizeEntry CheckSizeEntry(std::string_view text, uint32_t maximum);

class CaptureSettingModel {
 public:
  // Right-button double-clicks it takes before "Capture Mode" shows in bus
  // analyzer mode too: a setting for special targets, kept out of the way.
  static constexpr int kUnlockClicks = 5;

  explicit CaptureSettingModel(const CaptureDialogValues& values);

  const CaptureEntries& Entries() const { return entries_; }
  CaptureSettingEnables Enables() const;

  void SelectBus(uint8_t bus) { entries_.bus = bus; }
  void SelectCaptureMode(uint8_t free_run) { entries_.free_run = free_run; }
  void SelectFrequency(size_t index) { entries_.frequency_index = index; }
  void SetCaptureSize(uint32_t megabytes) { entries_.capture_size_mb = megabytes; }
  void SetDriverBuffer(uint32_t megabytes) { entries_.driver_buffer_mb = megabytes; }
  uint32_t MaxDriverBufferMb() const { return max_driver_buffer_mb_; }

  void RightDoubleClick();

 private:
  CaptureEntries entries_;
  uint32_t max_driver_buffer_mb_;
  int right_double_clicks_ = 0;
};

}  // namespace orvane
