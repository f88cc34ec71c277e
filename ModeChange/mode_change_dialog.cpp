#include "ModeChange/mode_change_dialog.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QThread>
#include <QVBoxLayout>

namespace velix::modechange {
namespace {

QGroupBox* GroupWith(const QString& title, QWidget* content) {
  auto* group = new QGroupBox(title);
  auto* layout = new QHBoxLayout(group);
  layout->addWidget(content);
  return group;
}

QString VersionText(const std::optional<FirmVersions>& versions, uint8_t FirmVersions::*major,
                    uint8_t FirmVersions::*minor, const char* placeholder) {
  if (!versions) return QString::fromLatin1(placeholder);
  return QString::fromStdString(VersionLabel((*versions).*major, (*versions).*minor));
}

}  // namespace

QString TranslatedText(TextId text, int number) {
  const QString translated = QCoreApplication::translate(kTextsContext, EnglishText(text));
  return QString::fromStdString(FillNumber(translated.toStdString(), number));
}

ModeChangeDialog::ModeChangeDialog(FirmwareAccess& firmware, MachineOptions options, QWidget* parent)
    : QDialog(parent) {
  BuildControls();
  poll_timer_.setInterval(ModeChangeMachine::kTimerPeriodMs);
  connect(&poll_timer_, &QTimer::timeout, this, [this] { machine_->OnTimer(); });
  machine_ = std::make_unique<ModeChangeMachine>(
      firmware, static_cast<ModeChangeView&>(*this), static_cast<PollTimer&>(*this),
      [this](std::function<void()> body) { LaunchWorker(std::move(body)); }, std::move(options));

  connect(analyzer_, &QRadioButton::clicked, this, [this] { machine_->SelectMode(Personality::kAnalyzer); });
  connect(monitor_, &QRadioButton::clicked, this, [this] { machine_->SelectMode(Personality::kMonitor); });
  connect(update_, &QPushButton::clicked, this, [this] { machine_->PressUpdate(); });
  connect(exit_, &QPushButton::clicked, this, [this] { machine_->PressExit(); });
  auto* force = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::ALT | Qt::Key_F10), this);
  connect(force, &QShortcut::activated, this, [this] { machine_->PressForceAccelerator(); });
  Render();
}

ModeChangeDialog::~ModeChangeDialog() {
  if (worker_.joinable()) worker_.join();
}

