#pragma once
// The capture command ("Capture Setting (START Sampling)") from the question
// about loaded data to a running capture: discard question, device open with
// its retry question, the USB 1.x question, the capture settings, the start.
// The application and orvane-cli both run it; they differ only in how the
// settings are chosen and in how questions are answered (the sink).

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/capture_limits.h"
#include "Orvane/capture/capture_start_checks.h"
#include "Orvane/capture/driver_client.h"
#include "Orvane/capture/live_buffer.h"
#include "Orvane/capture/orvane_doc.h"
#include "Orvane/decode/analysis_worker.h"
#include "Orvane/decode/device_capture.h"
#include "platform/interaction.h"

namespace orvane {

inline constexpr const char* kDeviceNotFoundQuestion = "VELIX not found. (not connect)";
inline constexpr const char* kUsb1Question =
    "Probably connected with USB 1.x.\n USB1.x connection is not supported.\n\n Continue anyway?";
inline constexpr const char* kCaptureStartFailed =
    "WARNING!!!  *** USB XFER Fail ***\n try again, or restart!!!\n";

enum class CaptureCommandResult {
  kStarted,
  kNotDiscarded,    // the loaded data stay
  kNoDevice,        // "not found" answered with Cancel
  kDeviceInUse,     // another capture streams
  kUsb1Declined,    // the USB 1.x question answered No
  kNotPrepared,     // the step after the open refused
  kSettingsCancelled,
  kStartFailed,     // the device did not start (message shown)
};

// Runs "Start Capture" for the entries the user confirmed: the checks, the
// driver buffer, the live buffer. True when the capture may start.
using StartCaptureFn = std::function<bool(const CaptureEntries& entries)>;

struct CaptureCommandSteps {
  // The capture settings: shows `values`, lets the user press "Start
  // Capture" (which calls `start` and stays when it returns false). False
  // when the user cancelled.
  std::function<bool(const CaptureDialogValues& values, const StartCaptureFn& start)> settings;
  // After the device is open and before the settings (the CLI's --power).
  std::function<bool()> after_open;
  // The pause after a new document; the CLI and tests pass none.
  std::function<void()> pause_after_new_document;
  // How often "not found" may be answered Retry without a user before the
  // command gives up (the sink answers by itself); 0 = no limit.
  int unattended_retries = 0;
  bool answers_by_itself = false;
  // Whether the live buffer must be locked whatever "LockMemory" says.
  bool require_lock = false;
  std::string device = kDriverDeviceName;
};

struct CaptureCommandContext {
  AppState& app;
  COrvaneDoc& doc;
  DriverClient& client;
  DeviceCapture& capture;
  AnalysisWorker& worker;
  LiveBuffer& buffer;
  velix::platform::InteractionSink& sink;
  DocumentFrame* frame = nullptr;
};

CaptureCommandResult RunCaptureCommand(CaptureCommandContext& context, const CaptureCommandSteps& steps);

}  // namespace orvane
