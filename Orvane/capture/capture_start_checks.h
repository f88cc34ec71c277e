#pragma once
// "Start Capture" of the capture settings dialog, without the dialog: the
// size checks, the driver buffer size handed to the driver, the live buffer
// allocation, and the values the capture then runs with. The dialog stays
// open whenever this fails; the user has been told why through the sink.

#include <cstdint>
#include <functional>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/capture_limits.h"
#include "Orvane/capture/live_buffer.h"
#include "platform/interaction.h"

namespace orvane {

inline constexpr const char* kDriverBufferNotSmallerMessage =
    "Capture data size need to be larger than driver buffer size.";
inline constexpr const char* kDriverBufferFailedMessage =
    "Failed to set the Driver buffer size.\nPlease set the smaller size. \n or reconnect VELIX and "
    "restart the application.";

inline constexpr const char* kDeviceInUseMessage = "VELIX is in use by another capture.";

// What setting the driver buffer size came to: the device refuses it while
// another capture streams, which no smaller size or reconnection cures.
enum class DriverBufferResult { kSet, kFailed, kDeviceInUse };

// Sets the driver's accumulation buffer size in MB (the driver client's
// SetDriverBuffer).
using SetDriverBufferFn = std::function<DriverBufferResult(uint8_t megabytes)>;

// The choices in the dialog when "Start Capture" is pressed.
struct CaptureEntries {
  bool monitor_mode = false;
  uint8_t bus = 0;
  uint8_t free_run = 0;
  size_t frequency_index = 0;
  uint32_t capture_size_mb = 0;   // spin position
  uint32_t driver_buffer_mb = 0;  // spin position
  uint32_t max_capture_size_mb = 0;
};

// What an accepted "Start Capture" hands to the capture.
struct CaptureChoice {
  bool monitor_mode = false;
  uint8_t bus = 0;
  uint8_t free_run = 0;
  uint8_t sample_period_code = 2;
  uint8_t driver_buffer_mb = 0;
  uint32_t capture_size_mb = 0;
  uint8_t* buffer_start = nullptr;
  uint8_t* buffer_end = nullptr;  // last byte: start + size - 1
  uint32_t size_bytes = 0;        // m_sizeSamplingBuf
};

// The entries a dialog opened with, as they stand before the user changes any.
CaptureEntries EntriesFromDialogValues(const CaptureDialogValues& values);

// Runs the checks in order: sizes in range (the boxes keep them so; a
// caller without the dialog may not), driver buffer smaller than the
// capture, the driver buffer size set, the live buffer allocated. On
// success `choice` is filled and `buffer` holds the live buffer.
bool StartCaptureChecks(const CaptureEntries& entries, const SetDriverBufferFn& set_driver_buffer,
                        bool lock_memory, LiveBuffer& buffer,
                        velix::platform::InteractionSink& sink, CaptureChoice* choice);

// Stores an accepted choice where the capture reads it: `MonitorMode`, the
// bus, `FreeRun`, `SamplePeriodCode`, `DriverBufferSize` and the capture
// size; forced display mode is switched off for a live capture.
void StoreCaptureChoice(const CaptureChoice& choice, AppState& app);

}  // namespace orvane
