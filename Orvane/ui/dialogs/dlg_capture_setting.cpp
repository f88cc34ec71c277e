#include "Orvane/ui/dialogs/dlg_capture_setting.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include <string_view>

#include "Orvane/ui/dialogs/dialog_widgets.h"
#include "Orvane/ui/dialogs/size_spin_box.h"

namespace {

// The list entries, marked for the translation tools; the same texts as the
// core's tables, which the command-line capture prints.
constexpr const char* kBusItems[] = {
    QT_TRANSLATE_NOOP("DlgCaptureSetting", "SPI"),
    QT_TRANSLATE_NOOP("DlgCaptureSetting", "I2C #0(Main)"),
    QT_TRANSLATE_NOOP("DlgCaptureSetting", "I2C #1(Sub)"),
};
constexpr const char* kCaptureModeItems[] = {
    QT_TRANSLATE_NOOP("DlgCaptureSetting", "Oneshot"),
    QT_TRANSLATE_NOOP("DlgCaptureSetting", "Free run"),
};
constexpr const char* kFrequencyItems[] = {
    QT_TRANSLATE_NOOP("DlgCaptureSetting", "50MHz"),
    QT_TRANSLATE_NOOP("DlgCaptureSetting", "20MHz"),
    QT_TRANSLATE_NOOP("DlgCaptureSetting", "10MHz"),
};
constexpr const char* kModeTitles[] = {
    QT_TRANSLATE_NOOP("DlgCaptureSetting", "BUS ANALYZER MODE"),
    QT_TRANSLATE_NOOP("DlgCaptureSetting", "MONITOR MODE"),
};

template <size_t N>
constexpr bool SameTexts(const char* const (&ours)[N], const std::array<const char*, N>& core) {
  for (size_t i = 0; i < N; ++i) {
    if (std::string_view(ours[i]) != core[i]) return false;
  }
  return true;
}
static_assert(SameTexts(kBusItems, orvane::kCaptureBusLabels));
static_assert(SameTexts(kCaptureModeItems, orvane::kCaptureModeLabels));
static_assert(SameTexts(kFrequencyItems, orvane::kFrequencyLabels));

constexpr int kTitlePointSize = 12;

}  // namespace

DlgCaptureSetting::DlgCaptureSetting(const orvane::CaptureDialogValues& values,
                                     StartCaptureFn start, QWidget* parent,
                                     velix::platform::InteractionSink* sink)
    : QDialog(parent), model_(values), start_(std::move(start)), sink_(sink) {
  BuildControls(values);
  Render();
}

