// The main window's export commands: "Write Transaction Info to Text..."
// (settings, then the file) and "Write Transaction Info to CSV..." (the
// file). A long export shows its progress and can be cancelled; what was
// written stays in the file and the status bar says how far it got.
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QProgressDialog>

#include <algorithm>
#include <atomic>
#include <cerrno>

#include "Orvane/decode/export_csv.h"
#include "Orvane/decode/export_text.h"
#include "Orvane/decode/run_messages.h"
#include "Orvane/ui/dialogs/dlg_save_index_range.h"
#include "Orvane/ui/list/orvane_view.h"
#include "Orvane/ui/main_frame.h"

namespace orvane::ui {
namespace {

// The boxes an export shows while it writes carry the export's error title.
class ScopedBoxTitle {
 public:
  ScopedBoxTitle(QtInteractionSink& sink, const QString& title) : sink_(sink), previous_(sink.BoxTitle()) {
    sink_.SetBoxTitle(title);
  }
  ~ScopedBoxTitle() { sink_.SetBoxTitle(previous_); }
  ScopedBoxTitle(const ScopedBoxTitle&) = delete;
  ScopedBoxTitle& operator=(const ScopedBoxTitle&) = delete;

 private:
  QtInteractionSink& sink_;
  QString previous_;
};

QString ExportTitle(Command command) {
  return command == Command::kWriteText ? CMainFrame::tr("Write Transaction Info to Text")
                                        : CMainFrame::tr("Write Transaction Info to CSV");
}

}  // namespace

bool CMainFrame::ExportAllowed() {
  return list_ != nullptr && ExportCommandsEnabled(app_, station_.doc.Sampling());
}

void CMainFrame::OnWriteText() {
  if (!ExportAllowed()) return;
  DlgSaveIndexRange settings(SaveIndexRangeDialog{}, this);
  if (settings.exec() != QDialog::Accepted) return;
  const bool header_only = settings.Values().header_only;
  if (const std::optional<std::string> path = AskExportPath(Command::kWriteText)) {
    WriteExport(Command::kWriteText, *path, header_only);
  }
}

void CMainFrame::OnWriteCsv() {
  if (!ExportAllowed()) return;
  if (const std::optional<std::string> path = AskExportPath(Command::kWriteCsv)) {
    WriteExport(Command::kWriteCsv, *path, false);
  }
}

std::optional<std::string> CMainFrame::AskExportPath(Command command) {
  if (export_path_) return export_path_(command);
  const bool text = command == Command::kWriteText;
  QFileDialog dialog(this, ExportTitle(command), QDir::currentPath());
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(text ? tr("TextFile (*.txt)") : tr("CSV File (*.csv)"));
  dialog.setDefaultSuffix(text ? QStringLiteral("TXT") : QStringLiteral("csv"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first().toStdString();
}

void CMainFrame::WriteExport(Command command, const std::string& path, bool header_only) {
  CSamplingObj* sampling = station_.doc.Sampling();
  if (sampling == nullptr) return;
  const QString error_title = TranslatedMessage(kExportErrorTitle);
  uint32_t open_error = 0;
  const int fd = OpenExportFile(path, sink_, &open_error);
  if (fd < 0) {
    // A missing folder has had its own message; any other refusal (no
    // permission, a read-only disk) is said too, rather than nothing at all.
    if (open_error != ENOENT) {
      ScopedBoxTitle title(sink_, error_title);
      sink_.Show(ExportErrorMessage(open_error), velix::platform::Icon::kStop);
    }
    return;
  }

  // The dialog is window-modal: while it shows, the window takes no
  // commands, and events are processed only from its progress calls.
  QProgressDialog progress(tr("Writing transaction information..."), tr("Cancel"), 0, 1, this);
  progress.setWindowTitle(ExportTitle(command));
  progress.setAccessibleName(tr("Export progress"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(export_progress_delay_ms_);
  progress.setAutoReset(false);
  progress.setValue(0);
  std::atomic<bool> cancel{false};

  const uint32_t row = list_->CurrentRow();
  ExportEnv env = ApplicationExportEnv(*sampling, app_.settings, sink_, row == kNoListRow ? 0 : row);
  env.control.cancel = &cancel;
  env.control.progress = [&progress, &cancel](uint32_t done, uint32_t total) {
    progress.setMaximum(static_cast<int>(std::min<uint32_t>(total, INT32_MAX)));
    progress.setValue(static_cast<int>(std::min<uint32_t>(done, INT32_MAX)));
    if (progress.wasCanceled()) cancel = true;
  };

  BeginWaitCursor();
  ExportResult result;
  {
    ScopedBoxTitle title(sink_, error_title);
    result = command == Command::kWriteText ? ExportTransactionText(env, fd, header_only)
                                            : ExportTransactionCsv(env, fd);
    // A failed close can lose what the writes handed over.
    if (::close(fd) != 0 && result.error_code == 0) {
      sink_.Show(ExportErrorMessage(static_cast<uint32_t>(errno)), velix::platform::Icon::kStop);
    }
  }
  progress.close();
  EndWaitCursor();
  if (result.cancelled) {
    status_->ShowMessage(tr("Export cancelled: %1 of %2 transactions written to %3")
                             .arg(result.rows)
                             .arg(result.total)
                             .arg(QString::fromStdString(path)),
                         kAnalysingColour);
  }
}

}  // namespace orvane::ui
