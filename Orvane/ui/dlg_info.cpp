#include "Orvane/ui/dlg_info.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "Orvane/ui/model/info_model.h"
#include "velix_version.h"

namespace orvane {
namespace {

QLineEdit* ReadOnlyField(const char* object_name, const QString& accessible_name) {
  auto* field = new QLineEdit;
  field->setReadOnly(true);
  field->setObjectName(QString::fromLatin1(object_name));
  field->setAccessibleName(accessible_name);
  return field;
}

QColor FromColorRef(uint32_t colour) {
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

}  // namespace

DlgInfo::DlgInfo(const AppState& app, DriverClient& client, LiveBufferSize live_buffer_mb, QWidget* parent,
                 std::string device_name)
    : QDialog(parent),
      app_(app),
      client_(client),
      live_buffer_mb_(std::move(live_buffer_mb)),
      device_name_(std::move(device_name)),
      poll_timer_(this) {
  poll_timer_.setObjectName(QStringLiteral("pollTimer"));
  BuildControls();
  temporary_path_->setText(QString::fromStdString(app_.temp_folder));
  software_version_->setText(QString::fromLatin1(velix::kVelixVersion));
  connect(&poll_timer_, &QTimer::timeout, this, [this] {
    poll_timer_.setInterval(kInfoPollPeriodMs);
    Refresh();
  });
}

void DlgInfo::BuildControls() {
  setWindowTitle(tr("Information"));
  setAccessibleName(tr("Information"));

  temporary_path_ = ReadOnlyField("temporaryPath", tr("Temporary path"));
  software_version_ = ReadOnlyField("softwareVersion", tr("Software Version"));
  auto* software = new QFormLayout;
  software->addRow(tr("Temporary path"), temporary_path_);
  software->addRow(tr("Software Version"), software_version_);

  status_ = new QLabel;
  status_->setObjectName(QStringLiteral("status"));
  mode_ = new QLabel;
  mode_->setObjectName(QStringLiteral("mode"));
  QFont mode_font(QStringLiteral("Times New Roman"), 12);
  mode_font.setBold(true);
  mode_->setFont(mode_font);
  firmware_version_ = ReadOnlyField("firmwareVersion", tr("Analyzer FW Version"));
  cpld_version_ = ReadOnlyField("cpldVersion", tr("Analyzer CPLD Version"));
  driver_version_ = ReadOnlyField("driverVersion", tr("Driver Version"));
  auto* device = new QGroupBox;
  auto* device_layout = new QFormLayout(device);
  device_layout->addRow(status_);
  device_layout->addRow(mode_);
  device_layout->addRow(tr("Analyzer FW Version"), firmware_version_);
  device_layout->addRow(tr("Analyzer CPLD Version"), cpld_version_);
  device_layout->addRow(tr("Driver Version"), driver_version_);

  physical_memory_ = ReadOnlyField("physicalMemory", tr("Physical memory"));
  free_memory_ = ReadOnlyField("freeMemory", tr("Free physical memory"));
  allocation_ = ReadOnlyField("allocatedMemory", tr("Allocate Physical Memory"));
  allocation_label_ = new QLabel(tr("Allocate Physical Memory"));
  allocation_label_->setObjectName(QStringLiteral("allocatedMemoryLabel"));
  allocation_label_->setBuddy(allocation_);
  auto* memory = new QGroupBox;
  auto* memory_layout = new QFormLayout(memory);
  memory_layout->addRow(tr("Physical memory"), physical_memory_);
  memory_layout->addRow(tr("Free physical memory"), free_memory_);
  memory_layout->addRow(allocation_label_, allocation_);
  allocation_label_->hide();
  allocation_->hide();

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(software);
  layout->addWidget(device);
  layout->addWidget(memory);
  layout->addWidget(buttons);
  setMinimumWidth(460);
}

void DlgInfo::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  poll_timer_.start(kInfoFirstPollMs);
}

void DlgInfo::hideEvent(QHideEvent* event) {
  poll_timer_.stop();
  QDialog::hideEvent(event);
}

void DlgInfo::Refresh() {
  // The flag is only set and cleared on this thread, so it cannot change
  // while the device is asked.
  const DeviceProbe probe = app_.live_capture ? ProbeOfRunningCapture(client_) : ProbeDevice(client_, device_name_);
  ShowTexts(MakeInfoTexts(probe, ReadMemoryFigures(), live_buffer_mb_ ? live_buffer_mb_() : std::nullopt));
}

void DlgInfo::ShowTexts(const InfoTexts& texts) {
  status_->setText(texts.status == InfoStatus::kConnected ? tr("VELIX Connect") : tr("VELIX Not connect"));
  switch (texts.mode) {
    case InfoMode::kBusAnalyzer:
      mode_->setText(tr("BUS ANALYZER MODE"));
      break;
    case InfoMode::kMonitor:
      mode_->setText(tr("MONITOR MODE"));
      break;
    case InfoMode::kNone:
      mode_->clear();
      break;
  }
  QPalette palette = mode_->palette();
  palette.setColor(QPalette::WindowText, FromColorRef(texts.mode_colour));
  mode_->setPalette(palette);

  for (QLineEdit* field : {firmware_version_, cpld_version_, driver_version_}) {
    field->setEnabled(texts.versions_enabled);
  }
  firmware_version_->setText(QString::fromStdString(texts.firmware_version));
  cpld_version_->setText(QString::fromStdString(texts.cpld_version));
  driver_version_->setText(QString::fromStdString(texts.driver_version));

  physical_memory_->setText(texts.physical_memory ? QString::fromStdString(*texts.physical_memory) : tr("Unknown"));
  free_memory_->setText(texts.free_memory ? QString::fromStdString(*texts.free_memory) : tr("Unknown"));
  allocation_->setText(QString::fromStdString(texts.allocation.value_or(std::string())));
  allocation_label_->setVisible(texts.allocation.has_value());
  allocation_->setVisible(texts.allocation.has_value());
}

void DlgInfo::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::RightButton) {
    QDialog::mouseDoubleClickEvent(event);
    return;
  }
  ToggleDebugMessages();
  QApplication::beep();
}

}  // namespace orvane