void DlgCaptureSetting::BuildControls(const orvane::CaptureDialogValues& values) {
  setWindowTitle(tr("Capture settings"));
  const orvane::CaptureEntries& entries = model_.Entries();

  const orvane::ModeTitle title = orvane::CaptureModeTitle(values.monitor_mode);
  auto* mode_title = new QLabel(TranslatedText("DlgCaptureSetting", kModeTitles[values.monitor_mode ? 1 : 0]));
  mode_title->setObjectName(QStringLiteral("modeTitle"));
  QFont font(QStringLiteral("Times New Roman"), kTitlePointSize, QFont::Bold);
  mode_title->setFont(font);
  QPalette palette = mode_title->palette();
  palette.setColor(QPalette::WindowText, ColourFromColorRef(title.colour));
  mode_title->setPalette(palette);

  bus_ = NewComboBox("bus", "DlgCaptureSetting", kBusItems, entries.bus);
  capture_mode_ = NewComboBox("captureMode", "DlgCaptureSetting", kCaptureModeItems, entries.free_run);
  frequency_ = NewComboBox("frequency", "DlgCaptureSetting", kFrequencyItems,
                           static_cast<int>(entries.frequency_index));

  const auto refused = [this](const std::string& message) { ShowRefusal(message); };
  capture_size_ = new SizeSpinBox(static_cast<int>(values.max_capture_size_mb), refused);
  capture_size_->setObjectName(QStringLiteral("captureSize"));
  capture_size_->setValue(static_cast<int>(entries.capture_size_mb));
  driver_buffer_ = new SizeSpinBox(static_cast<int>(model_.MaxDriverBufferMb()), refused);
  driver_buffer_->setObjectName(QStringLiteral("driverBuffer"));
  driver_buffer_->setValue(static_cast<int>(entries.driver_buffer_mb));

  auto* note = new QLabel(tr("(If there is no problem, please use default value\n of driver buffer size.)"));
  note->setObjectName(QStringLiteral("driverBufferNote"));

  form_ = new QFormLayout;
  AddLabelledRow(form_, tr("Capture Bus"), bus_);
  AddLabelledRow(form_, tr("Capture Mode"), capture_mode_);
  AddLabelledRow(form_, tr("Sampling frequency"), frequency_);
  AddLabelledRow(form_, tr("Capture Data size (MB)"), capture_size_);
  AddLabelledRow(form_, tr("Driver Buffer size (MB)"), driver_buffer_);
  form_->addRow(note);

  trigger_button_ = AddHookButton(tr("TRIGGER setting..."), "triggerSetting");
  spi_button_ = AddHookButton(tr("SPI setting..."), "spiSetting");
  i2c_button_ = AddHookButton(tr("I2C setting..."), "i2cSetting");
  general_button_ = AddHookButton(tr("General setting..."), "generalSetting");
  auto* settings_buttons = new QHBoxLayout;
  for (QPushButton* button : {trigger_button_, spi_button_, i2c_button_, general_button_}) {
    settings_buttons->addWidget(button);
  }

  auto* start_button = NewPushButton(tr("Start Capture"), "startCapture");
  start_button->setDefault(true);
  auto* cancel_button = NewPushButton(tr("Cancel"), "cancel");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(start_button);
  buttons->addWidget(cancel_button);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(mode_title);
  layout->addLayout(form_);
  layout->addLayout(settings_buttons);
  layout->addLayout(buttons);

  connect(bus_, &QComboBox::currentIndexChanged, this, [this](int index) {
    model_.SelectBus(static_cast<uint8_t>(index));
    Render();
  });
  connect(capture_mode_, &QComboBox::currentIndexChanged, this,
          [this](int index) { model_.SelectCaptureMode(static_cast<uint8_t>(index)); });
  connect(frequency_, &QComboBox::currentIndexChanged, this,
          [this](int index) { model_.SelectFrequency(static_cast<size_t>(index)); });
  connect(capture_size_, &QSpinBox::valueChanged, this,
          [this](int value) { model_.SetCaptureSize(static_cast<uint32_t>(value)); });
  connect(driver_buffer_, &QSpinBox::valueChanged, this,
          [this](int value) { model_.SetDriverBuffer(static_cast<uint32_t>(value)); });
  connect(trigger_button_, &QPushButton::clicked, this, [this] {
    if (hooks_.trigger) hooks_.trigger(model_.Entries().bus);
  });
  connect(spi_button_, &QPushButton::clicked, this, [this] {
    if (hooks_.spi) hooks_.spi();
  });
  connect(i2c_button_, &QPushButton::clicked, this, [this] {
    if (hooks_.i2c) hooks_.i2c();
  });
  connect(general_button_, &QPushButton::clicked, this, [this] {
    if (hooks_.general) hooks_.general();
  });
  connect(start_button, &QPushButton::clicked, this, [this] { StartCapture(); });
  connect(cancel_button, &QPushButton::clicked, this, &QDialog::reject);
}

QPushButton* DlgCaptureSetting::AddHookButton(const QString& text, const char* name) {
  QPushButton* button = NewPushButton(text, name);
  button->setAutoDefault(false);
  return button;
}

void DlgCaptureSetting::SetOpenDialogHooks(CaptureDialogHooks hooks) {
  hooks_ = std::move(hooks);
  Render();
}

void DlgCaptureSetting::Render() {
  const orvane::CaptureSettingEnables enables = model_.Enables();
  trigger_button_->setEnabled(static_cast<bool>(hooks_.trigger));
  spi_button_->setEnabled(enables.spi_setting && hooks_.spi);
  i2c_button_->setEnabled(enables.i2c_setting && hooks_.i2c);
  general_button_->setEnabled(static_cast<bool>(hooks_.general));
  form_->setRowVisible(capture_mode_, enables.capture_mode_shown);
  form_->setRowVisible(frequency_, enables.frequency_shown);
}

void DlgCaptureSetting::StartCapture() {
  // Both boxes first: a size still being typed counts as typed.
  const bool capture_ok = capture_size_->CommitEntry();
  const bool driver_ok = driver_buffer_->CommitEntry();
  if (!capture_ok || !driver_ok) return;
  if (start_ && start_(model_.Entries())) accept();
}

void DlgCaptureSetting::ShowRefusal(const std::string& message) {
  if (sink_ != nullptr) sink_->Show(message);
}

void DlgCaptureSetting::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    QApplication::beep();
    model_.RightDoubleClick();
    Render();
  }
  QDialog::mouseDoubleClickEvent(event);
}
