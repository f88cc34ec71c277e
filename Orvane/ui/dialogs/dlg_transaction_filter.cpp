#include "Orvane/ui/dialogs/dlg_transaction_filter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "Orvane/ui/dialogs/dialog_widgets.h"

namespace {

QCheckBox* NewCheckBox(const QString& text, const char* name) {
  auto* box = new QCheckBox(text);
  NameControl(box, name, text);
  return box;
}

QLineEdit* NewField(const char* name, const QString& label_text, QLabel** label) {
  auto* field = new QLineEdit;
  NameControl(field, name, label_text);
  *label = new QLabel(label_text);
  (*label)->setBuddy(field);
  return field;
}

// Byte patterns line up with their position hint only in a fixed-pitch font.
void UseFixedPitch(QWidget* widget) { widget->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont)); }

}  // namespace

DlgTransactionFilter::DlgTransactionFilter(const orvane::SettingsRecord& settings, uint32_t transaction_counter,
                                           bool i2c_data, bool forced_display,
                                           velix::platform::InteractionSink& sink, QWidget* parent)
    : QDialog(parent),
      i2c_data_(i2c_data),
      forced_display_(forced_display),
      sink_(sink),
      fields_(orvane::FilterFieldsFromSettings(settings, transaction_counter)) {
  BuildControls();
  ShowFields(fields_);
  Render();
}

