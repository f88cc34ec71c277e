#pragma once
// A live capture from the command line, in the order the capture command
// runs it: open the device (with its questions), the capture settings,
// "Start Capture", the live run with its stop triggers, the end handling
// (save, release), then the reopen and the complete offline decode.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Orvane/capture/app_state.h"
#include "Orvane/decode/capture_command.h"
#include "Orvane/decode/capture_station.h"
#include "Orvane/decode/run_end.h"
#include "tools/orvane-cli/terminal_sink.h"

namespace orvane::cli {

struct CaptureOptions {
  std::string device = kDriverDeviceName;
  std::vector<std::string> overrides;
  std::optional<uint32_t> size_mb;
  std::optional<uint32_t> driver_buffer_mb;
  std::optional<uint8_t> power;
  std::optional<double> duration_seconds;
  std::string output;
  bool progress = false;
  bool lock_memory = false;  // the buffer must be locked, whatever LockMemory says
};

class CaptureSession {
 public:
  CaptureSession() = default;
  CaptureSession(const CaptureSession&) = delete;
  CaptureSession& operator=(const CaptureSession&) = delete;

  TerminalSink& Sink() { return sink_; }
  // Runs the whole capture; returns the exit status. After kExitOk the
  // document holds the reopened, decoded capture.
  int Run(const CaptureOptions& options);

  COrvaneDoc& Doc() { return station_.doc; }
  AppState& App() { return app_; }
  const RunEndOutcome& LiveOutcome() const { return live_outcome_; }
  const RunEndOutcome& OfflineOutcome() const { return offline_outcome_; }

 private:
  bool ApplyPower(uint8_t code);
  bool StartCapture(const CaptureOptions& options);
  uint32_t RunLive(const CaptureOptions& options);
  int ReopenAndDecode();

  AppState app_;
  TerminalSink sink_;
  CaptureStation station_{app_, sink_, nullptr};
  RunEndOutcome live_outcome_;
  RunEndOutcome offline_outcome_;
  CaptureCommandResult last_command_result_ = CaptureCommandResult::kStarted;
};

}  // namespace orvane::cli