void ModeChangeDialog::BuildControls() {
  setWindowTitle(tr("VELIX Mode change tool"));
  status_ = new QLabel;
  status_->setObjectName(QStringLiteral("status"));
  status_->setMinimumHeight(2 * status_->fontMetrics().lineSpacing() + 4);
  status_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

  analyzer_ = new QRadioButton(tr("Analyzer mode"));
  monitor_ = new QRadioButton(tr("Monitor mode"));
  analyzer_->setObjectName(QStringLiteral("analyzer"));
  monitor_->setObjectName(QStringLiteral("monitor"));
  auto* selection = new QGroupBox(tr("Switching mode selection"));
  auto* selection_layout = new QHBoxLayout(selection);
  selection_layout->addWidget(analyzer_);
  selection_layout->addWidget(monitor_);

  mode_label_ = new QLabel;
  eeprom_version_ = new QLabel;
  flash_version_ = new QLabel;
  cpld_version_ = new QLabel;
  mode_label_->setObjectName(QStringLiteral("modeLabel"));
  eeprom_version_->setObjectName(QStringLiteral("eepromVersion"));
  flash_version_->setObjectName(QStringLiteral("flashVersion"));
  cpld_version_->setObjectName(QStringLiteral("cpldVersion"));
  auto* versions = new QHBoxLayout;
  versions->addWidget(GroupWith(tr("Serial EEPROM"), eeprom_version_));
  versions->addWidget(GroupWith(tr("Flash ROM"), flash_version_));
  versions->addWidget(GroupWith(tr("CPLD"), cpld_version_));

  progress_ = new QProgressBar;
  progress_->setObjectName(QStringLiteral("progress"));
  progress_->setRange(0, kProgressMaximum);
  progress_->setTextVisible(false);

  update_ = new QPushButton(tr("Update"));
  exit_ = new QPushButton(tr("Exit"));
  update_->setObjectName(QStringLiteral("update"));
  exit_->setObjectName(QStringLiteral("exit"));
  update_->setAutoDefault(false);
  exit_->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(update_);
  buttons->addWidget(exit_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(status_);
  layout->addWidget(selection);
  layout->addWidget(GroupWith(tr("Current mode"), mode_label_));
  layout->addLayout(versions);
  layout->addWidget(progress_);
  layout->addLayout(buttons);
  setMinimumWidth(420);
}

void ModeChangeDialog::Render() {
  render_queued_ = false;
  const DialogState state = machine_ ? machine_->State() : DialogState{};
  status_->setText(TranslatedText(state.status, state.status_number));
  QPalette palette = status_->palette();
  palette.setColor(QPalette::WindowText, state.status_red ? QColor(255, 0, 0) : QColor(0, 0, 0));
  status_->setPalette(palette);

  analyzer_->setChecked(state.selected_mode == Personality::kAnalyzer);
  monitor_->setChecked(state.selected_mode == Personality::kMonitor);
  mode_label_->setText(state.mode_label == TextId::kNone ? QString() : TranslatedText(state.mode_label));
  eeprom_version_->setText(
      VersionText(state.versions, &FirmVersions::eeprom_major, &FirmVersions::eeprom_minor, "X.XX"));
  flash_version_->setText(VersionText(state.versions, &FirmVersions::flash_major, &FirmVersions::flash_minor, "Y.YY"));
  cpld_version_->setText(VersionText(state.versions, &FirmVersions::cpld_major, &FirmVersions::cpld_minor, "Z.ZZ"));
  progress_->setValue(state.progress_value);
  update_->setEnabled(state.update_enabled);
  exit_->setEnabled(state.exit_enabled);
}

bool ModeChangeDialog::OnDialogThread() const { return QThread::currentThread() == thread(); }

void ModeChangeDialog::StateChanged() {
  if (OnDialogThread()) {
    Render();
  } else if (!render_queued_.exchange(true)) {
    QMetaObject::invokeMethod(this, [this] { Render(); }, Qt::QueuedConnection);
  }
}

bool ModeChangeDialog::ShowMessage(TextId text) {
  if (OnDialogThread()) return AskUser(text);
  bool answer = false;
  QMetaObject::invokeMethod(this, [this, text] { return AskUser(text); }, Qt::BlockingQueuedConnection, &answer);
  return answer;
}

bool ModeChangeDialog::AskUser(TextId text) {
  if (presenter_) return presenter_(text);
  if (text == TextId::kSameOrOlderVersion) {
    return QMessageBox::question(this, tr("CPLD"), TranslatedText(text), QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
  }
  if (text == TextId::kFirmwareCorrupted) {
    QMessageBox::warning(this, QCoreApplication::applicationName(), TranslatedText(text));
  } else {
    QMessageBox::information(this, QCoreApplication::applicationName(), TranslatedText(text));
  }
  return true;
}

void ModeChangeDialog::CloseDialog() { accept(); }

void ModeChangeDialog::Start() {
  // From the worker this arrives later; a stop on the dialog thread in
  // between ("Exit") wins.
  QMetaObject::invokeMethod(&poll_timer_, [this] {
    if (machine_->State().timer_running) poll_timer_.start();
  });
}

void ModeChangeDialog::Stop() {
  QMetaObject::invokeMethod(&poll_timer_, [this] { poll_timer_.stop(); });
}

void ModeChangeDialog::LaunchWorker(std::function<void()> body) {
  // The previous worker has handed the dialog back already; it may still be
  // returning from its last call.
  if (worker_.joinable()) worker_.join();
  worker_ = std::thread(std::move(body));
}

void ModeChangeDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (started_) return;
  started_ = true;
  // Start-up talks to the device and may show a message box: after the
  // dialog is on screen.
  QMetaObject::invokeMethod(this, [this] { machine_->Start(); }, Qt::QueuedConnection);
}

void ModeChangeDialog::reject() { machine_->PressExit(); }

}  // namespace velix::modechange
