#include "Orvane/ui/main_frame.h"

#include "Orvane/decode/detail_loader.h"
#include "Orvane/ui/waveform/logic_form_factory.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QShortcut>
#include <QStatusBar>
#include <QThread>

#include "Orvane/decode/capture_command.h"
#include "Orvane/decode/detail_loader.h"
#include "Orvane/decode/live_end.h"
#include "Orvane/decode/run_end.h"
#include "Orvane/ui/about_box.h"
#include "Orvane/ui/dlg_info.h"
#include "Orvane/ui/list/orvane_view.h"

namespace orvane::ui {
namespace {

constexpr int kMinimumWidth = 400;
constexpr int kMinimumHeight = 350;
constexpr int kSelectFirstRowMs = 500;
constexpr unsigned long kPauseAfterNewDocumentMs = 500;

QString SicFilter() { return QCoreApplication::translate("Messages", "I2C SPI BusData (*.SIC)"); }

}  // namespace

CMainFrame::CMainFrame(AppState& app, QtInteractionSink& sink, FrameServices services, QWidget* parent)
    : QMainWindow(parent), app_(app), services_(std::move(services)), sink_(sink) {

  setObjectName(QStringLiteral("MainFrame"));
  setMinimumSize(kMinimumWidth, kMinimumHeight);
  setAcceptDrops(true);
  menus_ = BuildFrameMenus(*this);
  status_ = new FrameStatusBar(*statusBar());
  sink_.SetParent(this);
  sink_.SetProgressHook([this](uint32_t code, uint32_t value) { status_->ApplyProgress(code, value); });
  sink_.SetStatusTextHook([this](const QString& text, uint32_t colour) { status_->ShowMessage(text, colour); });
  sink_.SetStatusRefreshHook([this] { RefreshIdleText(); });

  list_ = new COrvaneView(station_.doc, app_, this);
  setCentralWidget(list_);
  timing_tab_factory_ = [this](QWidget* pane) { return MakeLogicForm(station_.doc, app_, pane); };
  RebuildTabPane();
  connect(list_, &COrvaneView::transactionSelected, this, &CMainFrame::OnSelectionChanged);
  // Commands that need rows follow the list as it announces them.
  connect(list_, &COrvaneView::rowCountChanged, this, &CMainFrame::UpdateCommandStates);

  // The worker posts from its own thread; one queued call drains whatever
  // has gathered by the time the window's thread gets to it.
  station_.events.SetWakeup([this] {
    if (!drain_scheduled_.exchange(true)) {
      QMetaObject::invokeMethod(this, [this] { DrainRunEvents(); }, Qt::QueuedConnection);
    }
  });
  select_first_row_.setSingleShot(true);
  select_first_row_.setInterval(kSelectFirstRowMs);
  connect(&select_first_row_, &QTimer::timeout, this, [this] {
    if (list_->RowCount() > 0) list_->SelectRowAndShow(0);
  });
  ConnectCommands();
  station_.doc.OnNewDocument();
  RefreshRecentMenu();
  UpdateCommandStates();
}

CMainFrame::~CMainFrame() {
  station_.events.SetWakeup({});
  sink_.SetProgressHook({});
  sink_.SetStatusTextHook({});
  sink_.SetStatusRefreshHook({});
}

void CMainFrame::ConnectCommands() {
  const auto on = [this](Command command, auto slot) {
    handled_.insert(command);
    connect(Action(command), &QAction::triggered, this, slot);
  };
  on(Command::kCapture, &CMainFrame::OnCapture);
  on(Command::kStop, &CMainFrame::OnStop);
  on(Command::kPause, &CMainFrame::OnPause);
  on(Command::kFileOpen, &CMainFrame::OnFileOpen);
  on(Command::kFileSave, &CMainFrame::OnFileSave);
  on(Command::kFileSaveAs, &CMainFrame::OnFileSaveAs);
  on(Command::kFileClose, &CMainFrame::OnFileClose);
  on(Command::kExit, &QWidget::close);
  on(Command::kOtherSetting, &CMainFrame::OnOtherSetting);
  on(Command::kI2cSetting, &CMainFrame::OnI2cSetting);
  on(Command::kSpiSetting, &CMainFrame::OnSpiSetting);
  on(Command::kTriggerSetting, &CMainFrame::OnTriggerSetting);
  on(Command::kVersionInfo, &CMainFrame::OnVersionInfo);
  on(Command::kFilterSetting, &CMainFrame::OnFilterSetting);
  on(Command::kJumpNumber, &CMainFrame::OnJumpNumber);
  on(Command::kJumpTrigger, &CMainFrame::OnJumpTrigger);
  on(Command::kSearchData, &CMainFrame::OnSearchData);
  on(Command::kSearchAddress, &CMainFrame::OnSearchAddress);
  on(Command::kSearchSubAddress, &CMainFrame::OnSearchSubAddress);
  on(Command::kSearchNack, &CMainFrame::OnSearchNack);
  on(Command::kSearchError, &CMainFrame::OnSearchError);
  on(Command::kSearchNext, &CMainFrame::OnSearchNext);
  on(Command::kSearchPrevious, &CMainFrame::OnSearchPrevious);
  on(Command::kWriteText, &CMainFrame::OnWriteText);
  on(Command::kWriteCsv, &CMainFrame::OnWriteCsv);
  on(Command::kForcedDisplay, &CMainFrame::OnForcedDisplay);
  on(Command::kAbout, [this] { ShowAboutBox(this); });
  QAction* tool_bar = Action(Command::kToolBar);
  tool_bar->setChecked(true);
  connect(tool_bar, &QAction::toggled, menus_.tool_bar, &QWidget::setVisible);
  connect(menus_.tool_bar, &QToolBar::visibilityChanged, tool_bar, &QAction::setChecked);
  QAction* status_bar = Action(Command::kStatusBar);
  status_bar->setChecked(true);
  connect(status_bar, &QAction::toggled, statusBar(), &QWidget::setVisible);
  // F6 and Shift+F6 move between the panes of the split layout.
  auto* next = new QShortcut(QKeySequence(Qt::Key_F6), this);
  connect(next, &QShortcut::activated, this, [this] { FocusNextPane(true); });
  auto* previous = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6), this);
  connect(previous, &QShortcut::activated, this, [this] { FocusNextPane(false); });
  // Menus recheck their rules as they open, as well as after every change.
  for (QMenu* menu : menuBar()->findChildren<QMenu*>()) {
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
  }
}

