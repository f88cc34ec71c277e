#pragma once
// CMainFrame: the one top-level window. It owns the document with its
// capture machinery, carries the menus, tool bar and status bar, switches
// between the list alone and the list above the data tabs, routes every
// command, and takes the worker's run events on its own thread.

#include <QDialog>
#include <QMainWindow>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <atomic>
#include <functional>
#include <optional>
#include <set>
#include <vector>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/driver_client.h"
#include "Orvane/capture/general_settings.h"
#include "Orvane/capture/orvane_doc.h"
#include "Orvane/decode/capture_command.h"
#include "Orvane/decode/capture_station.h"
#include "Orvane/decode/transaction_search.h"
#include "Orvane/ui/frame_menu.h"
#include "Orvane/ui/frame_status_bar.h"
#include "Orvane/ui/qt_interaction_sink.h"
#include "Orvane/ui/dialogs/trigger_setting_model.h"
#include "Orvane/ui/sleep_inhibitor.h"
#include "Orvane/ui/tabs/tabbed_view_view.h"
#include "Orvane/ui/tabs/transaction_tab.h"

namespace orvane {
class COrvaneView;
}

namespace orvane::ui {

// What the window asks of the application object.
struct FrameServices {
  std::function<void(const QString& file)> add_recent_file;
  std::function<QStringList()> recent_files;
  std::function<void(bool lock_memory)> store_lock_memory;
};

class CMainFrame : public QMainWindow, public DocumentFrame {
  Q_OBJECT

 public:
  // `sink` shows what the document and the capture say; the window sets
  // itself as its parent and connects the status bar to it.
  CMainFrame(AppState& app, QtInteractionSink& sink, FrameServices services, QWidget* parent = nullptr);
  ~CMainFrame() override;

  // Opens a capture file as "Open" does (command line, drop, recent list).
  bool OpenFile(const QString& name);

  // DocumentFrame
  void SetTitle(const std::string& title) override;
  void ChangeViewSplitter(bool split) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;

  COrvaneDoc& Doc() { return station_.doc; }
  COrvaneView& ListView() { return *list_; }
  QTabWidget* TabPane() { return split_ ? tabs_ : nullptr; }
  QAction* Action(Command command) const { return menus_.actions.at(command); }
  FrameStatusBar& StatusPanes() { return *status_; }
  QtInteractionSink& Sink() { return sink_; }
  DriverClient& Client() { return station_.client; }
  bool Split() const { return split_; }
  FrameState CurrentState() const;
  // The capture settings step of the capture command; tests replace the
  // dialog with a scripted choice.
  using CaptureSettingsStep =
      std::function<bool(const CaptureDialogValues& values, const StartCaptureFn& start)>;
  void SetCaptureSettingsStep(CaptureSettingsStep step) { capture_settings_ = std::move(step); }
  // The save dialog of a live capture whose file cannot be written.
  void SetSaveAsStep(std::function<std::optional<std::string>()> step) { save_as_ = std::move(step); }
  // Runs the filter, search and jump dialogs in place of exec() and returns
  // their result; tests drive the dialog's controls there.
  using DialogStep = std::function<int(QDialog& dialog)>;
  void SetDialogStep(DialogStep step) { dialog_step_ = std::move(step); }
  // The search defaults and the last search, for the application's life.
  const SearchMemory& Search() const { return station_.search; }
  // The file dialog of the export commands (kWriteText, kWriteCsv); tests
  // give the path.
  using ExportPathStep = std::function<std::optional<std::string>(Command command)>;
  void SetExportPathStep(ExportPathStep step) { export_path_ = std::move(step); }
  // How long an export runs before its progress dialog shows.
  void SetExportProgressDelay(int ms) { export_progress_delay_ms_ = ms; }

