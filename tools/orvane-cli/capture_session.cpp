#include "tools/orvane-cli/capture_session.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>

#include "Orvane/capture/capture_start_checks.h"
#include "Orvane/capture/general_settings.h"
#include "Orvane/decode/live_end.h"
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

constexpr const char* kDeviceNotFound = "VELIX not found. (not connect)";
constexpr const char* kUsb1Question =
    "Probably connected with USB 1.x.\n USB1.x connection is not supported.\n\n Continue anyway?";
constexpr const char* kCaptureStartFailed = "WARNING!!!  *** USB XFER Fail ***\n try again, or restart!!!\n";

// Ctrl-C acts as the stop command.
std::atomic<bool> g_stop_requested{false};
void OnInterrupt(int) { g_stop_requested = true; }

}  // namespace

CaptureSession::CaptureSession() {
  velix::platform::WorkingSetLimits limits{};
  velix::platform::GetWorkingSetLimits(&limits);
  buffer_ = std::make_unique<LiveBuffer>(PlatformLiveMemory(), limits);
}

CaptureSession::~CaptureSession() {
  worker_.WaitForWinThreadEnd();
  if (doc_) doc_->OnCloseDocument();
  doc_.reset();
  buffer_->Release(sink_);
}

bool CaptureSession::OpenDevice(const std::string& name) {
  while (!client_.CloseOpenDriver(name)) {
    // Retrying cannot help while another capture streams, and "not found"
    // would send the user looking for a cable.
    if (client_.DeviceInUse()) {
      sink_.Show(kDeviceInUseMessage, Icon::kStop);
      return false;
    }
    if (sink_.MessageBox(kDeviceNotFound, Icon::kStop, Buttons::kRetryCancel, Answer::kCancel) != Answer::kRetry) {
      return false;
    }
  }
  if (client_.Info()[1] < 2 &&
      sink_.MessageBox(kUsb1Question, Icon::kStop, Buttons::kYesNo, Answer::kNo) != Answer::kYes) {
    return false;
  }
  return true;
}

bool CaptureSession::ApplyPower(uint8_t code) {
  bool powered = false;
  const bool queried = client_.GetPowerSense(&powered);
  const uint8_t reply[4] = {0, 0, 0, static_cast<uint8_t>(powered ? 1 : 0)};
  const PowerSense sense = PowerSenseFromQuery(client_.IsOpen(), queried, reply);
  GeneralSettingsValues chosen = OpenGeneralSettingsValues(app_.settings, app_.lock_memory != 0);
  chosen.power_supply = code;
  const std::optional<uint8_t> send =
      StoreGeneralSettings(AcceptGeneralSettings(chosen, sense.device_present, sense, sink_), app_);
  if (!send) return true;
  if (client_.VELIX_DriverPowerControl(*send)) return true;
  std::fprintf(stderr, "** OpenDriver() or VELIX_DriverPowerControl()  Fail...\n");
  return false;
}

bool CaptureSession::StartCapture(const CaptureOptions& options) {
  const bool monitor = !client_.AnalyzerMode();
  app_.settings.MonitorMode = monitor ? 1 : 0;
  const uint32_t max_size = MaxCaptureSizeMbNow(monitor);
  CaptureEntries entries =
      EntriesFromDialogValues(OpenCaptureDialogValues(app_.settings, app_.capture_size_mb, monitor, max_size));
  if (options.size_mb) entries.capture_size_mb = *options.size_mb;
  if (options.driver_buffer_mb) entries.driver_buffer_mb = *options.driver_buffer_mb;
  CaptureChoice choice;
  const auto set_driver_buffer = [this](uint8_t megabytes) {
    if (client_.SetDriverBuffer(megabytes)) return DriverBufferResult::kSet;
    return client_.DeviceInUse() ? DriverBufferResult::kDeviceInUse : DriverBufferResult::kFailed;
  };
  if (!StartCaptureChecks(entries, set_driver_buffer, app_.lock_memory != 0, *buffer_, sink_, &choice)) {
    return false;
  }
  StoreCaptureChoice(choice, app_);
  app_.live_capture = true;
  if (capture_.StartCapture_Sampling(*doc_, worker_, choice.buffer_start, choice.size_bytes)) return true;
  app_.live_capture = false;
  buffer_->Release(sink_);
  sink_.Show(client_.DeviceInUse() ? kDeviceInUseMessage : kCaptureStartFailed, Icon::kStop);
  return false;
}

uint32_t CaptureSession::RunLive(const CaptureOptions& options) {
  g_stop_requested = false;
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  struct sigaction previous {};
  ::sigaction(SIGINT, &action, &previous);
  const auto started = Clock::now();
  auto last_report = started;
  bool stop_sent = false;
  const WorkerEnd end = PumpUntilWorkerEnd(events_, sink_, [&] {
    const bool timed_out = options.duration_seconds &&
                           std::chrono::duration<double>(Clock::now() - started).count() >= *options.duration_seconds;
    if ((g_stop_requested || timed_out) && !stop_sent) {
      stop_sent = true;
      worker_.StopCaptureAnalyzing(*doc_);
    }
    if (options.progress && Clock::now() - last_report >= std::chrono::milliseconds(500) && doc_->Sampling()) {
      last_report = Clock::now();
      std::fprintf(stderr, "\rreceived %u bytes, %u transactions decoded",
                   doc_->Sampling()->m_lenSamplingDataInBuffer.load(), doc_->Sampling()->transaction_counter.load());
    }
  });
  ::sigaction(SIGINT, &previous, nullptr);
  if (options.progress) std::fprintf(stderr, "\n");
  worker_.WaitForWinThreadEnd();
  live_outcome_ = HandleRunEnd(*doc_, end.live, end.result, sink_, search_, nullptr);
  return end.result;
}

int CaptureSession::ReopenAndDecode() {
  if (!doc_->OnOpenDocument(std::nullopt)) return kExitOpenFailed;
  const WorkerEnd end = PumpUntilWorkerEnd(events_, sink_, {});
  offline_outcome_ = HandleRunEnd(*doc_, end.live, end.result, sink_, search_, nullptr);
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
  doc_ = std::make_unique<COrvaneDoc>(app_, sink_, nullptr, &worker_);
  doc_->OnNewDocument();
  if (!OpenDevice(options.device)) return kExitOpenFailed;
  if (options.power && !ApplyPower(*options.power)) return kExitRunError;
  if (!StartCapture(options)) return kExitRunError;

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
  const bool saved = FinishLiveCapture(*doc_, *buffer_, sink_, save_as);
  if (!saved) return IsErrorResult(result) ? kExitRunError : kExitNoTransaction;
  if (app_.sampling_file_name != options.output) {
    std::fprintf(stderr, "saved to %s\n", app_.sampling_file_name.c_str());
  }
  if (const int status = ReopenAndDecode(); status != kExitOk) return status;
  if (IsErrorResult(result)) return kExitRunError;
  return offline_outcome_.no_valid_transaction ? kExitNoTransaction : kExitOk;
}

}  // namespace orvane::cli