FrameState CMainFrame::CurrentState() const {
  FrameState state;
  state.has_sampling = station_.doc.HasSampling();
  state.live = app_.live_capture;
  state.analysis = app_.analysis_running;
  state.loaded = app_.data_loaded;
  state.rows = list_->RowCount() > 0;
  state.bus = app_.settings.m_AnalyzeBusChannel & 3;
  state.forced_display = app_.settings.ForcedDisplay != 0;
  state.monitor_mode = app_.settings.MonitorMode == 1;
  state.paused = app_.view_update_paused;
  return state;
}

void CMainFrame::UpdateCommandStates() {
  const FrameState state = CurrentState();
  for (const auto& [command, action] : menus_.actions) {
    if (command == Command::kToolBar || command == Command::kStatusBar) continue;
    const CommandState rule = CommandStateOf(command, state);
    // A command whose window does not exist yet stays disabled rather
    // than doing nothing.
    action->setEnabled(rule.enabled && handled_.count(command) != 0);
    if (action->isCheckable()) action->setChecked(rule.checked);
  }
  Action(Command::kStop)->setText(StopCommandText(StopLabelOf(state)));
  menus_.recent_menu->setEnabled(CommandStateOf(Command::kRecentFile, state).enabled);
  list_->setCursor(Busy() ? Qt::BusyCursor : Qt::ArrowCursor);
}

void CMainFrame::RefreshIdleText() {
  IdleState state;
  state.live = app_.live_capture;
  state.analysis = app_.analysis_running;
  state.loaded = app_.data_loaded;
  state.monitor_mode = app_.settings.MonitorMode == 1;
  state.forced_display = app_.settings.ForcedDisplay != 0;
  state.free_run = app_.settings.FreeRun != 0;
  state.bus = app_.settings.m_AnalyzeBusChannel & 3;
  state.selected_index = selected_index_;
  status_->SetIdleText(state);
}

void CMainFrame::DrainRunEvents() {
  drain_scheduled_ = false;
  while (std::optional<RunEvent> event = station_.events.Take(0)) {
    switch (event->kind) {
      case RunEventKind::kProgress: status_->ApplyProgress(event->a, event->b); break;
      case RunEventKind::kStatusText: status_->ShowMessage(TranslatedMessage(event->text), event->b); break;
      case RunEventKind::kTriggerDetect: status_->AppendMessage(TranslatedMessage(event->text)); break;
      case RunEventKind::kStatusUpdate: RefreshIdleText(); break;
      case RunEventKind::kReopen:
        if (station_.doc.OnOpenDocument(std::nullopt)) current_path_ = QString::fromStdString(app_.sampling_file_name);
        break;
      case RunEventKind::kWorkerEnd: OnWorkerEnd(event->a == 1, event->b); break;
    }
  }
  UpdateCommandStates();
}

