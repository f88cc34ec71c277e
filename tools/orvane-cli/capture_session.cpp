#include "tools/orvane-cli/capture_session.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <iterator>
#include <thread>

#include "Orvane/capture/capture_start_checks.h"
#include "Orvane/capture/general_settings.h"
#include "Orvane/decode/live_end.h"
#include "platform/daemon_hint.h"
#include "platform/settings_store.h"
#include "tools/orvane-cli/commands.h"
#include "tools/orvane-cli/run_pump.h"
#include "tools/orvane-cli/settings_overrides.h"

namespace orvane::cli {
namespace {

using velix::platform::Answer;
using velix::platform::Buttons;
using velix::platform::Icon;
using Clock = std::chrono::steady_clock;

// Answered without a user (--yes), the "not found" question would be
// retried for ever; a device that is being plugged in shows up within this.
constexpr int kUnattendedRetries = 3;

// Ctrl-C, and the signals a service manager or a closed terminal send, act
// as the stop command: what the device sent is drained and saved.
std::atomic<bool> g_stop_requested{false};
void OnStopSignal(int) { g_stop_requested = true; }
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Holds the stop signals on OnStopSignal from the start of the capture
// until what arrived is saved, then puts the previous handlers back.
class StopSignals {
 public:
  StopSignals() {
    g_stop_requested = false;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < std::size(kStopSignals); ++i) {
      ::sigaction(kStopSignals[i], nullptr, &previous_[i]);
      // A signal ignored by whoever started us (nohup) stays ignored.
      if (previous_[i].sa_handler != SIG_IGN) ::sigaction(kStopSignals[i], &action, nullptr);
    }
  }
  ~StopSignals() {
    for (size_t i = 0; i < std::size(kStopSignals); ++i) ::sigaction(kStopSignals[i], &previous_[i], nullptr);
  }
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

 private:
  struct sigaction previous_[std::size(kStopSignals)] {};
};

}  // namespace

bool CaptureSession::ApplyPower(uint8_t code) {
  bool powered = false;
  const bool queried = station_.client.GetPowerSense(&powered);
  const uint8_t reply[4] = {0, 0, 0, static_cast<uint8_t>(powered ? 1 : 0)};
  const PowerSense sense = PowerSenseFromQuery(station_.client.IsOpen(), queried, reply);
  GeneralSettingsValues chosen = OpenGeneralSettingsValues(app_.settings, app_.lock_memory != 0);
  chosen.power_supply = code;
  const std::optional<uint8_t> send =
      StoreGeneralSettings(AcceptGeneralSettings(chosen, sense.device_present, sense, sink_), app_);
  if (!send) return true;
  if (station_.client.VELIX_DriverPowerControl(*send)) return true;
  std::fprintf(stderr, "** OpenDriver() or VELIX_DriverPowerControl()  Fail...\n");
  return false;
}

bool CaptureSession::StartCapture(const CaptureOptions& options) {
  // Without a user to ask, an unlocked buffer is a warning unless the
  // command line requires the lock.
  station_.buffer.SetLockFailurePolicy(options.lock_memory ? LockFailurePolicy::kFail : LockFailurePolicy::kContinue);
  CaptureCommandSteps steps;
  steps.device = options.device;
  steps.answers_by_itself = sink_.AnswersByItself();
  steps.unattended_retries = kUnattendedRetries;
  steps.require_lock = options.lock_memory;
  if (options.power) steps.after_open = [this, &options] { return ApplyPower(*options.power); };
  steps.settings = [&options](const CaptureDialogValues& values, const StartCaptureFn& start) {
    CaptureEntries entries = EntriesFromDialogValues(values);
    if (options.size_mb) entries.capture_size_mb = *options.size_mb;
    if (options.driver_buffer_mb) entries.driver_buffer_mb = *options.driver_buffer_mb;
    return start(entries);
  };
  CaptureCommandContext context = station_.CommandContext(nullptr);
  const CaptureCommandResult result = RunCaptureCommand(context, steps);
  if (result == CaptureCommandResult::kNoDevice) {
    if (sink_.AnswersByItself()) std::fprintf(stderr, "gave up after %d retries\n", kUnattendedRetries);
    std::fputs(velix::platform::DeviceNotFoundHint().c_str(), stderr);
  }
  last_command_result_ = result;
  return result == CaptureCommandResult::kStarted;
}

