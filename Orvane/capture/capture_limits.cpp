#include "Orvane/capture/capture_limits.h"

#include <algorithm>

#include "platform/locked_memory.h"
#include "platform/string_format.h"

namespace orvane {
namespace {

constexpr uint32_t kMonitorTitleColour = 0x109F10;   // green
constexpr uint32_t kAnalyzerTitleColour = 0x1080C0;  // orange
constexpr uint8_t kLastBus = 2;

// Only half of what is free goes to the buffer, less 2 MB of headroom, so
// the rest of the system keeps breathing while the capture runs.
constexpr uint64_t kHeadroomMb = 2;

uint32_t CaptureSizeCap(bool monitor_mode) {
  return monitor_mode ? kCaptureSizeCapMonitorMb : kCaptureSizeCapMb;
}

}  // namespace

ModeTitle CaptureModeTitle(bool monitor_mode) {
  return monitor_mode ? ModeTitle{"MONITOR MODE", kMonitorTitleColour}
                      : ModeTitle{"BUS ANALYZER MODE", kAnalyzerTitleColour};
}

size_t FrequencyIndex(uint8_t sample_period_code) {
  switch (sample_period_code) {
    case 2: return 0;
    case 5: return 1;
    default: return 2;
  }
}

uint8_t SamplePeriodCodeAt(size_t frequency_index) {
  return kSamplePeriodCodes[std::min(frequency_index, kSamplePeriodCodes.size() - 1)];
}

uint32_t MaxCaptureSizeMb(uint64_t available_bytes, bool monitor_mode) {
  const uint64_t half_mb = available_bytes / kMegabyte / 2;
  const uint64_t usable_mb = half_mb > kHeadroomMb ? half_mb - kHeadroomMb : 0;
  return static_cast<uint32_t>(std::min<uint64_t>(usable_mb, CaptureSizeCap(monitor_mode)));
}

uint32_t MaxCaptureSizeMbNow(bool monitor_mode) {
  uint64_t total = 0;
  uint64_t available = 0;
  if (!velix::platform::PhysicalMemory(&total, &available)) return CaptureSizeCap(monitor_mode);
  return MaxCaptureSizeMb(available, monitor_mode);
}

CaptureDialogValues OpenCaptureDialogValues(const SettingsRecord& settings,
                                            uint32_t capture_size_mb, bool monitor_mode,
                                            uint32_t max_capture_size_mb) {
  CaptureDialogValues values;
  values.monitor_mode = monitor_mode;
  values.bus = settings.m_AnalyzeBusChannel <= kLastBus ? settings.m_AnalyzeBusChannel : 0;
  // Free run is a monitor-mode feature; the analyzer always fills the buffer once.
  values.free_run = (monitor_mode && settings.FreeRun == 1) ? 1 : 0;
  values.frequency_index = FrequencyIndex(settings.SamplePeriodCode);
  values.max_capture_size_mb = max_capture_size_mb;
  values.max_driver_buffer_mb = kDriverBufferMaxMb;

  uint32_t capture = capture_size_mb;
  if (capture == 0) capture = monitor_mode ? kCaptureSizeDefaultMonitorMb : kCaptureSizeDefaultMb;
  values.capture_size_mb = std::min(capture, max_capture_size_mb);

  const uint32_t driver = settings.DriverBufferSize;
  values.driver_buffer_mb =
      (driver == 0 || driver > kDriverBufferMaxMb)
          ? (monitor_mode ? kDriverBufferDefaultMonitorMb : kDriverBufferDefaultMb)
          : driver;
  return values;
}

std::optional<std::string> SizeEntryError(uint32_t value, uint32_t maximum) {
  if (value != 0 && value <= maximum) return std::nullopt;
  return velix::platform::StringPrintf("Setting error.\nThe setting value is beyond the range\n : %u",
                                       value);
}

}  // namespace orvane
