#include "Orvane/ui/dialogs/dlg_i2c_setting.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "Orvane/ui/dialogs/dialog_widgets.h"
#include "Orvane/ui/dialogs/i2c_setting_model.h"
#include "Orvane/ui/dialogs/stepping_line_edit.h"

namespace {

using orvane::kRowBuf;
using orvane::kRowHdDat;
using orvane::kTimingRows;
using orvane::TimingPreset;

constexpr const char* kContext = "DlgI2CSetting";

struct RowTexts {
  const char* label;
  const char* description;
};
constexpr RowTexts kRows[kTimingRows] = {
    {QT_TRANSLATE_NOOP("DlgI2CSetting", "tHD_STA (min.)"),
     QT_TRANSLATE_NOOP("DlgI2CSetting", "Hold time (repeated)START condition.")},
    {QT_TRANSLATE_NOOP("DlgI2CSetting", "tSU_STA (min.)"),
     QT_TRANSLATE_NOOP("DlgI2CSetting", "Setup time for repeated START condition.")},
    {QT_TRANSLATE_NOOP("DlgI2CSetting", "tSU_STO (min.)"),
     QT_TRANSLATE_NOOP("DlgI2CSetting", "Setup time for STOP condition.")},
    {QT_TRANSLATE_NOOP("DlgI2CSetting", "tBUF (min.)"),
     QT_TRANSLATE_NOOP("DlgI2CSetting", "Bus free time between a STOP and START condition.")},
    {QT_TRANSLATE_NOOP("DlgI2CSetting", "tLOW (min.)"),
     QT_TRANSLATE_NOOP("DlgI2CSetting", "LOW period of the SCL clock.")},
    {QT_TRANSLATE_NOOP("DlgI2CSetting", "tHIGH (min.)"),
     QT_TRANSLATE_NOOP("DlgI2CSetting", "HIGH period of the SCL clock.")},
    {QT_TRANSLATE_NOOP("DlgI2CSetting", "tHD_DAT (max.)"),
     QT_TRANSLATE_NOOP("DlgI2CSetting", "Data hold time.")},
    {QT_TRANSLATE_NOOP("DlgI2CSetting", "tSU_DAT(min.)"),
     QT_TRANSLATE_NOOP("DlgI2CSetting", "Data set-up time.")},
};

struct PresetTexts {
  TimingPreset preset;
  const char* text;
  const char* name;
  const char* tip;
};
constexpr PresetTexts kPresetButtons[] = {
    {TimingPreset::kFast, QT_TRANSLATE_NOOP("DlgI2CSetting", "FAST-MODE\ndefault value"), "presetFast",
     QT_TRANSLATE_NOOP("DlgI2CSetting", "Set FAST-MODE default timing value.")},
    {TimingPreset::kStandard, QT_TRANSLATE_NOOP("DlgI2CSetting", "STANDARD-MODE\ndefault value"),
     "presetStandard", QT_TRANSLATE_NOOP("DlgI2CSetting", "Set STANDARD-MODE default timing value.")},
    {TimingPreset::kHs100pF, QT_TRANSLATE_NOOP("DlgI2CSetting", "HS-MODE(100pF)\ndefault value"),
     "presetHs100pF", QT_TRANSLATE_NOOP("DlgI2CSetting", "Set HS-MODE default timing value.")},
    {TimingPreset::kHs400pF, QT_TRANSLATE_NOOP("DlgI2CSetting", "HS-MODE(400pF)\ndefault value"),
     "presetHs400pF", QT_TRANSLATE_NOOP("DlgI2CSetting", "Set HS-MODE(400pF) default timing value.")},
};

// The questions the presets ask, in the order of TimingPreset; the same
// texts as the core's PresetQuestion.
constexpr const char* kPresetQuestions[] = {
    QT_TRANSLATE_NOOP("DlgI2CSetting", "Do you apply FAST MODE settings?"),
    QT_TRANSLATE_NOOP("DlgI2CSetting", "Do you apply STANDARD MODE settings?"),
    QT_TRANSLATE_NOOP("DlgI2CSetting", "Do you apply HS MODE(Cb=100pF) settings?"),
    QT_TRANSLATE_NOOP("DlgI2CSetting", "Do you apply HS MODE(Cb=400pF) settings?"),
};

// Columns of the timing grid.
enum Column { kColLabel, kColDescription, kColStandard, kColStandardUnit, kColHs, kColHsUnit };

bool IsHsPreset(TimingPreset preset) {
  return preset == TimingPreset::kHs100pF || preset == TimingPreset::kHs400pF;
}

}  // namespace

