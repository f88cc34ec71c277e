#include "Orvane/ui/dialogs/dlg_trigger_ext_in.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Orvane/ui/dialogs/dialog_widgets.h"

namespace {

constexpr const char* kContext = "DlgTriggerExtIN";

constexpr const char* kLevelItems[] = {
    QT_TRANSLATE_NOOP("DlgTriggerExtIN", "LOW"),
    QT_TRANSLATE_NOOP("DlgTriggerExtIN", "HIGH"),
};
static_assert(SameTexts(kLevelItems, orvane::kTrgInLevelLabels));

constexpr const char* kLineTexts[orvane::kTrgInLines] = {
    QT_TRANSLATE_NOOP("DlgTriggerExtIN", "TRGIN-0 Enable"), QT_TRANSLATE_NOOP("DlgTriggerExtIN", "TRGIN-1 Enable"),
    QT_TRANSLATE_NOOP("DlgTriggerExtIN", "TRGIN-2 Enable"), QT_TRANSLATE_NOOP("DlgTriggerExtIN", "TRGIN-3 Enable"),
    QT_TRANSLATE_NOOP("DlgTriggerExtIN", "TRGIN-4 Enable"),
};

}  // namespace

DlgTriggerExtIN::DlgTriggerExtIN(const orvane::SettingsRecord& settings, const orvane::TriggerContext& context,
                                 QWidget* parent)
    : QDialog(parent), context_(context), fields_(orvane::TrgInFieldsFromSettings(settings)) {
  BuildControls();
  Render();
}

void DlgTriggerExtIN::BuildControls() {
  setWindowTitle(tr("Ext,IN Trigger(TRGIN) Settings"));
  enable_ = new QCheckBox(tr("Enable external input trigger (TRGIN: 0-4)"));
  NameControl(enable_, "trgInEnable", enable_->text());
  enable_->setChecked(fields_.enabled);

  auto* lines = new QGridLayout;
  const QString condition = tr("condition");
  for (int n = 0; n < orvane::kTrgInLines; ++n) {
    const QString text = TranslatedText(kContext, kLineTexts[n]);
    line_[n] = new QCheckBox(text);
    NameControl(line_[n], QStringLiteral("line%1").arg(n).toLatin1().constData(), text);
    line_[n]->setChecked(fields_.line_enabled[n]);
    auto* label = new QLabel(condition);
    level_[n] = NewComboBox(QStringLiteral("level%1").arg(n).toLatin1().constData(), kContext, kLevelItems,
                            fields_.high[n] ? 1 : 0);
    level_[n]->setAccessibleName(AccessibleText(QStringLiteral("TRGIN-%1 ").arg(n) + condition));
    label->setBuddy(level_[n]);
    lines->addWidget(line_[n], n, 0);
    lines->addWidget(label, n, 1);
    lines->addWidget(level_[n], n, 2);
    connect(line_[n], &QCheckBox::toggled, this, [this] { Render(); });
  }

  software_ = NewPushButton(
      TranslatedText(kContext, QT_TRANSLATE_NOOP("DlgTriggerExtIN", "Trigger Setting\n(MonitorMode only)")),
      "softwareTrigger");
  output_ = NewPushButton(
      TranslatedText(kContext, QT_TRANSLATE_NOOP("DlgTriggerExtIN", "TRGOUT Setting\n(MonitorMode\nI2C only)")),
      "trgoutSetting");
  for (QPushButton* button : {software_, output_}) button->setAutoDefault(false);
  auto* dialog_buttons = new QHBoxLayout;
  dialog_buttons->addWidget(software_);
  dialog_buttons->addWidget(output_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ok"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(enable_);
  layout->addLayout(lines);
  layout->addLayout(dialog_buttons);
  layout->addWidget(buttons);

  connect(enable_, &QCheckBox::toggled, this, [this] { Render(); });
  connect(software_, &QPushButton::clicked, this, [this] {
    if (hooks_.software) hooks_.software(context_);
  });
  connect(output_, &QPushButton::clicked, this, [this] {
    if (hooks_.output) hooks_.output();
  });
  connect(buttons, &QDialogButtonBox::accepted, this, &DlgTriggerExtIN::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &DlgTriggerExtIN::reject);
}

void DlgTriggerExtIN::SetOpenDialogHooks(TriggerDialogHooks hooks) {
  hooks_ = std::move(hooks);
  Render();
}

orvane::TrgInFields DlgTriggerExtIN::ReadFields() const {
  orvane::TrgInFields f;
  f.enabled = enable_->isChecked();
  for (int n = 0; n < orvane::kTrgInLines; ++n) {
    f.line_enabled[n] = line_[n]->isChecked();
    f.high[n] = level_[n]->currentIndex() != 0;
  }
  return f;
}

void DlgTriggerExtIN::Render() {
  const orvane::TrgInEnables e = orvane::TrgInControlEnables(ReadFields(), context_);
  for (int n = 0; n < orvane::kTrgInLines; ++n) {
    line_[n]->setEnabled(e.line_box[n]);
    level_[n]->setEnabled(e.level[n]);
  }
  software_->setEnabled(e.software_trigger && hooks_.software);
  output_->setEnabled(e.trigger_out && hooks_.output);
}

void DlgTriggerExtIN::accept() {
  fields_ = ReadFields();
  QDialog::accept();
}

void DlgTriggerExtIN::Apply(orvane::SettingsRecord* settings) const { orvane::ApplyTrgInDialog(fields_, settings); }
