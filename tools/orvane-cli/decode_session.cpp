#include "tools/orvane-cli/decode_session.h"

#include <cstdio>

#include "platform/settings_store.h"
#include "tools/orvane-cli/commands.h"
#include "tools/orvane-cli/run_pump.h"
#include "tools/orvane-cli/settings_overrides.h"

namespace orvane::cli {

// Starts the worker with the settings of the file changed by the --set
// options, the way a settings dialog followed by a rebuild would.
class DecodeSession::OverridingRunner final : public AnalysisRunner {
 public:
  OverridingRunner(AnalysisRunner& inner, std::vector<std::string> overrides)
      : inner_(inner), overrides_(std::move(overrides)) {}
  bool ScanningSamplingDataStart(COrvaneDoc& doc) override {
    for (const std::string& assignment : overrides_) {
      std::string error;
      std::string warning;
      ApplySettingOverride(assignment, &doc.App().settings, &error, &warning);
      if (!warning.empty()) std::fprintf(stderr, "warning: %s\n", warning.c_str());
    }
    started_ = inner_.ScanningSamplingDataStart(doc);
    return started_;
  }
  void WaitForWinThreadEnd() override { inner_.WaitForWinThreadEnd(); }
  bool Started() const { return started_; }

 private:
  AnalysisRunner& inner_;
  std::vector<std::string> overrides_;
  bool started_ = false;
};

DecodeSession::DecodeSession() = default;

DecodeSession::~DecodeSession() {
  if (doc_) doc_->OnCloseDocument();
  doc_.reset();
}

bool DecodeSession::CheckOverrides(const std::vector<std::string>& overrides, std::string* error) {
  for (const std::string& assignment : overrides) {
    SettingsRecord probe = DefaultSettingsRecord();
    std::string warning;
    if (!ApplySettingOverride(assignment, &probe, error, &warning)) return false;
  }
  return true;
}

int DecodeSession::OpenAndDecode(const std::string& path,
                                 const std::vector<std::string>& overrides) {
  if (InitTempNames(app_) != 0) {
    std::fprintf(stderr, "error: no temporary folder\n");
    return kExitOpenFailed;
  }
  // The application's tuning values (worker priority, trace switch).
  LoadAppSettings(velix::platform::IniSettingsStore(velix::platform::DefaultSettingsPath("Orvane")),
                  app_);
  runner_ = std::make_unique<OverridingRunner>(worker_, overrides);
  doc_ = std::make_unique<COrvaneDoc>(app_, sink_, nullptr, runner_.get());
  doc_->OnNewDocument();
  if (!doc_->OnOpenDocument(path)) {
    if (doc_->Sampling() != nullptr && doc_->Sampling()->HasBuffer() && !runner_->Started()) {
      std::fprintf(stderr, "error: bus channel %u has no decoder\n",
                   static_cast<unsigned>(app_.settings.m_AnalyzeBusChannel));
    }
    return kExitOpenFailed;
  }
  const WorkerEnd end = PumpUntilWorkerEnd(events_, sink_);
  outcome_ = HandleRunEnd(*doc_, end.live, end.result, sink_, search_, nullptr);
  return kExitOk;
}

}  // namespace orvane::cli