uint32_t CaptureSession::RunLive(const CaptureOptions& options) {
  const auto started = Clock::now();
  auto last_report = started;
  bool stop_sent = false;
  const WorkerEnd end = PumpUntilWorkerEnd(station_.events, sink_, [&] {
    const bool timed_out = options.duration_seconds &&
                           std::chrono::duration<double>(Clock::now() - started).count() >= *options.duration_seconds;
    if ((g_stop_requested || timed_out) && !stop_sent) {
      stop_sent = true;
      station_.worker.StopCaptureAnalyzing(station_.doc);
    }
    if (options.progress && Clock::now() - last_report >= std::chrono::milliseconds(500) && station_.doc.Sampling()) {
      last_report = Clock::now();
      std::fprintf(stderr, "\rreceived %u bytes, %u transactions decoded",
                   station_.doc.Sampling()->m_lenSamplingDataInBuffer.load(), station_.doc.Sampling()->transaction_counter.load());
    }
  });
  if (options.progress) std::fprintf(stderr, "\n");
  station_.worker.WaitForWinThreadEnd();
  live_outcome_ = HandleRunEnd(station_.doc, end.live, end.result, sink_, station_.search, nullptr);
  return end.result;
}

int CaptureSession::ReopenAndDecode() {
  if (!station_.doc.OnOpenDocument(std::nullopt)) return kExitOpenFailed;
  const WorkerEnd end = PumpUntilWorkerEnd(station_.events, sink_, {});
  offline_outcome_ = HandleRunEnd(station_.doc, end.live, end.result, sink_, station_.search, nullptr);
  return kExitOk;
}

int CaptureSession::Run(const CaptureOptions& options) {
  if (InitTempNames(app_) != 0) {
    std::fprintf(stderr, "error: no temporary folder\n");
    return kExitOpenFailed;
  }
  LoadAppSettings(velix::platform::IniSettingsStore(velix::platform::DefaultSettingsPath("Orvane")), app_);
  app_.sampling_file_name = options.output;
  for (const std::string& assignment : options.overrides) {
    std::string error;
    std::string warning;
    ApplySettingOverride(assignment, &app_.settings, &error, &warning);
    if (!warning.empty()) std::fprintf(stderr, "warning: %s\n", warning.c_str());
  }
  station_.doc.OnNewDocument();
  std::optional<StopSignals> stop_signals;
  stop_signals.emplace();
  if (!StartCapture(options)) {
    const bool not_opened = last_command_result_ == CaptureCommandResult::kNoDevice ||
                            last_command_result_ == CaptureCommandResult::kDeviceInUse ||
                            last_command_result_ == CaptureCommandResult::kUsb1Declined;
    return not_opened ? kExitOpenFailed : kExitRunError;
  }

  const uint32_t result = RunLive(options);
  // Whatever ended the capture, what arrived is saved: a temporary name is
  // the way out when the chosen file cannot be written.
  bool offered_fallback = false;
  const SaveAsDialog save_as = [&]() -> std::optional<std::string> {
    if (offered_fallback) return std::nullopt;
    offered_fallback = true;
    const std::string fallback = app_.temp_folder + "capture-" + std::to_string(::getpid()) + ".SIC";
    std::fprintf(stderr, "%s\n  -> %s\n", kSaveSamplingDataTitle, fallback.c_str());
    return fallback;
  };
  const bool saved = FinishLiveCapture(station_.doc, station_.buffer, sink_, save_as);
  stop_signals.reset();
  if (!saved) return IsErrorResult(result) ? kExitRunError : kExitNoTransaction;
  if (app_.sampling_file_name != options.output) {
    std::fprintf(stderr, "saved to %s\n", app_.sampling_file_name.c_str());
  }
  if (const int status = ReopenAndDecode(); status != kExitOk) return status;
  if (IsErrorResult(result)) return kExitRunError;
  return offline_outcome_.no_valid_transaction ? kExitNoTransaction : kExitOk;
}

}  // namespace orvane::cli