void CMainFrame::OnWorkerEnd(bool live, uint32_t result) {
  const RunEndOutcome outcome = HandleRunEnd(station_.doc, live, result, sink_, station_.search, this);
  if (outcome.live_end) {
    BeginWaitCursor();
    station_.worker.WaitForWinThreadEnd();
    const bool saved = FinishLiveCapture(station_.doc, station_.buffer, sink_, [this] { return AskSaveSamplingData(); });
    EndWaitCursor();
    inhibitor_.Release();
    if (saved) station_.events.Post({RunEventKind::kReopen, 0, 0, {}});
  } else if (!outcome.no_valid_transaction) {
    list_->OnInitialUpdate();
    // The filter that filled the rows selects the first one, as it does
    // when the filter dialog applies it.
    if (outcome.filter.entered != 0) StartSelectFirstRowTimer();
  }
  RefreshIdleText();
  UpdateCommandStates();
  emit runEnded(live, result);
}

std::optional<std::string> CMainFrame::AskSaveSamplingData() {
  if (save_as_) return save_as_();
  QFileDialog dialog(this, QCoreApplication::translate("Messages", kSaveSamplingDataTitle));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("SIC"));
  dialog.setNameFilter(SicFilter());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first().toStdString();
}

void CMainFrame::OnCapture() {
  if (station_.doc.Sampling() == nullptr || (app_.live_capture && station_.client.IsOpen()) || app_.analysis_running) return;
  CaptureCommandSteps steps;
  steps.pause_after_new_document = [] { QThread::msleep(kPauseAfterNewDocumentMs); };
  steps.settings = [this](const CaptureDialogValues& values, const StartCaptureFn& start) {
    return CaptureSettingsDialog(values, start);
  };
  CaptureCommandContext context = station_.CommandContext(this);
  selected_index_.reset();
  if (RunCaptureCommand(context, steps) == CaptureCommandResult::kStarted) {
    current_path_.clear();
    inhibitor_.Acquire();
    list_->OnInitialUpdate();
  }
  RefreshIdleText();
  UpdateCommandStates();
}

void CMainFrame::OnStop() {
  if (!((app_.live_capture && station_.client.IsOpen()) || app_.analysis_running)) return;
  station_.worker.StopCaptureAnalyzing(station_.doc);
  UpdateCommandStates();
}

void CMainFrame::OnVersionInfo() {
  if (Busy()) return;
  // A client of its own: its polling opens and closes the device, which
  // must not disturb the window's handle.
  DriverClient client;
  DlgInfo dialog(app_, client, [this]() -> std::optional<uint32_t> {
    if (!station_.buffer.Committed()) return std::nullopt;
    return station_.buffer.SizeMb();
  }, this);
  dialog.exec();
}

void CMainFrame::OnPause() {
  app_.view_update_paused = !app_.view_update_paused;
  UpdateCommandStates();
}

bool CMainFrame::OpenFile(const QString& name) {
  if (Busy()) return false;
  selected_index_.reset();
  const bool opened = station_.doc.OnOpenDocument(name.toStdString());
  if (opened) {
    current_path_ = QFileInfo(name).absoluteFilePath();
    if (services_.add_recent_file) services_.add_recent_file(current_path_);
    RefreshRecentMenu();
    list_->OnInitialUpdate();
  }
  RefreshIdleText();
  UpdateCommandStates();
  return opened;
}

void CMainFrame::OnFileOpen() {
  const QString name = QFileDialog::getOpenFileName(this, tr("Open"), QFileInfo(current_path_).absolutePath(),
                                                    SicFilter() + QStringLiteral(";;") + tr("All files (*)"));
  if (!name.isEmpty()) OpenFile(name);
}

void CMainFrame::OnFileSave() {
  if (current_path_.isEmpty()) {
    OnFileSaveAs();
    return;
  }
  station_.doc.OnSaveDocument(current_path_.toStdString());
}

void CMainFrame::OnFileSaveAs() {
  QFileDialog dialog(this, tr("Save As"), current_path_);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("SIC"));
  dialog.setNameFilter(SicFilter());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString name = dialog.selectedFiles().first();
  if (station_.doc.OnSaveDocument(name.toStdString())) {
    current_path_ = name;
    if (services_.add_recent_file) services_.add_recent_file(name);
    RefreshRecentMenu();
  }
}

void CMainFrame::OnFileClose() {
  if (Busy()) return;
  station_.doc.OnCloseDocument();
  station_.doc.OnNewDocument();
  current_path_.clear();
  selected_index_.reset();
  list_->OnInitialUpdate();
  RefreshIdleText();
  UpdateCommandStates();
}

void CMainFrame::RefreshRecentMenu() {
  menus_.recent_menu->clear();
  const QStringList files = services_.recent_files ? services_.recent_files() : QStringList();
  for (int i = 0; i < files.size(); ++i) {
    const QString& file = files[i];
    QAction* action = menus_.recent_menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(file));
    connect(action, &QAction::triggered, this, [this, file] { OpenFile(file); });
  }
  if (files.isEmpty()) menus_.recent_menu->addAction(tr("Recent File"))->setEnabled(false);
}

