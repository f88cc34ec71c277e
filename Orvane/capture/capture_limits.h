#pragma once
// The entries of the "Capture settings" dialog: their texts, ranges and
// defaults, the values the dialog opens with, and the check of a typed size.
// The Qt dialog and the command-line capture both start from these, so the
// two never disagree on what a capture may ask for.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "Orvane/capture/settings_record.h"

namespace orvane {

inline constexpr uint32_t kMegabyte = 1048576;

inline constexpr uint32_t kCaptureSizeCapMb = 480;
inline constexpr uint32_t kCaptureSizeCapMonitorMb = 192;
inline constexpr uint32_t kCaptureSizeDefaultMb = 256;
inline constexpr uint32_t kCaptureSizeDefaultMonitorMb = 32;
inline constexpr uint32_t kDriverBufferMaxMb = 16;
inline constexpr uint32_t kDriverBufferDefaultMb = 16;
inline constexpr uint32_t kDriverBufferDefaultMonitorMb = 2;

// "Capture Bus", in the order of `m_AnalyzeBusChannel`.
inline constexpr std::array<const char*, 3> kCaptureBusLabels = {"SPI", "I2C #0(Main)",
                                                                 "I2C #1(Sub)"};
// "Capture Mode", in the order of `FreeRun`.
inline constexpr std::array<const char*, 2> kCaptureModeLabels = {"Oneshot", "Free run"};
// "Sampling frequency" entries and the sample period code each stands for.
inline constexpr std::array<const char*, 3> kFrequencyLabels = {"50MHz", "20MHz", "10MHz"};
inline constexpr std::array<uint8_t, 3> kSamplePeriodCodes = {2, 5, 10};

inline constexpr const char* kDriverBufferNote =
    "(If there is no problem, please use default value\n of driver buffer size.)";

// The title line of the dialog: text and colour (0x00BBGGRR).
struct ModeTitle {
  const char* text;
  uint32_t colour;
};
ModeTitle CaptureModeTitle(bool monitor_mode);

// The "Sampling frequency" entry shown for a sample period code: 50 MHz for
// 2, 20 MHz for 5, 10 MHz for anything else.
size_t FrequencyIndex(uint8_t sample_period_code);
// The sample period code of an entry; an index past the list reads as 10 MHz.
uint8_t SamplePeriodCodeAt(size_t frequency_index);

// Largest capture size for the given available physical memory: half of it
// in MB, minus 2, capped at 480 (192 in monitor mode). Saturates at 0 when
// memory is that short instead of wrapping around to a huge value.
uint32_t MaxCaptureSizeMb(uint64_t available_bytes, bool monitor_mode);
// The same from what the system reports now; when it cannot tell, the cap
// of the mode (the commit itself reports a real shortage).
uint32_t MaxCaptureSizeMbNow(bool monitor_mode);

// What the dialog shows when it opens.
struct CaptureDialogValues {
  bool monitor_mode = false;
  uint8_t bus = 0;                // index into kCaptureBusLabels
  uint8_t free_run = 0;           // index into kCaptureModeLabels
  size_t frequency_index = 0;     // index into kFrequencyLabels
  uint32_t capture_size_mb = 0;
  uint32_t driver_buffer_mb = 0;
  uint32_t max_capture_size_mb = 0;
  uint32_t max_driver_buffer_mb = kDriverBufferMaxMb;
};

// A bus above 2 becomes SPI, bus analyzer mode is always oneshot, a capture
// size of 0 takes the mode's default, and any size ends up within 1..its
// maximum (a default above a small maximum included); a driver buffer size
// of 0 or above 16 takes the mode's default.
CaptureDialogValues OpenCaptureDialogValues(const SettingsRecord& settings,
                                            uint32_t capture_size_mb, bool monitor_mode,
                                            uint32_t max_capture_size_mb);

// A size typed into either size box: nullopt when it lies in 1..maximum,
// else the message to show (the box then returns to its spin position).
std::optional<std::string> SizeEntryError(uint32_t value, uint32_t maximum);

}  // namespace orvane
