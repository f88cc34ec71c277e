#include "Orvane/decode/capture_command.h"

#include <chrono>
#include <thread>

#include "Orvane/decode/live_end.h"

namespace orvane {
namespace {

using velix::platform::Answer;
using velix::platform::Buttons;
using velix::platform::Icon;

// A sink that answers by itself would retry "not found" without a pause;
// a device being plugged in shows up within a few of these.
constexpr auto kUnattendedRetryPause = std::chrono::milliseconds(500);

bool DiscardLoadedData(CaptureCommandContext& context, const CaptureCommandSteps& steps) {
  if (!context.app.data_loaded) return true;
  if (context.sink.MessageBox(kDiscardSamplingDataQuestion, Icon::kNone, Buttons::kYesNo, Answer::kNo) !=
      Answer::kYes) {
    return false;
  }
  const bool renewed = context.doc.OnNewDocument();
  if (steps.pause_after_new_document) steps.pause_after_new_document();
  return renewed && !context.app.data_loaded;
}

CaptureCommandResult OpenDevice(CaptureCommandContext& context, const CaptureCommandSteps& steps) {
  int retries = 0;
  while (!context.client.CloseOpenDriver(steps.device)) {
    // Retrying cannot help while another capture streams, and "not found"
    // would send the user looking for a cable.
    if (context.client.DeviceInUse()) {
      context.sink.Show(kDeviceInUseMessage, Icon::kStop);
      return CaptureCommandResult::kDeviceInUse;
    }
    if (context.sink.MessageBox(kDeviceNotFoundQuestion, Icon::kStop, Buttons::kRetryCancel, Answer::kCancel) !=
        Answer::kRetry) {
      return CaptureCommandResult::kNoDevice;
    }
    if (steps.answers_by_itself) {
      if (steps.unattended_retries > 0 && ++retries > steps.unattended_retries) {
        return CaptureCommandResult::kNoDevice;
      }
      std::this_thread::sleep_for(kUnattendedRetryPause);
    }
  }
  if (context.client.Info()[1] < 2 &&
      context.sink.MessageBox(kUsb1Question, Icon::kStop, Buttons::kYesNo, Answer::kNo) != Answer::kYes) {
    return CaptureCommandResult::kUsb1Declined;
  }
  return CaptureCommandResult::kStarted;
}

}  // namespace

CaptureCommandResult RunCaptureCommand(CaptureCommandContext& context, const CaptureCommandSteps& steps) {
  AppState& app = context.app;
  if (!DiscardLoadedData(context, steps)) return CaptureCommandResult::kNotDiscarded;
  if (const CaptureCommandResult opened = OpenDevice(context, steps); opened != CaptureCommandResult::kStarted) {
    return opened;
  }
  if (steps.after_open && !steps.after_open()) return CaptureCommandResult::kNotPrepared;

  const bool monitor = !context.client.AnalyzerMode();
  app.settings.MonitorMode = monitor ? 1 : 0;
  const CaptureDialogValues values =
      OpenCaptureDialogValues(app.settings, app.capture_size_mb, monitor, MaxCaptureSizeMbNow(monitor));
  const bool lock = app.lock_memory != 0 || steps.require_lock;
  std::optional<CaptureChoice> accepted;
  const StartCaptureFn start = [&](const CaptureEntries& entries) {
    const auto set_driver_buffer = [&context](uint8_t megabytes) {
      if (context.client.SetDriverBuffer(megabytes)) return DriverBufferResult::kSet;
      return context.client.DeviceInUse() ? DriverBufferResult::kDeviceInUse : DriverBufferResult::kFailed;
    };
    CaptureChoice choice;
    if (!StartCaptureChecks(entries, set_driver_buffer, lock, context.buffer, context.sink, &choice)) return false;
    accepted = choice;
    return true;
  };
  if (!steps.settings(values, start) || !accepted) {
    // A buffer taken by a start the user then left behind is not kept.
    context.buffer.Release(context.sink);
    return CaptureCommandResult::kSettingsCancelled;
  }

  StoreCaptureChoice(*accepted, app);
  app.live_capture = true;
  if (context.frame != nullptr) context.frame->ChangeViewSplitter(false);
  if (context.capture.StartCapture_Sampling(context.doc, context.worker, accepted->buffer_start,
                                            accepted->size_bytes)) {
    return CaptureCommandResult::kStarted;
  }
  app.live_capture = false;
  context.buffer.Release(context.sink);
  context.sink.Show(context.client.DeviceInUse() ? kDeviceInUseMessage : kCaptureStartFailed, Icon::kStop);
  return CaptureCommandResult::kStartFailed;
}

}  // namespace orvane
