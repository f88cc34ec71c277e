#include "Orvane/ui/dialogs/dlg_spi_setting.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "Orvane/ui/dialogs/dialog_widgets.h"
#include "Orvane/ui/dialogs/spi_setting_model.h"

namespace {

constexpr const char* kContext = "DlgSPISetting";

template <typename Button>
Button* NewChoice(const QString& text, const char* name, const QString& tip) {
  auto* button = new Button(text);
  NameControl(button, name, text);
  button->setToolTip(tip);
  return button;
}

QGroupBox* NewGroup(const QString& title, QButtonGroup* exclusive,
                    std::initializer_list<QWidget*> controls) {
  auto* group = new QGroupBox(title);
  auto* layout = new QVBoxLayout(group);
  for (QWidget* control : controls) {
    layout->addWidget(control);
    if (auto* radio = qobject_cast<QRadioButton*>(control); radio != nullptr && exclusive != nullptr) {
      exclusive->addButton(radio);
    }
  }
  return group;
}

}  // namespace

DlgSPISetting::DlgSPISetting(const orvane::SettingsRecord& settings,
                             velix::platform::InteractionSink& sink, QWidget* parent)
    : QDialog(parent),
      sink_(sink),
      opened_with_(settings),
      fields_(orvane::SpiFieldsFromSettings(settings)),
      ignore_first_edge_on_at_opening_(fields_.ignore_first_edge) {
  BuildControls();
  ShowFields(fields_);
  Render();
}

void DlgSPISetting::BuildControls() {
  setWindowTitle(tr("SPI Settings"));

  rising_edge_ = NewChoice<QRadioButton>(
      tr("SCLK rising edge"), "risingEdge",
      tr("Sampling the SDI / SDO signal at the rising edge of the SCLK."));
  falling_edge_ = NewChoice<QRadioButton>(
      tr("SCLK falling edge"), "fallingEdge",
      tr("Sampling the SDI / SDO signal at the falling edge of the SCLK."));
  msb_first_ = NewChoice<QRadioButton>(tr("MSB first"), "msbFirst",
                                       tr("SDI/SDO signal data bits order : MSB -> LSB."));
  lsb_first_ = NewChoice<QRadioButton>(tr("LSB first"), "lsbFirst",
                                       tr("SDI/SDO signal data bits order : LSB -> MSB."));
  monitor_ss_ = NewChoice<QCheckBox>(tr("Monitor SS signal"), "monitorSs",
                                     tr("If checked, use the SS signal."));
  ss_active_low_ = NewChoice<QRadioButton>(
      tr("SS Active LOW"), "ssActiveLow", tr("Signal variation is valid when SS signal state is LOW."));
  ss_active_high_ = NewChoice<QRadioButton>(
      tr("SS Active HIGH"), "ssActiveHigh",
      tr("Signal variation is valid when SS signal state is HIGH."));
  ss_end_ = NewChoice<QCheckBox>(
      tr("SS signal: active -> inactive\n(Refer to SS signal setting about active/inactive)"), "ssEnd",
      tr("Terminate the transaction when SS signal state chage from active to inactive. (Depend on "
         "SS signal monitor setting.)"));
  const QString timeout_tip = tr("Transaction timeout of SCLK signal does not change");
  timeout_enabled_ =
      NewChoice<QCheckBox>(tr("SCLK signal variation time out"), "timeoutEnabled", timeout_tip);
  timeout_ms_ = new QLineEdit;
  NameControl(timeout_ms_, "timeoutMs", timeout_enabled_->text());
  timeout_ms_->setToolTip(timeout_tip);
  timeout_unit_ = new QLabel(tr("ms"));
  auto* timeout_note = new QLabel(tr("(Monitor mode: accuracy of 1 second)"));
  const QString length_text = tr("Deta length of transaction (Byte)");
  auto* length_label = new QLabel(length_text);
  data_length_ = new QLineEdit;
  NameControl(data_length_, "dataLength", length_text);
  data_length_->setToolTip(tr("Separate the transaction with the specified data length."));
  length_label->setBuddy(data_length_);
  ignore_first_edge_ = new QCheckBox(TranslatedText(
      kContext, QT_TRANSLATE_NOOP("DlgSPISetting", "1st CLK EDGE MUSHI  for CUSTOM \n  (AnalyzerMode Only)")));
  NameControl(ignore_first_edge_, "ignoreFirstEdge", ignore_first_edge_->text());

  auto* timeout_row = new QHBoxLayout;
  timeout_row->addWidget(timeout_ms_);
  timeout_row->addWidget(timeout_unit_);
  auto* length_row = new QHBoxLayout;
  length_row->addWidget(length_label);
  length_row->addWidget(data_length_);

  auto* end_group = new QGroupBox(tr("End of transaction condition"));
  auto* end_layout = new QVBoxLayout(end_group);
  end_layout->addWidget(ss_end_);
  end_layout->addWidget(timeout_enabled_);
  end_layout->addLayout(timeout_row);
  end_layout->addWidget(timeout_note);
  end_layout->addLayout(length_row);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ok"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(NewGroup(tr("Sampling edge (SCLK signal)"), new QButtonGroup(this),
                             {rising_edge_, falling_edge_}));
  layout->addWidget(NewGroup(tr("Data bit order"), new QButtonGroup(this), {msb_first_, lsb_first_}));
  layout->addWidget(NewGroup(tr("SS signal setting"), new QButtonGroup(this),
                             {monitor_ss_, ss_active_low_, ss_active_high_}));
  layout->addWidget(end_group);
  layout->addWidget(ignore_first_edge_);
  layout->addWidget(buttons);

  // The two SS check boxes are one setting seen from two groups.
  connect(monitor_ss_, &QCheckBox::toggled, this, &DlgSPISetting::SetMonitorSs);
  connect(ss_end_, &QCheckBox::toggled, this, &DlgSPISetting::SetMonitorSs);
  connect(timeout_enabled_, &QCheckBox::toggled, this, [this] { Render(); });
  connect(buttons, &QDialogButtonBox::accepted, this, &DlgSPISetting::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &DlgSPISetting::reject);
}