DlgI2CSetting::DlgI2CSetting(const orvane::SettingsRecord& settings, bool timing_fields_enabled,
                             velix::platform::InteractionSink& sink, QWidget* parent)
    : QDialog(parent),
      timing_fields_enabled_(timing_fields_enabled),
      sink_(sink),
      fields_(orvane::I2CFieldsFromSettings(settings)) {
  BuildControls();
  ShowFields(fields_);
  Render();
}

void DlgI2CSetting::BuildControls() {
  setWindowTitle(tr("I2C Settings"));
  auto* group = new QGroupBox(tr("I2C Signal Timing Pameter (Analyzer mode only)"));
  auto* grid = new QGridLayout(group);

  const QString standard_heading = tr("FAST/STANDARD\nMODE Timing");
  const QString hs_heading = tr("HS-MODE\n Timing");
  auto* standard_title = new QLabel(standard_heading);
  auto* hs_title = new QLabel(hs_heading);
  grid->addWidget(standard_title, 0, kColStandard, 1, 2);
  grid->addWidget(hs_title, 0, kColHs, 1, 2);
  timing_controls_.push_back(standard_title);
  hs_controls_.push_back(hs_title);

  const QString min_tip =
      tr("Specifies the minimum value. Timing errors and to determine if less than this value.");
  const QString max_tip =
      tr("Specifies the maximum value. Timing errors and to determine if this value is exceeded.");
  const QString hs_min_tip = tr(
      "Specifies the minimum value at the time of HS-MODE. Timing errors and to determine if less "
      "than this value.");
  const QString hs_max_tip = tr(
      "Specifies the maximum value at the time of HS-MODE. Timing errors and to determine if this "
      "value is exceeded.");
  const QString unit = tr("x10(ns)");

  for (int row = 0; row < kTimingRows; ++row) {
    const int line = row + 1;
    const QString label_text = TranslatedText(kContext, kRows[row].label);
    const QString row_name = QString::fromLatin1(orvane::TimingRowName(static_cast<orvane::TimingRow>(row)));
    auto* label = new QLabel(label_text);
    auto* description = new QLabel(TranslatedText(kContext, kRows[row].description));
    auto* standard = new SteppingLineEdit(orvane::kTimingLimitMin, orvane::kTimingLimitMax);
    standard->setAccessibleName(AccessibleText(label_text + QLatin1Char(' ') + standard_heading));
    standard->setObjectName(QStringLiteral("standard_") + row_name);
    standard->setToolTip(row == kRowHdDat ? max_tip : min_tip);
    label->setBuddy(standard);
    auto* standard_unit = new QLabel(unit);
    grid->addWidget(label, line, kColLabel);
    grid->addWidget(description, line, kColDescription);
    grid->addWidget(standard, line, kColStandard);
    grid->addWidget(standard_unit, line, kColStandardUnit);
    standard_[row] = standard;
    timing_controls_.insert(timing_controls_.end(), {label, description, standard, standard_unit});
    if (row == kRowBuf) continue;

    const uint32_t hs_minimum = row == orvane::kRowSuDat ? orvane::kHsSuDatLimitMin : orvane::kTimingLimitMin;
    auto* hs = new SteppingLineEdit(hs_minimum, orvane::kTimingLimitMax);
    hs->setAccessibleName(AccessibleText(label_text + QLatin1Char(' ') + hs_heading));
    hs->setObjectName(QStringLiteral("hs_") + row_name);
    hs->setToolTip(row == kRowHdDat ? hs_max_tip : hs_min_tip);
    auto* hs_unit = new QLabel(unit);
    grid->addWidget(hs, line, kColHs);
    grid->addWidget(hs_unit, line, kColHsUnit);
    hs_[row] = hs;
    hs_controls_.insert(hs_controls_.end(), {hs, hs_unit});
  }

  int preset_line = kTimingRows + 1;
  for (const PresetTexts& texts : kPresetButtons) {
    const bool hs = IsHsPreset(texts.preset);
    QPushButton* button = NewPushButton(TranslatedText(kContext, texts.text), texts.name);
    button->setAutoDefault(false);
    button->setToolTip(TranslatedText(kContext, texts.tip));
    const int line = preset_line + ((texts.preset == TimingPreset::kStandard ||
                                     texts.preset == TimingPreset::kHs400pF) ? 1 : 0);
    grid->addWidget(button, line, hs ? kColHs : kColStandard, 1, 2);
    (hs ? hs_controls_ : timing_controls_).push_back(button);
    const TimingPreset preset = texts.preset;
    connect(button, &QPushButton::clicked, this, [this, preset] { AskPreset(preset); });
  }
  auto* warning = new QLabel(
      tr("**[WARNING!!]**\nIf Analyzer mode, Recommended that the sampling frequency set to 50 "
         "MHz.\nOtherwise, may not be properly judged."));
  warning->setObjectName(QStringLiteral("warning"));
  grid->addWidget(warning, preset_line + 2, kColLabel, 1, kColHsUnit + 1);
  timing_controls_.push_back(warning);

  hs_enable_ = new QCheckBox(tr("enable HS-MODE"));
  NameControl(hs_enable_, "hsEnable", hs_enable_->text());
  hs_enable_->setToolTip(tr("When checked, enables the determination of HS MODE."));
  ignore_nack_ = new QCheckBox(tr(
      "Ignore NACK before STOP.\n(NOTE: It is always displayed on the packet viewer, and is always "
      "ignored on “TRGOUT” )"));
  NameControl(ignore_nack_, "ignoreNack", ignore_nack_->text());
  ignore_nack_->setToolTip(tr("When checked, Ignore NACK before Stop condition."));
  trgout_ = NewPushButton(
      TranslatedText(kContext, QT_TRANSLATE_NOOP("DlgI2CSetting", "TRGOUT Setting\r(MonitorMode only)")),
      "trgoutSetting");
  trgout_->setAutoDefault(false);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ok"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(hs_enable_);
  layout->addWidget(ignore_nack_);
  layout->addWidget(trgout_);
  layout->addWidget(buttons);

  // Down one column, then the other, then the rest.
  QWidget* previous = nullptr;
  const auto chain = [&previous](QWidget* next) {
    if (previous != nullptr) setTabOrder(previous, next);
    previous = next;
  };
  for (QLineEdit* field : standard_) chain(field);
  for (QLineEdit* field : hs_) {
    if (field != nullptr) chain(field);
  }

  connect(hs_enable_, &QCheckBox::toggled, this, [this] { Render(); });
  connect(trgout_, &QPushButton::clicked, this, [this] {
    if (trgout_hook_) trgout_hook_();
  });
  connect(buttons, &QDialogButtonBox::accepted, this, &DlgI2CSetting::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &DlgI2CSetting::reject);
}

