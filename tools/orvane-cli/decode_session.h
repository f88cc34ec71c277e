#pragma once
// A capture opened and decoded the way the application does it after File
// Open: temporary copy, header, settings restore, the --set overrides, the
// worker, and the end handling with the filter. The commands that work on
// decoded transactions (decode, search) start from here.

#include <memory>
#include <string>
#include <vector>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/orvane_doc.h"
#include "Orvane/capture/run_events.h"
#include "Orvane/decode/analysis_worker.h"
#include "Orvane/decode/run_end.h"
#include "tools/orvane-cli/terminal_sink.h"

namespace orvane::cli {

class DecodeSession {
 public:
  DecodeSession();
  ~DecodeSession();
  DecodeSession(const DecodeSession&) = delete;
  DecodeSession& operator=(const DecodeSession&) = delete;

  // Checks the --set assignments; false with a message for a bad one.
  static bool CheckOverrides(const std::vector<std::string>& overrides, std::string* error);

  // Opens, decodes and filters. Returns an exit status: kExitOk when the
  // run ended (Outcome() says how), kExitOpenFailed when the file could not
  // be opened or nothing could decode it.
  int OpenAndDecode(const std::string& path, const std::vector<std::string>& overrides);

  const RunEndOutcome& Outcome() const { return outcome_; }
  COrvaneDoc& Doc() { return *doc_; }
  AppState& App() { return app_; }
  TerminalSink& Sink() { return sink_; }
  SearchMemory& Search() { return search_; }

 private:
  class OverridingRunner;

  AppState app_;
  TerminalSink sink_;
  RunEventQueue events_;
  AnalysisWorker worker_{app_, events_};
  std::unique_ptr<OverridingRunner> runner_;
  std::unique_ptr<COrvaneDoc> doc_;
  SearchMemory search_;
  RunEndOutcome outcome_;
};

}  // namespace orvane::cli
