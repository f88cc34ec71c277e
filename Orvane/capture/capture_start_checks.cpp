#include "Orvane/capture/capture_start_checks.h"

namespace orvane {

CaptureEntries EntriesFromDialogValues(const CaptureDialogValues& values) {
  CaptureEntries entries;
  entries.monitor_mode = values.monitor_mode;
  entries.bus = values.bus;
  entries.free_run = values.free_run;
  entries.frequency_index = values.frequency_index;
  entries.capture_size_mb = values.capture_size_mb;
  entries.driver_buffer_mb = values.driver_buffer_mb;
  entries.max_capture_size_mb = values.max_capture_size_mb;
  return entries;
}

bool StartCaptureChecks(const CaptureEntries& entries, const SetDriverBufferFn& set_driver_buffer,
                        bool lock_memory, LiveBuffer& buffer,
                        velix::platform::InteractionSink& sink, CaptureChoice* choice) {
  if (choice == nullptr) return false;
  // The spin boxes never leave their ranges; the command-line capture has no
  // spin boxes, and a size beyond them would overflow the 32-bit positions.
  auto range_error = SizeEntryError(entries.capture_size_mb, entries.max_capture_size_mb);
  if (!range_error) range_error = SizeEntryError(entries.driver_buffer_mb, kDriverBufferMaxMb);
  if (range_error) {
    sink.Show(*range_error);
    return false;
  }
  if (entries.driver_buffer_mb >= entries.capture_size_mb) {
    sink.Show(kDriverBufferNotSmallerMessage);
    return false;
  }
  const auto driver_buffer_mb = static_cast<uint8_t>(entries.driver_buffer_mb);
  const DriverBufferResult set =
      set_driver_buffer ? set_driver_buffer(driver_buffer_mb) : DriverBufferResult::kFailed;
  if (set != DriverBufferResult::kSet) {
    sink.Show(set == DriverBufferResult::kDeviceInUse ? kDeviceInUseMessage : kDriverBufferFailedMessage);
    return false;
  }
  if (!buffer.Allocate(entries.capture_size_mb, lock_memory, sink)) return false;

  CaptureChoice accepted;
  accepted.monitor_mode = entries.monitor_mode;
  accepted.bus = entries.bus;
  accepted.free_run = entries.free_run;
  accepted.sample_period_code = SamplePeriodCodeAt(entries.frequency_index);
  accepted.driver_buffer_mb = driver_buffer_mb;
  accepted.capture_size_mb = entries.capture_size_mb;
  accepted.buffer_start = buffer.Data();
  accepted.size_bytes = buffer.SizeBytes();
  accepted.buffer_end = accepted.buffer_start + accepted.size_bytes - 1;
  *choice = accepted;
  return true;
}

void StoreCaptureChoice(const CaptureChoice& choice, AppState& app) {
  SettingsRecord& settings = app.settings;
  settings.MonitorMode = choice.monitor_mode ? 1 : 0;
  settings.m_AnalyzeBusChannel = choice.bus;
  settings.FreeRun = choice.free_run;
  settings.SamplePeriodCode = choice.sample_period_code;
  settings.DriverBufferSize = choice.driver_buffer_mb;
  settings.m_sizeSamplingBuf = choice.size_bytes;
  settings.ForcedDisplay = 0;
  app.capture_size_mb = choice.capture_size_mb;
}

}  // namespace orvane