void DlgI2CSetting::SetTrgoutHook(std::function<void()> hook) {
  trgout_hook_ = std::move(hook);
  Render();
}

void DlgI2CSetting::ShowFields(const orvane::I2CSettingsFields& fields) {
  for (int row = 0; row < kTimingRows; ++row) {
    standard_[row]->setText(QString::fromStdString(fields.standard[row]));
    if (hs_[row] != nullptr) hs_[row]->setText(QString::fromStdString(fields.hs[row]));
  }
  hs_enable_->setChecked(fields.hs_enable);
  ignore_nack_->setChecked(fields.ignore_nack_before_stop);
}

orvane::I2CSettingsFields DlgI2CSetting::ReadFields() const {
  orvane::I2CSettingsFields fields;
  for (int row = 0; row < kTimingRows; ++row) {
    fields.standard[row] = standard_[row]->text().toStdString();
    if (hs_[row] != nullptr) fields.hs[row] = hs_[row]->text().toStdString();
  }
  fields.hs_enable = hs_enable_->isChecked();
  fields.ignore_nack_before_stop = ignore_nack_->isChecked();
  return fields;
}

void DlgI2CSetting::AskPreset(TimingPreset preset) {
  const QString question = TranslatedText(kContext, kPresetQuestions[static_cast<int>(preset)]);
  const velix::platform::Answer answer =
      sink_.MessageBox(question.toStdString(), velix::platform::Icon::kQuestion,
                       velix::platform::Buttons::kYesNo, velix::platform::Answer::kYes);
  if (answer != velix::platform::Answer::kYes) return;
  orvane::I2CSettingsFields fields = ReadFields();
  orvane::ApplyPreset(preset, &fields);
  ShowFields(fields);
}

void DlgI2CSetting::Render() {
  const orvane::I2CSettingEnables enables =
      orvane::I2CControlEnables(timing_fields_enabled_, hs_enable_->isChecked());
  for (QWidget* control : timing_controls_) control->setEnabled(enables.timing);
  for (QWidget* control : hs_controls_) control->setEnabled(enables.hs_column);
  trgout_->setEnabled(static_cast<bool>(trgout_hook_));
}

void DlgI2CSetting::accept() {
  const orvane::I2CSettingsFields fields = ReadFields();
  if (const auto message = orvane::ValidateI2CSettingsDialog(fields, timing_fields_enabled_)) {
    sink_.Show(*message);
    return;
  }
  fields_ = fields;
  QDialog::accept();
}

bool DlgI2CSetting::Apply(orvane::SettingsRecord* settings) const {
  return orvane::ApplyI2CSettingsDialog(fields_, timing_fields_enabled_, settings);
}
