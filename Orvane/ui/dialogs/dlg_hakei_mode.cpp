#include "Orvane/ui/dialogs/dlg_hakei_mode.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <string_view>

#include "Orvane/ui/dialogs/dialog_widgets.h"

namespace {

constexpr const char* kContext = "DlgHakeiMode";
constexpr const char* kRangeText =
    QT_TRANSLATE_NOOP("DlgHakeiMode", "Setting error.\nThe setting value is beyond the range\n");
static_assert(std::string_view(kRangeText) == orvane::kQuietTimeRangeText);

}  // namespace

DlgHakeiMode::DlgHakeiMode(const orvane::HakeiModeValues& values, velix::platform::InteractionSink& sink,
                           QWidget* parent)
    : QDialog(parent), sink_(sink), values_(values) {
  BuildControls();
  forced_display_->setChecked(values_.forced_display);
  quiet_time_->setText(QString::number(values_.quiet_ms));
  Render();
}

void DlgHakeiMode::BuildControls() {
  setWindowTitle(tr("Waveform display settings（AnalyzerMode）"));
  forced_display_ = new QCheckBox(tr("Forced display mode (SPI/I2C protocol is ignored.)"));
  NameControl(forced_display_, "forcedDisplay", forced_display_->text());

  const QString caption_text = tr("Approximate time of transaction delimited");
  auto* caption = new QLabel(caption_text);
  quiet_time_ = new QLineEdit;
  NameControl(quiet_time_, "quietTime", caption_text);
  // Digits only: an input method would only get in the way.
  quiet_time_->setAttribute(Qt::WA_InputMethodEnabled, false);
  caption->setBuddy(quiet_time_);
  auto* unit = new QLabel(tr("milli second"));
  unit->setObjectName(QStringLiteral("quietUnit"));
  auto* hint = new QLabel(tr("Please set time within a range 1 to 4000(msec)"));
  hint->setObjectName(QStringLiteral("quietHint"));
  caption->setObjectName(QStringLiteral("quietCaption"));
  quiet_time_->setAccessibleDescription(hint->text());
  quiet_controls_ = {caption, quiet_time_, unit, hint};

  auto* grid = new QGridLayout;
  grid->addWidget(caption, 0, 0, 1, 2);
  grid->addWidget(quiet_time_, 1, 0);
  grid->addWidget(unit, 1, 1);
  grid->addWidget(hint, 2, 0, 1, 2);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ok"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(forced_display_);
  layout->addLayout(grid);
  layout->addWidget(buttons);

  connect(forced_display_, &QCheckBox::toggled, this, [this] { Render(); });
  connect(buttons, &QDialogButtonBox::accepted, this, &DlgHakeiMode::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &DlgHakeiMode::reject);
}

void DlgHakeiMode::Render() {
  for (QWidget* control : quiet_controls_) control->setEnabled(forced_display_->isChecked());
}

void DlgHakeiMode::accept() {
  const orvane::HakeiModeAccept result =
      orvane::AcceptHakeiMode(forced_display_->isChecked(), quiet_time_->text().toStdString(), values_);
  if (!result.accepted) {
    const QString text = TranslatedText(kContext, kRangeText);
    sink_.Show(orvane::QuietTimeRangeMessage(text.toStdString(), result.rejected_value),
               velix::platform::Icon::kStop);
    return;
  }
  values_ = result.values;
  QDialog::accept();
}