  // Selects the first row half a second after the filter rebuilt the list.
  void StartSelectFirstRowTimer();
  // Makes the "Timing" tab of panes built from now on (bus analyzer mode).
  void SetTimingTabFactory(TimingTabFactory factory) { timing_tab_factory_ = std::move(factory); }
  // The data tabs of the split layout (none in the single layout).
  std::vector<TransactionTab*> DataTabs() const;
  // Marks a search result in every data tab; the found row is selected
  // first, so the tabs show its transaction.
  void HighlightTabs(uint32_t byte_offset, HighlightKind kind, uint32_t length,
                     std::optional<int32_t> clock_offset);

 public slots:
  void OnCapture();
  void OnStop();
  void OnPause();
  void OnFileOpen();
  void OnFileSave();
  void OnFileSaveAs();
  void OnFileClose();
  void OnOtherSetting();
  void OnI2cSetting();
  void OnVersionInfo();
  void OnSpiSetting();
  void OnTriggerSetting();
  void OnFilterSetting();
  void OnJumpNumber();
  void OnJumpTrigger();
  void OnSearchData();
  void OnSearchAddress();
  void OnSearchSubAddress();
  void OnSearchNack();
  void OnSearchError();
  void OnSearchNext();
  void OnSearchPrevious();
  void OnWriteText();
  void OnWriteCsv();
  void OnForcedDisplay();
  void UpdateCommandStates();

 signals:
  // A run ended and its end handling is done (tests wait for it).
  void runEnded(bool live, quint32 result);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void ConnectCommands();
  void DrainRunEvents();
  void OnWorkerEnd(bool live, uint32_t result);
  void OnSelectionChanged(quint32 row);
  void RefreshIdleText();
  void RefreshRecentMenu();
  void FocusNextPane(bool forward);
  bool Busy() const { return app_.live_capture || app_.analysis_running; }
  std::optional<std::string> AskSaveSamplingData();
  bool CaptureSettingsDialog(const CaptureDialogValues& values, const StartCaptureFn& start);
  PowerSense QueryPowerSense();
  bool EditI2cSettings();
  bool EditSpiSettings();
  void EditTriggerSettings(const TriggerContext& context);
  void EditSoftwareTrigger(const TriggerContext& context);
  void EditTriggerOut();
  void RebuildAfterSettings();
  int RunDialog(QDialog& dialog);
  bool Allowed(Command command) const { return CommandStateOf(command, CurrentState()).enabled; }
  std::optional<uint32_t> SelectedRow() const;
  SearchEnv SearchEnvironment();
  void RunSearchCommand(SearchKind kind, SearchDirection direction);
  void ShowSearchHit(const SearchHit& hit, SearchKind kind);
  // A new tab pane from the current settings, in the old one's place.
  void RebuildTabPane();
  bool ExportAllowed();
  std::optional<std::string> AskExportPath(Command command);
  void WriteExport(Command command, const std::string& path, bool header_only);

  AppState& app_;
  FrameServices services_;
  QtInteractionSink& sink_;
  SleepInhibitor inhibitor_;

  FrameMenus menus_;
  std::set<Command> handled_;
  FrameStatusBar* status_ = nullptr;
  COrvaneView* list_ = nullptr;
  CTabbedViewView* tabs_ = nullptr;
  TimingTabFactory timing_tab_factory_;
  QSplitter* splitter_ = nullptr;
  bool split_ = false;
  std::atomic<bool> drain_scheduled_{false};
  int wait_cursor_depth_ = 0;
  std::optional<uint32_t> selected_index_;
  QString current_path_;
  CaptureSettingsStep capture_settings_;
  std::function<std::optional<std::string>()> save_as_;
  DialogStep dialog_step_;
  ExportPathStep export_path_;
  int export_progress_delay_ms_ = 500;  // a short export shows no dialog
  QTimer select_first_row_;
  // Last, so it goes first: the document's close still reports to a
  // window whose other members all stand.
  CaptureStation station_{app_, sink_, this};
};

}  // namespace orvane::ui
