#include "Orvane/capture/orvane_doc.h"

#include "Orvane/capture/run_result.h"
#include "Orvane/capture/sic_file_writer.h"
#include "Orvane/capture/sic_header.h"
#include "platform/files.h"
#include "platform/string_format.h"
#include "platform/system_error.h"
#include "platform/temporary_copies.h"
#include "platform/trace.h"

namespace orvane {

using velix::platform::Icon;
using velix::platform::StringPrintf;
using velix::platform::Trace;

namespace {

// Shows the busy cursor for the life of the object.
class WaitCursor {
 public:
  explicit WaitCursor(DocumentFrame* frame) : frame_(frame) {
    if (frame_ != nullptr) frame_->BeginWaitCursor();
  }
  ~WaitCursor() {
    if (frame_ != nullptr) frame_->EndWaitCursor();
  }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  DocumentFrame* frame_;
};

std::string FileNotFoundText(const std::string& name) {
  return "File not found!\r\n <" + name + ">\r\n";
}

// A device or a pipe would be copied without end (or wait for ever for a
// writer) before any header check could refuse it.
std::string NotRegularFileText(const std::string& name) {
  return "Not a regular file: a device, a pipe or a socket cannot be opened as sampling data.\r\n <" +
         name + ">\r\n";
}

}  // namespace

COrvaneDoc::COrvaneDoc(AppState& app, velix::platform::InteractionSink& sink,
                       DocumentFrame* frame, AnalysisRunner* runner)
    : app_(app), sink_(sink), frame_(frame), runner_(runner) {}

COrvaneDoc::~COrvaneDoc() {
  WaitForWorker();
  sampling_.reset();
}

void COrvaneDoc::WaitForWorker() {
  if (runner_ != nullptr) runner_->WaitForWinThreadEnd();
}

CSamplingObj& COrvaneDoc::NewCaptureSamplingObject() {
  WaitForWorker();
  ReplaceSamplingObject();
  return *sampling_;
}

void COrvaneDoc::ReplaceSamplingObject() {
  sampling_.reset();
  sampling_ = std::make_unique<CSamplingObj>(app_, sink_);
}

void COrvaneDoc::SetTitle(const std::string& title) {
  if (frame_ != nullptr) frame_->SetTitle(title);
}

void COrvaneDoc::SwitchToSingleView() {
  if (frame_ != nullptr) frame_->ChangeViewSplitter(false);
}

bool COrvaneDoc::OnNewDocument() {
  Trace("*** OnNewDocument() *** \n");
  app_.data_loaded = false;
  SetTitle(kMainWindowTitle);
  sink_.StatusRefresh();
  sink_.Progress(10, 100);
  sink_.Progress(13, 0);
  DeleteContents();
  modified_ = false;
  ReplaceSamplingObject();
  if (m_bFirstNewDocument) {
    m_bFirstNewDocument = false;
    Trace(" m_bFirstNewDocument = TRUE!!! : Do not ChangeViewSplitter( FALSE ) !!! \n");
  } else {
    SwitchToSingleView();
  }
  return true;
}

bool COrvaneDoc::CopyToTemporaryFile(const std::string& name, std::string* copy) {
  uint32_t error = 0;
  *copy = velix::platform::UniqueTempFileName(app_.temp_folder, "Zzz", &error);
  if (!copy->empty()) {
    // Remembered before the copy starts: a copy of a large file takes long
    // enough for a signal to end the process half-way.
    velix::platform::RememberTemporaryCopy(*copy);
    error = velix::platform::CopyFileTo(name, *copy, true);
  }
  if (error == 0) return true;
  // Without its working copy the file cannot be opened; say why instead of
  // going on with a half-written copy.
  if (!copy->empty()) {
    velix::platform::DeleteFileAt(*copy);
    velix::platform::ForgetTemporaryCopy(*copy);
  }
  copy->clear();
  sink_.Show(StringPrintf("Failed to copy the file to the temporary folder.\n <%s>\n%s",
                          name.c_str(), velix::platform::SystemErrorText(error).c_str()),
             Icon::kStop);
  return false;
}

bool COrvaneDoc::OnOpenDocument(const std::optional<std::string>& name) {
  WaitCursor cursor(frame_);
  Trace(" *** [Doc::OnOpenDocument] (%s) ***\n", name ? name->c_str() : "");
  std::string copy;
  if (name) {
    if (!velix::platform::FileExists(*name)) {
      sink_.Show(FileNotFoundText(*name), Icon::kStop);
      return false;
    }
    if (!velix::platform::IsRegularFile(*name)) {
      sink_.Show(NotRegularFileText(*name), Icon::kStop);
      return false;
    }
    if (!CopyToTemporaryFile(*name, &copy)) return false;
    mapped_file_name_ = copy;
  } else {
    mapped_file_name_ = app_.sampling_file_name;
  }
  app_.data_loaded = true;
  DeleteContents();
  modified_ = false;
  SetTitle(std::string(kMainWindowTitle) + " - " + (name ? *name : std::string()));

  Trace(" ... => WaitDeleteWorkerThread()\n");
  WaitForWorker();
  ReplaceSamplingObject();
  if (name) app_.temp_copy_name = copy;

  if (IsErrorResult(sampling_->OpenCreateFileMapView(mapped_file_name_))) return false;
  if (!CheckHeaderAndRestoreSettings()) return false;

  if (m_bFirstNewDocument) {
    m_bFirstNewDocument = false;
  } else {
    SwitchToSingleView();
  }
  return StartAnalysis();
}

bool COrvaneDoc::CheckHeaderAndRestoreSettings() {
  SicHeader header;
  const bool accepted = sampling_->ReadFileHeader(&header) && IsAcceptedSicHeader(header);
  const uint32_t data_size = sampling_->m_sizeSamplingBuf;
  if (!accepted) {
    app_.settings.m_sizeSamplingBuf = data_size;
    sink_.Show("This file is not with the correct data.", Icon::kStop);
    return false;
  }
  app_.settings = SettingsFromSicHeader(header);
  app_.settings.m_sizeSamplingBuf = data_size;
  Trace(" m_sizeSamplingBuf = %u( 0x%08X)\n", data_size, data_size);
  Trace("  MODE = %u  [%s] \n", app_.settings.MonitorMode,
        app_.settings.MonitorMode == 1 ? "MONITOR MODE" : "AnalyzerMode");
  Trace("  m_AnalyzeBusChannel = 0x%02X \n", app_.settings.m_AnalyzeBusChannel);
  RepairLoadedSettings(app_.settings);
  return true;
}

bool COrvaneDoc::StartAnalysis() {
  app_.analysis_running = true;
  if (runner_ == nullptr) {
    app_.analysis_running = false;
    return true;
  }
  if (runner_->ScanningSamplingDataStart(*this)) return true;
  // No worker started, so none will clear the flag at its end; left set, it
  // would keep every command that needs an idle document disabled.
  app_.analysis_running = false;
  return false;
}

bool COrvaneDoc::OnSaveDocument(const std::string& name) {
  Trace("\n *** [Doc::OnSaveDocument] *** (%s)\n", name.c_str());
  const bool saved = sampling_ != nullptr && WriteSicFile(name, app_.settings, *sampling_, sink_);
  if (saved) SetTitle(std::string(kMainWindowTitle) + " - " + name);
  modified_ = false;
  return saved;
}

void COrvaneDoc::DeleteContents() {
  Trace("*** Doc::DeleteContents() ***\n");
  WaitCursor cursor(frame_);
  WaitForWorker();
  sampling_.reset();
}

void COrvaneDoc::OnCloseDocument() {
  Trace("*** Doc::OnCloseDocument() *** \n");
  DeleteContents();
  SetTitle(kMainWindowTitle);
  if (!app_.temp_copy_name.empty()) {
    Trace(" DeleteFile() TMP File : %s \n", app_.temp_copy_name.c_str());
    velix::platform::DeleteFileAt(app_.temp_copy_name);
    velix::platform::ForgetTemporaryCopy(app_.temp_copy_name);
    app_.temp_copy_name.clear();
  }
}

bool COrvaneDoc::RebuildTransactionInfo() {
  Trace("[MonDoc]::RebuildTransactionInfo()\n");
  if (sampling_ == nullptr) return false;
  WaitCursor cursor(frame_);
  WaitForWorker();
  sampling_->ResetForReanalysis();
  if (sampling_->m_lenSamplingDataInBuffer == 0 || !sampling_->HasBuffer()) return false;
  SwitchToSingleView();
  Trace("RebuildTransactionInfo() : => ScanningSamplingDataStart() !!\n");
  return StartAnalysis();
}

}  // namespace orvane
