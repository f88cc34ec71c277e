#include "Orvane/ui/dialogs/dlg_general.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <string_view>

#include "Orvane/ui/dialogs/dialog_widgets.h"
#include "Orvane/ui/dialogs/general_setting_model.h"

namespace {

constexpr const char* kPowerItems[] = {
    QT_TRANSLATE_NOOP("DlgGeneral", "Power OFF"), QT_TRANSLATE_NOOP("DlgGeneral", "1.8 V"),
    QT_TRANSLATE_NOOP("DlgGeneral", "2.5 V"),     QT_TRANSLATE_NOOP("DlgGeneral", "3.3 V"),
    QT_TRANSLATE_NOOP("DlgGeneral", "5.0 V"),
};
constexpr const char* kFilterItems[] = {
    QT_TRANSLATE_NOOP("DlgGeneral", "OFF (no filter)"),
    QT_TRANSLATE_NOOP("DlgGeneral", "2clock filter"),
    QT_TRANSLATE_NOOP("DlgGeneral", "3clock filter"),
    QT_TRANSLATE_NOOP("DlgGeneral", "4clock filter"),
};
constexpr const char* kPowerStates[] = {
    QT_TRANSLATE_NOOP("DlgGeneral", "Power ON"),
    QT_TRANSLATE_NOOP("DlgGeneral", "Power OFF (Power not supply)"),
};

template <size_t N>
constexpr bool SameTexts(const char* const (&ours)[N], const std::array<const char*, N>& core) {
  for (size_t i = 0; i < N; ++i) {
    if (std::string_view(ours[i]) != core[i]) return false;
  }
  return true;
}
static_assert(SameTexts(kPowerItems, orvane::kPowerSupplyLabels));
static_assert(SameTexts(kFilterItems, orvane::kNoiseFilterLabels));

}  // namespace

DlgGeneral::DlgGeneral(const orvane::GeneralSettingsValues& values, const orvane::PowerSense& sense,
                       velix::platform::InteractionSink& sink, QWidget* parent,
                       const QString& sampling_file_name)
    : QDialog(parent), sense_(sense), sink_(sink) {
  result_.values = values;
  BuildControls(values, sampling_file_name);
  Render();
}

void DlgGeneral::BuildControls(const orvane::GeneralSettingsValues& values,
                               const QString& sampling_file_name) {
  setWindowTitle(tr("Other setting"));
  const QString power_tip =
      tr("Change the setting of power supply from VELIX. It is feared that the wrong setting may "
         "cause problems with VELIX and devices, so please take care of the setting.");

  power_state_ = new QLabel(sense_.device_present
                                ? TranslatedText("DlgGeneral", kPowerStates[sense_.target_powered ? 0 : 1])
                                : QString());
  power_state_->setObjectName(QStringLiteral("powerState"));
  change_state_ = new QRadioButton(tr("Change state"));
  NameControl(change_state_, "changeState", change_state_->text());
  change_state_->setToolTip(power_tip);
  unchanged_ = new QRadioButton(tr("Unchanged (maintain the current status)"));
  NameControl(unchanged_, "unchanged", unchanged_->text());
  unchanged_->setChecked(true);
  auto* power_choice = new QButtonGroup(this);
  power_choice->addButton(change_state_);
  power_choice->addButton(unchanged_);

  power_supply_ = NewComboBox("powerSupply", "DlgGeneral", kPowerItems, values.power_supply);
  power_supply_->setToolTip(power_tip);
  noise_filter_ = NewComboBox("noiseFilter", "DlgGeneral", kFilterItems, values.noise_filter);
  noise_filter_->setToolTip(tr("If there is no problem, please use OFF(no filter)."));

  lock_memory_ = new QCheckBox(TranslatedText(
      "DlgGeneral", QT_TRANSLATE_NOOP("DlgGeneral",
                                      "Lock memory on sampling\r\n(You need to reboot the system to "
                                      "reflect the change.)\nIf there is no problem, please check "
                                      "the box.")));
  NameControl(lock_memory_, "lockMemory", lock_memory_->text());
  lock_memory_->setChecked(values.lock_memory);
  lock_memory_->setToolTip(
      tr("If you uncheck the box, it will easily occur probrems such as data overrun. If there is "
         "no problem, please check the box."));

  auto* file_path = new QLineEdit(sampling_file_name);
  file_path->setObjectName(QStringLiteral("temporaryFilePath"));
  file_path->setReadOnly(true);

  auto* form = new QFormLayout;
  power_state_label_ = AddLabelledRow(form, tr("Current power supply state"), power_state_);
  form->addRow(change_state_);
  form->addRow(unchanged_);
  power_label_ = AddLabelledRow(form, tr("Power supply setting"), power_supply_);
  AddLabelledRow(form, tr("Signal noize filter\n(Analyzer mode only)"), noise_filter_);
  form->addRow(lock_memory_);
  AddLabelledRow(form, tr("Temporary file path"), file_path);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ok"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);

  connect(buttons, &QDialogButtonBox::accepted, this, &DlgGeneral::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &DlgGeneral::reject);
  connect(change_state_, &QRadioButton::toggled, this, [this] { Render(); });
}

void DlgGeneral::Render() {
  const orvane::GeneralSettingEnables enables =
      orvane::GeneralControlEnables(sense_, change_state_->isChecked());
  for (QWidget* control : {static_cast<QWidget*>(power_state_label_), static_cast<QWidget*>(power_state_),
                           static_cast<QWidget*>(change_state_), static_cast<QWidget*>(unchanged_),
                           static_cast<QWidget*>(power_label_)}) {
    control->setEnabled(enables.power_controls);
  }
  power_supply_->setEnabled(enables.power_list);
}

void DlgGeneral::accept() {
  orvane::GeneralSettingsValues chosen;
  chosen.power_supply = static_cast<uint8_t>(power_supply_->currentIndex());
  chosen.noise_filter = static_cast<uint8_t>(noise_filter_->currentIndex());
  chosen.lock_memory = lock_memory_->isChecked();
  result_ = orvane::AcceptGeneralSettings(chosen, change_state_->isChecked(), sense_, sink_);
  QDialog::accept();
}