void DlgSPISetting::ShowFields(const orvane::SpiSettingsFields& fields) {
  (fields.rising_edge ? rising_edge_ : falling_edge_)->setChecked(true);
  (fields.msb_first ? msb_first_ : lsb_first_)->setChecked(true);
  SetMonitorSs(fields.monitor_ss);
  (fields.ss_active_high ? ss_active_high_ : ss_active_low_)->setChecked(true);
  timeout_enabled_->setChecked(fields.timeout_enabled);
  timeout_ms_->setText(QString::fromStdString(fields.timeout_ms));
  data_length_->setText(QString::fromStdString(fields.data_length));
  ignore_first_edge_->setChecked(fields.ignore_first_edge);
}

orvane::SpiSettingsFields DlgSPISetting::ReadFields() const {
  orvane::SpiSettingsFields fields;
  fields.rising_edge = rising_edge_->isChecked();
  fields.msb_first = msb_first_->isChecked();
  fields.monitor_ss = monitor_ss_->isChecked();
  fields.ss_active_high = ss_active_high_->isChecked();
  fields.timeout_enabled = timeout_enabled_->isChecked();
  fields.timeout_ms = timeout_ms_->text().toStdString();
  fields.data_length = data_length_->text().toStdString();
  fields.ignore_first_edge = ignore_first_edge_->isChecked();
  return fields;
}

void DlgSPISetting::SetMonitorSs(bool monitor) {
  monitor_ss_->setChecked(monitor);
  ss_end_->setChecked(monitor);
  Render();
}

void DlgSPISetting::Render() {
  const orvane::SpiSettingEnables enables = orvane::SpiControlEnables(ReadFields());
  ss_active_low_->setEnabled(enables.ss_polarity);
  ss_active_high_->setEnabled(enables.ss_polarity);
  timeout_ms_->setEnabled(enables.timeout_field);
  timeout_unit_->setEnabled(enables.timeout_field);
  ignore_first_edge_->setVisible(
      orvane::IgnoreFirstEdgeShown(ignore_first_edge_on_at_opening_, background_double_clicks_));
}

void DlgSPISetting::accept() {
  const orvane::SpiSettingsFields fields = ReadFields();
  // Checked against a copy: the record is written only by Apply().
  orvane::SettingsRecord probe = opened_with_;
  if (const auto message = orvane::ApplySpiSettingsDialog(fields, &probe).message) {
    sink_.Show(*message);
    return;
  }
  fields_ = fields;
  QDialog::accept();
}

bool DlgSPISetting::Apply(orvane::SettingsRecord* settings) const {
  return orvane::ApplySpiSettingsDialog(fields_, settings).rebuild;
}

void DlgSPISetting::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) QApplication::beep();
  if (background_double_clicks_ <= orvane::kIgnoreFirstEdgeClicks) ++background_double_clicks_;
  Render();
  QDialog::mouseDoubleClickEvent(event);
}
