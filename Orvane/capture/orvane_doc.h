#pragma once
// The capture document: one capture or opened file. It owns the sampling
// object, opens sampling data files through a temporary copy (so the opened
// file itself may be saved over), saves captures as .SIC files and starts
// the analysis worker through its runner.

#include <memory>
#include <optional>
#include <string>

#include "Orvane/capture/analysis_runner.h"
#include "Orvane/capture/app_state.h"
#include "Orvane/capture/document_frame.h"
#include "Orvane/capture/sampling_obj.h"
#include "platform/interaction.h"

namespace orvane {

inline constexpr char kMainWindowTitle[] = "SPI/I2C Bus monitor";

class COrvaneDoc {
 public:
  // `frame` and `runner` may be null: a document without a window, or
  // without decoding (then an open succeeds once the file is mapped).
  COrvaneDoc(AppState& app, velix::platform::InteractionSink& sink, DocumentFrame* frame,
             AnalysisRunner* runner);
  ~COrvaneDoc();
  COrvaneDoc(const COrvaneDoc&) = delete;
  COrvaneDoc& operator=(const COrvaneDoc&) = delete;

  bool OnNewDocument();
  // With a name: open a copy of that file. Without: open the sampling data
  // file name in place (after a live capture).
  bool OnOpenDocument(const std::optional<std::string>& name);
  bool OnSaveDocument(const std::string& name);
  void DeleteContents();
  void OnCloseDocument();
  bool RebuildTransactionInfo();

  CSamplingObj* Sampling() { return sampling_.get(); }
  bool HasSampling() const { return sampling_ != nullptr; }
  // A fresh sampling object for a live capture, once the worker has ended.
  CSamplingObj& NewCaptureSamplingObject();
  AppState& App() { return app_; }
  velix::platform::InteractionSink& Sink() { return sink_; }
  const std::string& MappedFileName() const { return mapped_file_name_; }
  bool Modified() const { return modified_; }
  void SetModified(bool modified) { modified_ = modified; }

 private:
  void WaitForWorker();
  void ReplaceSamplingObject();
  bool CopyToTemporaryFile(const std::string& name, std::string* copy);
  bool CheckHeaderAndRestoreSettings();
  bool StartAnalysis();
  void SetTitle(const std::string& title);
  void SwitchToSingleView();

  AppState& app_;
  velix::platform::InteractionSink& sink_;
  DocumentFrame* frame_;
  AnalysisRunner* runner_;
  std::unique_ptr<CSamplingObj> sampling_;
  std::string mapped_file_name_;
  bool modified_ = false;
  bool m_bFirstNewDocument = true;
};

}  // namespace orvane