void CMainFrame::SetTitle(const std::string& title) { setWindowTitle(QString::fromStdString(title)); }

void CMainFrame::ChangeViewSplitter(bool split) {
  // Every split shows a pane made for the settings the views are rebuilt
  // with (a capture or a decode may have changed the bus or the mode).
  if (split) RebuildTabPane();
  if (split == split_ && (split ? splitter_ != nullptr : centralWidget() == list_)) {
    list_->OnInitialUpdate();
    return;
  }
  if (split) {
    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(list_);
    splitter_->addWidget(tabs_);
    tabs_->show();
    splitter_->setSizes({height() / 2, height() / 2});
    setCentralWidget(splitter_);
  } else {
    splitter_ = nullptr;
    list_->setParent(this);
    tabs_->hide();
    tabs_->setParent(this);
    setCentralWidget(list_);  // deletes the old splitter, now empty
  }
  split_ = split;
  list_->show();
  list_->OnInitialUpdate();
  list_->setFocus();
}

void CMainFrame::RebuildTabPane() {
  const DetailSource detail = [this]() -> const TransactionDetail* {
    CSamplingObj* sampling = station_.doc.Sampling();
    return sampling != nullptr ? &sampling->Detail() : nullptr;
  };
  auto* pane = new CTabbedViewView(TabSetKeyOf(app_.settings), detail, timing_tab_factory_, this);
  pane->setAccessibleName(tr("Transaction details"));
  CTabbedViewView* old = tabs_;
  tabs_ = pane;
  if (old == nullptr) {
    pane->hide();
    return;
  }
  if (splitter_ != nullptr && splitter_->indexOf(old) >= 0) {
    // The new pane takes the old one's place and size in the splitter.
    splitter_->replaceWidget(splitter_->indexOf(old), pane);
  } else {
    pane->hide();
  }
  delete old;
}

void CMainFrame::FocusNextPane(bool) {
  if (!split_) return;
  if (list_->hasFocus()) {
    // Into the shown tab's view, so the arrow keys walk its rows at once.
    QWidget* page = tabs_->currentWidget();
    (page != nullptr ? page : static_cast<QWidget*>(tabs_))->setFocus(Qt::ShortcutFocusReason);
  } else {
    list_->setFocus();
  }
}

void CMainFrame::OnSelectionChanged(quint32 row) {
  if (app_.live_capture || station_.doc.Sampling() == nullptr) return;
  TransactionInfo record{};
  if (!list_->RecordAt(row, &record)) return;
  // A row chosen before the first-row timer ran stays chosen.
  select_first_row_.stop();
  BeginWaitCursor();
  // A pane built for other settings would show the bytes the wrong way.
  if (split_ && tabs_->Key() != TabSetKeyOf(app_.settings)) RebuildTabPane();
  selected_index_ = record.Index;
  RefreshIdleText();
  LoadTransactionDetail(*station_.doc.Sampling(), app_.settings, record);
  for (TransactionTab* tab : DataTabs()) tab->ShowTransaction(record, row);
  EndWaitCursor();
}

std::vector<TransactionTab*> CMainFrame::DataTabs() const {
  std::vector<TransactionTab*> tabs;
  if (!split_) return tabs;
  for (int i = 0; i < tabs_->count(); ++i) {
    if (auto* tab = dynamic_cast<TransactionTab*>(tabs_->widget(i))) tabs.push_back(tab);
  }
  return tabs;
}

void CMainFrame::HighlightTabs(uint32_t byte_offset, HighlightKind kind, uint32_t length,
                               std::optional<int32_t> clock_offset) {
  for (TransactionTab* tab : DataTabs()) {
    tab->Highlight(byte_offset, kind, length);
    if (clock_offset) tab->SearchHit(*clock_offset);
  }
}

void CMainFrame::StartSelectFirstRowTimer() { select_first_row_.start(); }

int CMainFrame::RunDialog(QDialog& dialog) { return dialog_step_ ? dialog_step_(dialog) : dialog.exec(); }

void CMainFrame::BeginWaitCursor() {
  if (wait_cursor_depth_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
}

void CMainFrame::EndWaitCursor() {
  if (wait_cursor_depth_ > 0 && --wait_cursor_depth_ == 0) QApplication::restoreOverrideCursor();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (Busy()) {
    event->ignore();
    return;
  }
  event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (!Busy() && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  for (const QUrl& url : event->mimeData()->urls()) {
    if (Busy()) break;
    if (url.isLocalFile()) OpenFile(url.toLocalFile());
  }
  event->acceptProposedAction();
}

}  // namespace orvane::ui