void DlgTransactionFilter::BuildControls() {
  setWindowTitle(tr("Transaction Filter"));
  enabled_ = NewCheckBox(tr("Enable filter view"), "enableFilter");
  range_ = NewCheckBox(tr("Transaction range"), "range");
  range_start_ = NewField("rangeStart", tr("Start no."), &range_start_label_);
  range_end_ = NewField("rangeEnd", tr("End no."), &range_end_label_);
  auto* range_row = new QGridLayout;
  range_row->addWidget(range_, 0, 0, 1, 4);
  range_row->addWidget(range_start_label_, 1, 0);
  range_row->addWidget(range_start_, 1, 1);
  range_row->addWidget(range_end_label_, 1, 2);
  range_row->addWidget(range_end_, 1, 3);

  forced_group_ = new QGroupBox(tr("Forced display mode only"));
  changes_only_ = NewCheckBox(tr("Only transaction of signal variation"), "changesOnly");
  auto* forced_layout = new QVBoxLayout(forced_group_);
  forced_layout->addWidget(changes_only_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ok"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(enabled_);
  layout->addLayout(range_row);
  layout->addWidget(BuildI2cGroup());
  layout->addWidget(forced_group_);
  layout->addWidget(buttons);

  for (QCheckBox* box : {enabled_, range_, address_, sub_address_, read_, write_}) {
    connect(box, &QCheckBox::toggled, this, [this] { Render(); });
  }
  connect(buttons, &QDialogButtonBox::accepted, this, &DlgTransactionFilter::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &DlgTransactionFilter::reject);
}

QWidget* DlgTransactionFilter::BuildI2cGroup() {
  i2c_group_ = new QGroupBox(tr("I2C only"));
  auto* grid = new QGridLayout(i2c_group_);
  int line = 0;
  address_ = NewCheckBox(tr("I2C address filter"), "addressFilter");
  ten_bit_ = NewCheckBox(tr("10bit ADRS mode"), "tenBit");
  address_value_ = NewField("addressValue", tr("I2C address\n value"),
                            &address_value_label_);
  address_mask_ = NewField("addressMask", tr("Mask value"), &address_mask_label_);
  grid->addWidget(address_, line, 0, 1, 2);
  grid->addWidget(ten_bit_, line++, 2, 1, 2);
  grid->addWidget(address_value_label_, line, 0);
  grid->addWidget(address_value_, line, 1);
  grid->addWidget(address_mask_label_, line, 2);
  grid->addWidget(address_mask_, line++, 3);

  sub_address_ = NewCheckBox(tr("Sub-address filter"), "subAddressFilter");
  sub_length_ = new QComboBox;
  for (int length = 1; length <= 4; ++length) sub_length_->addItem(QString::number(length));
  const QString length_text = tr("Sub-address length(Byte)");
  NameControl(sub_length_, "subAddressLength", length_text);
  sub_length_label_ = new QLabel(length_text);
  sub_length_label_->setBuddy(sub_length_);
  sub_data_ = NewField("subAddressData", tr("Sub-address data"), &sub_data_label_);
  sub_mask_ = NewField("subAddressMask", tr("Mask data"), &sub_mask_label_);
  sub_hint_ = new QLabel(QStringLiteral(":+0:+1:+2:+3"));
  for (QWidget* widget : {static_cast<QWidget*>(sub_data_), static_cast<QWidget*>(sub_mask_),
                          static_cast<QWidget*>(sub_hint_)}) {
    UseFixedPitch(widget);
  }
  from_sub_address_ = NewCheckBox(
      tr(" Include from sub address detection to STOP condition"),
      "fromSubAddress");
  grid->addWidget(sub_address_, line, 0, 1, 2);
  grid->addWidget(sub_length_label_, line, 2);
  grid->addWidget(sub_length_, line++, 3);
  grid->addWidget(sub_data_label_, line, 0);
  grid->addWidget(sub_data_, line, 1);
  grid->addWidget(sub_mask_label_, line, 2);
  grid->addWidget(sub_mask_, line++, 3);
  grid->addWidget(sub_hint_, line++, 1);
  grid->addWidget(from_sub_address_, line++, 0, 1, 4);

  read_ = NewCheckBox(tr("Read packet"), "read");
  write_for_read_ = NewCheckBox(tr("Include write packet \nfor read"),
                                "writeForRead");
  write_ = NewCheckBox(tr("Write packet"), "write");
  from_write_ = NewCheckBox(tr("Include from write detection to STOP condition"), "fromWrite");
  omit_write_for_read_ = NewCheckBox(tr("Exclude write packet for read"), "omitWriteForRead");
  grid->addWidget(read_, line, 0);
  grid->addWidget(write_for_read_, line++, 1, 1, 3);
  grid->addWidget(write_, line, 0);
  grid->addWidget(from_write_, line++, 1, 1, 3);
  grid->addWidget(omit_write_for_read_, line++, 1, 1, 3);
  return i2c_group_;
}

void DlgTransactionFilter::ShowFields(const orvane::FilterDialogFields& fields) {
  enabled_->setChecked(fields.enabled);
  range_->setChecked(fields.range_enabled);
  range_start_->setText(QString::fromStdString(fields.range_start));
  range_end_->setText(QString::fromStdString(fields.range_end));
  address_->setChecked(fields.address_enabled);
  ten_bit_->setChecked(fields.ten_bit);
  address_value_->setText(QString::fromStdString(fields.address));
  address_mask_->setText(QString::fromStdString(fields.address_mask));
  sub_address_->setChecked(fields.sub_address_enabled);
  sub_length_->setCurrentIndex(fields.sub_address_length >= 1 && fields.sub_address_length <= 4
                                   ? fields.sub_address_length - 1 : 0);
  sub_data_->setText(QString::fromStdString(fields.sub_address_data));
  sub_mask_->setText(QString::fromStdString(fields.sub_address_mask));
  read_->setChecked(fields.read);
  write_->setChecked(fields.write);
  from_sub_address_->setChecked(fields.from_sub_address);
  from_write_->setChecked(fields.from_write);
  write_for_read_->setChecked(fields.write_for_read);
  omit_write_for_read_->setChecked(fields.omit_write_for_read);
  changes_only_->setChecked(fields.changes_only);
}

orvane::FilterDialogFields DlgTransactionFilter::ReadFields() const {
  orvane::FilterDialogFields fields;
  fields.enabled = enabled_->isChecked();
  fields.range_enabled = range_->isChecked();
  fields.range_start = range_start_->text().toStdString();
  fields.range_end = range_end_->text().toStdString();
  fields.address_enabled = address_->isChecked();
  fields.ten_bit = ten_bit_->isChecked();
  fields.address = address_value_->text().toStdString();
  fields.address_mask = address_mask_->text().toStdString();
  fields.sub_address_enabled = sub_address_->isChecked();
  fields.sub_address_length = static_cast<uint8_t>(sub_length_->currentIndex() + 1);
  fields.sub_address_data = sub_data_->text().toStdString();
  fields.sub_address_mask = sub_mask_->text().toStdString();
  fields.read = read_->isChecked();
  fields.write = write_->isChecked();
  fields.from_sub_address = from_sub_address_->isChecked();
  fields.from_write = from_write_->isChecked();
  fields.write_for_read = write_for_read_->isChecked();
  fields.omit_write_for_read = omit_write_for_read_->isChecked();
  fields.changes_only = changes_only_->isChecked();
  return fields;
}

void DlgTransactionFilter::Render() {
  orvane::FilterDialogFields fields = ReadFields();
  const orvane::FilterDialogEnables e = orvane::FilterControlEnables(&fields, i2c_data_, forced_display_);
  // A checked "Sub-address filter" forces "Write packet" on.
  if (fields.write != write_->isChecked()) {
    const QSignalBlocker quiet(write_);
    write_->setChecked(fields.write);
  }
  const bool on = fields.enabled;
  const bool i2c_group = on && i2c_data_ && !forced_display_;
  range_->setEnabled(on);
  for (QWidget* w : {static_cast<QWidget*>(range_start_), static_cast<QWidget*>(range_end_),
                     static_cast<QWidget*>(range_start_label_), static_cast<QWidget*>(range_end_label_)}) {
    w->setEnabled(e.range_fields);
  }
  forced_group_->setEnabled(e.changes_only);
  changes_only_->setEnabled(e.changes_only);
  i2c_group_->setEnabled(i2c_group);
  address_->setEnabled(i2c_group);
  sub_address_->setEnabled(i2c_group);
  for (QWidget* w : {static_cast<QWidget*>(ten_bit_), static_cast<QWidget*>(address_value_),
                     static_cast<QWidget*>(address_mask_), static_cast<QWidget*>(address_value_label_),
                     static_cast<QWidget*>(address_mask_label_)}) {
    w->setEnabled(e.address_fields);
  }
  for (QWidget* w : {static_cast<QWidget*>(sub_length_), static_cast<QWidget*>(sub_data_),
                     static_cast<QWidget*>(sub_mask_), static_cast<QWidget*>(sub_length_label_),
                     static_cast<QWidget*>(sub_data_label_), static_cast<QWidget*>(sub_mask_label_),
                     static_cast<QWidget*>(sub_hint_), static_cast<QWidget*>(from_sub_address_)}) {
    w->setEnabled(e.sub_address_fields);
  }
  read_->setEnabled(e.read);
  write_->setEnabled(e.write);
  write_for_read_->setEnabled(e.write_for_read);
  from_write_->setEnabled(e.from_write);
  omit_write_for_read_->setEnabled(e.omit_write_for_read);
}

void DlgTransactionFilter::accept() {
  const orvane::FilterDialogFields fields = ReadFields();
  orvane::SettingsRecord probe{};
  if (const auto message = orvane::ApplyFilterDialog(fields, &probe)) {
    sink_.Show(*message);
    return;
  }
  fields_ = fields;
  QDialog::accept();
}

void DlgTransactionFilter::Apply(orvane::SettingsRecord* settings) const {
  orvane::ApplyFilterDialog(fields_, settings);
}
