#include "Orvane/ui/dialogs/dlg_trigger_out.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "Orvane/ui/dialogs/dialog_widgets.h"
#include "Orvane/ui/dialogs/hex_row_edit.h"

DlgTriggerOut::DlgTriggerOut(const orvane::SettingsRecord& settings, velix::platform::InteractionSink& sink,
                             QWidget* parent)
    : QDialog(parent), sink_(sink), fields_(orvane::TrgOutFieldsFromSettings(settings)) {
  BuildControls();
  Render();
}

void DlgTriggerOut::BuildControls() {
  setWindowTitle(tr("TRGOUT settings (I2C Monitor mode only)"));
  enable_ = new QCheckBox(tr("Enable trigger output (TRGOUT)  (I2C Monitor mode only)"));
  NameControl(enable_, "trgOutEnable", enable_->text());
  enable_->setChecked(fields_.enabled);

  auto* grid = new QGridLayout;
  address_enable_ = new QCheckBox(tr("Enable I2C address"));
  NameControl(address_enable_, "addressEnable", address_enable_->text());
  address_enable_->setChecked(fields_.address_enabled);
  auto* address_label = new QLabel(tr("I2C address value"));
  address_ = new QLineEdit(QString::fromStdString(fields_.address));
  NameControl(address_, "address", address_label->text());
  address_label->setBuddy(address_);
  ten_bit_ = new QCheckBox(tr("10bit ADRS mode"));
  NameControl(ten_bit_, "tenBit", ten_bit_->text());
  ten_bit_->setChecked(fields_.ten_bit);
  grid->addWidget(address_enable_, 0, 0, 1, 3);
  grid->addWidget(address_label, 1, 0);
  grid->addWidget(address_, 1, 1);
  grid->addWidget(ten_bit_, 1, 2);
  address_controls_ = {address_label, address_, ten_bit_};

  sub_enable_ = new QCheckBox(tr("Enable I2C sub address"));
  NameControl(sub_enable_, "subAddressEnable", sub_enable_->text());
  sub_enable_->setChecked(fields_.sub_address_enabled);
  auto* length_label = new QLabel(tr("Sub-address length"));
  sub_length_ = new QComboBox;
  sub_length_->setObjectName(QStringLiteral("subAddressLength"));
  for (size_t n = 1; n <= orvane::kSubAddressRowBytes; ++n) sub_length_->addItem(QString::number(n));
  sub_length_->setCurrentIndex(fields_.sub_address_length - 1);
  sub_length_->setAccessibleName(AccessibleText(length_label->text()));
  length_label->setBuddy(sub_length_);
  auto* header = new QLabel(QStringLiteral(":+0:+1:+2:+3"));
  header->setFont(HexRowEdit::RowFont());
  header->setContentsMargins(5, 0, 0, 0);
  auto* data_label = new QLabel(tr("Sub-address data"));
  sub_ = new HexRowEdit(orvane::kSubAddressRowBytes);
  NameControl(sub_, "subAddressData", data_label->text());
  data_label->setBuddy(sub_);
  sub_->SetBytes(fields_.sub_address.data());
  sub_->SetActiveLength(fields_.sub_address_length);
  grid->addWidget(sub_enable_, 2, 0, 1, 3);
  grid->addWidget(length_label, 3, 0);
  grid->addWidget(sub_length_, 3, 1);
  grid->addWidget(header, 4, 1, 1, 2);
  grid->addWidget(data_label, 5, 0);
  grid->addWidget(sub_, 5, 1, 1, 2);
  sub_controls_ = {length_label, sub_length_, header, data_label, sub_};

  nack_ = new QCheckBox(tr("NACK detection ( Ignore NACK before a STOP)"));
  NameControl(nack_, "nackIgnore", nack_->text());
  nack_->setChecked(fields_.nack_ignore);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ok"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(enable_);
  layout->addLayout(grid);
  layout->addWidget(nack_);
  layout->addWidget(buttons);

  for (QCheckBox* box : {enable_, address_enable_, sub_enable_}) {
    connect(box, &QCheckBox::toggled, this, [this] { Render(); });
  }
  connect(sub_length_, &QComboBox::currentIndexChanged, this, [this](int index) { sub_->SetActiveLength(index + 1); });
  connect(buttons, &QDialogButtonBox::accepted, this, &DlgTriggerOut::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &DlgTriggerOut::reject);
}

orvane::TrgOutFields DlgTriggerOut::ReadFields() const {
  orvane::TrgOutFields f = fields_;
  f.enabled = enable_->isChecked();
  f.address_enabled = address_enable_->isChecked();
  f.address = address_->text().toStdString();
  f.ten_bit = ten_bit_->isChecked();
  f.sub_address_enabled = sub_enable_->isChecked();
  f.sub_address_length = static_cast<uint8_t>(sub_length_->currentIndex() + 1);
  orvane::StoreHexRow(sub_->Text(), f.sub_address.data(), f.sub_address.size());
  f.nack_ignore = nack_->isChecked();
  return f;
}

void DlgTriggerOut::Render() {
  const orvane::TrgOutEnables e = orvane::TrgOutControlEnables(ReadFields());
  address_enable_->setEnabled(e.address_check);
  sub_enable_->setEnabled(e.sub_address_check);
  nack_->setEnabled(e.nack);
  for (QWidget* control : address_controls_) control->setEnabled(e.address_fields);
  for (QWidget* control : sub_controls_) control->setEnabled(e.sub_address_fields);
}

void DlgTriggerOut::accept() {
  const orvane::TrgOutFields fields = ReadFields();
  // The checks only: the record itself is written by Apply().
  orvane::SettingsRecord scratch = orvane::DefaultSettingsRecord();
  if (const auto message = orvane::ApplyTrgOutDialog(fields, &scratch)) {
    sink_.Show(*message);
    return;
  }
  fields_ = fields;
  QDialog::accept();
}

void DlgTriggerOut::Apply(orvane::SettingsRecord* settings) const { orvane::ApplyTrgOutDialog(fields_, settings); }
