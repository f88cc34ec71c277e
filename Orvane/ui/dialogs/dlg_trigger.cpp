#include "Orvane/ui/dialogs/dlg_trigger.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "Orvane/ui/dialogs/dialog_widgets.h"
#include "Orvane/ui/dialogs/hex_row_edit.h"
#include "Orvane/ui/dialogs/size_spin_box.h"

namespace {

constexpr const char* kConditionItems[] = {
    QT_TRANSLATE_NOOP("DlgTrigger", "== (equal)"),
    QT_TRANSLATE_NOOP("DlgTrigger", "!= (not equal)"),
};
constexpr const char* kOpItems[] = {
    QT_TRANSLATE_NOOP("DlgTrigger", "OR"),
    QT_TRANSLATE_NOOP("DlgTrigger", "AND"),
};
static_assert(SameTexts(kConditionItems, orvane::kTriggerConditionLabels));
static_assert(SameTexts(kOpItems, orvane::kTriggerOpLabels));

constexpr const char* kContext = "DlgTrigger";

// A list of the lengths 1..`count`, showing `length`.
QComboBox* NewLengthBox(const char* name, int count, int length) {
  auto* combo = new QComboBox;
  combo->setObjectName(QString::fromLatin1(name));
  for (int n = 1; n <= count; ++n) combo->addItem(QString::number(n));
  combo->setCurrentIndex(length - 1);
  return combo;
}

QLabel* NewHeader(const char* text) {
  auto* header = new QLabel(QString::fromLatin1(text));
  header->setFont(HexRowEdit::RowFont());
  // Lined up with the row's first character, inside its frame.
  header->setContentsMargins(5, 0, 0, 0);
  return header;
}

// A hex row with its label; the row takes the label text as its name.
HexRowEdit* NewHexRow(size_t bytes, const char* name, const QString& label_text, QGridLayout* grid, int row,
                      std::vector<QWidget*>* group) {
  auto* label = new QLabel(label_text);
  auto* edit = new HexRowEdit(bytes);
  NameControl(edit, name, label_text);
  label->setBuddy(edit);
  grid->addWidget(label, row, 0);
  grid->addWidget(edit, row, 1, 1, 2);
  group->insert(group->end(), {label, edit});
  return edit;
}

}  // namespace

DlgTrigger::DlgTrigger(const orvane::SettingsRecord& settings, const orvane::TriggerContext& context,
                       velix::platform::InteractionSink& sink, QWidget* parent)
    : QDialog(parent), context_(context), sink_(sink), fields_(orvane::TriggerFieldsFromSettings(settings)) {
  BuildControls();
  ShowFields();
  Render();
}

void DlgTrigger::BuildControls() {
  setWindowTitle(tr("Trigger Settings (Monitor mode only)"));
  enable_ = new QCheckBox(tr("Enable trigger (Monitor mode only)"));
  NameControl(enable_, "triggerEnable", enable_->text());

  position_label_ = new QLabel(tr("Trigger position (%)"));
  const auto refused = [this](const std::string& message) { sink_.Show(message); };
  position_ = new SizeSpinBox(0, static_cast<int>(orvane::kTriggerPositionMax), orvane::CheckTriggerPosition,
                              refused);
  NameControl(position_, "position", position_label_->text());
  position_label_->setBuddy(position_);
  position_slider_ = new QSlider(Qt::Horizontal);
  NameControl(position_slider_, "positionSlider", position_label_->text());
  position_slider_->setRange(0, static_cast<int>(orvane::kTriggerPositionMax));
  auto* position_row = new QHBoxLayout;
  position_row->addWidget(position_label_);
  position_row->addWidget(position_);
  position_row->addWidget(position_slider_, 1);

  nack_ = new QCheckBox(
      tr("NACK detection\n ( Whether NACK before a STOP is included or not depends on I2C settings.)"));
  NameControl(nack_, "nackDetect", nack_->text());

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ok"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(enable_);
  layout->addLayout(position_row);
  layout->addWidget(BuildDataPattern());
  layout->addWidget(BuildI2COnly());
  layout->addWidget(nack_);
  layout->addWidget(BuildCombination());
  layout->addWidget(buttons);

  for (QCheckBox* box : {enable_, data_enable_, address_enable_, sub_enable_, nack_}) {
    connect(box, &QCheckBox::toggled, this, [this] { Render(); });
  }
  // The box and the slider show one value: each follows the other.
  connect(position_, &QSpinBox::valueChanged, position_slider_, &QSlider::setValue);
  connect(position_slider_, &QSlider::valueChanged, position_, &QSpinBox::setValue);
  connect(data_length_, &QComboBox::currentIndexChanged, this,
          [this](int index) { for (HexRowEdit* row : {data_, data_mask_}) row->SetActiveLength(index + 1); });
  connect(sub_length_, &QComboBox::currentIndexChanged, this,
          [this](int index) { for (HexRowEdit* row : {sub_, sub_mask_}) row->SetActiveLength(index + 1); });
  connect(buttons, &QDialogButtonBox::accepted, this, &DlgTrigger::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &DlgTrigger::reject);
}

QWidget* DlgTrigger::BuildDataPattern() {
  auto* panel = new QWidget;
  auto* grid = new QGridLayout(panel);
  grid->setContentsMargins(0, 0, 0, 0);
  data_enable_ = new QCheckBox(tr("Data pattern enable"));
  NameControl(data_enable_, "dataEnable", data_enable_->text());
  data_length_ = NewLengthBox("dataLength", static_cast<int>(orvane::kDataRowBytes), fields_.data_length);
  QLabel* length_label = new QLabel(tr("Data length (Byte)"));
  length_label->setBuddy(data_length_);
  data_length_->setAccessibleName(AccessibleText(length_label->text()));
  grid->addWidget(data_enable_, 0, 0);
  grid->addWidget(length_label, 0, 1);
  grid->addWidget(data_length_, 0, 2);
  grid->addWidget(NewHeader(":+0:+1:+2:+3:+4:+5:+6:+7"), 1, 1, 1, 2);
  data_controls_ = {length_label, data_length_};
  data_ = NewHexRow(orvane::kDataRowBytes, "dataPattern", tr("Data pattern"), grid, 2, &data_controls_);
  data_mask_ = NewHexRow(orvane::kDataRowBytes, "dataMask", tr("Mask pattern"), grid, 3, &data_controls_);
  data_->SetNeighbours(nullptr, data_mask_);
  data_mask_->SetNeighbours(data_, nullptr);
  return panel;
}

QWidget* DlgTrigger::BuildI2COnly() {
  auto* group = new QGroupBox(tr("I2C only"));
  i2c_group_ = group;
  auto* grid = new QGridLayout(group);

  address_enable_ = new QCheckBox(tr("enable I2C address"));
  NameControl(address_enable_, "addressEnable", address_enable_->text());
  grid->addWidget(address_enable_, 0, 0, 1, 3);
  const auto add_field = [&](const QString& text, const char* name, int row) {
    auto* label = new QLabel(text);
    auto* edit = new QLineEdit;
    NameControl(edit, name, text);
    label->setBuddy(edit);
    grid->addWidget(label, row, 0);
    grid->addWidget(edit, row, 1);
    address_controls_.insert(address_controls_.end(), {label, edit});
    return edit;
  };
  address_ = add_field(tr("I2C address\n value"), "address", 1);
  address_mask_ = add_field(tr("Mask value"), "addressMask", 2);
  ten_bit_ = new QCheckBox(tr("10bit address mode"));
  NameControl(ten_bit_, "tenBit", ten_bit_->text());
  ten_bit_->setToolTip(
      tr("I2C address is treated as 10-bit address mode. (Uncheck the box to treat as 7-bit address mode.)"));
  grid->addWidget(ten_bit_, 1, 2);
  auto* condition_label = new QLabel(tr("Condition"));
  address_condition_ = NewComboBox("addressCondition", kContext, kConditionItems, fields_.address_condition);
  address_condition_->setAccessibleName(AccessibleText(address_enable_->text() + QLatin1Char(' ') +
                                                       condition_label->text()));
  condition_label->setBuddy(address_condition_);
  grid->addWidget(condition_label, 2, 2);
  grid->addWidget(address_condition_, 2, 3);
  address_controls_.insert(address_controls_.end(), {ten_bit_, condition_label, address_condition_});

  sub_enable_ = new QCheckBox(tr("enable I2C sub address"));
  NameControl(sub_enable_, "subAddressEnable", sub_enable_->text());
  grid->addWidget(sub_enable_, 3, 0, 1, 3);
  auto* length_label = new QLabel(tr("Sub-address length (Byte)"));
  sub_length_ = NewLengthBox("subAddressLength", static_cast<int>(orvane::kSubAddressRowBytes),
                             fields_.sub_address_length);
  sub_length_->setAccessibleName(AccessibleText(length_label->text()));
  length_label->setBuddy(sub_length_);
  grid->addWidget(length_label, 4, 0);
  grid->addWidget(sub_length_, 4, 1);
  grid->addWidget(NewHeader(":+0:+1:+2:+3"), 5, 1, 1, 2);
  sub_controls_ = {length_label, sub_length_};
  sub_ = NewHexRow(orvane::kSubAddressRowBytes, "subAddressData", tr("Sub-address data"), grid, 6, &sub_controls_);
  sub_mask_ = NewHexRow(orvane::kSubAddressRowBytes, "subAddressMask", tr("Mask"), grid, 7, &sub_controls_);
  sub_->SetNeighbours(nullptr, sub_mask_);
  sub_mask_->SetNeighbours(sub_, nullptr);
  auto* sub_condition_label = new QLabel(tr("Condition"));
  sub_condition_ = NewComboBox("subAddressCondition", kContext, kConditionItems, fields_.sub_address_condition);
  sub_condition_->setAccessibleName(AccessibleText(sub_enable_->text() + QLatin1Char(' ') +
                                                   sub_condition_label->text()));
  sub_condition_label->setBuddy(sub_condition_);
  grid->addWidget(sub_condition_label, 7, 2);
  grid->addWidget(sub_condition_, 7, 3);
  sub_controls_.insert(sub_controls_.end(), {sub_condition_label, sub_condition_});
  return group;
}

QWidget* DlgTrigger::BuildCombination() {
  auto* group = new QGroupBox(tr("Combination of trigger conditions (I2C only)"));
  combination_ = group;
  auto* line = new QHBoxLayout(group);
  const auto add_op = [&](QLabel* caption, const char* name, uint8_t value) {
    QComboBox* op = NewComboBox(name, kContext, kOpItems, value);
    op->setAccessibleName(AccessibleText(caption->text()) + QLatin1Char(' ') + tr("operator"));
    line->addWidget(caption);
    line->addWidget(op);
    return op;
  };
  nack_caption_ = new QLabel(tr("NACK detection"));
  data_caption_ = new QLabel(tr("{  Data pattern"));
  address_caption_ = new QLabel(tr("( I2C address"));
  sub_caption_ = new QLabel(tr("Sub-address )  }"));
  nack_op_ = add_op(nack_caption_, "nackOp", fields_.nack_op);
  data_op_ = add_op(data_caption_, "dataOp", fields_.data_op);
  address_op_ = add_op(address_caption_, "addressOp", fields_.address_op);
  line->addWidget(sub_caption_);
  line->addStretch();
  return group;
}

void DlgTrigger::ShowFields() {
  enable_->setChecked(fields_.enabled);
  position_->setValue(fields_.position);
  position_slider_->setValue(fields_.position);
  data_enable_->setChecked(fields_.data_enabled);
  data_->SetBytes(fields_.data.data());
  data_mask_->SetBytes(fields_.data_mask.data());
  for (HexRowEdit* row : {data_, data_mask_}) row->SetActiveLength(fields_.data_length);
  address_enable_->setChecked(fields_.address_enabled);
  address_->setText(QString::fromStdString(fields_.address));
  address_mask_->setText(QString::fromStdString(fields_.address_mask));
  ten_bit_->setChecked(fields_.ten_bit);
  sub_enable_->setChecked(fields_.sub_address_enabled);
  sub_->SetBytes(fields_.sub_address.data());
  sub_mask_->SetBytes(fields_.sub_address_mask.data());
  for (HexRowEdit* row : {sub_, sub_mask_}) row->SetActiveLength(fields_.sub_address_length);
  nack_->setChecked(fields_.nack);
}

orvane::TriggerFields DlgTrigger::ReadFields() const {
  orvane::TriggerFields f = fields_;
  f.enabled = enable_->isChecked();
  f.position = static_cast<uint16_t>(position_->value());
  f.data_enabled = data_enable_->isChecked();
  f.data_length = static_cast<uint8_t>(data_length_->currentIndex() + 1);
  orvane::StoreHexRow(data_->Text(), f.data.data(), f.data.size());
  orvane::StoreHexRow(data_mask_->Text(), f.data_mask.data(), f.data_mask.size());
  f.address_enabled = address_enable_->isChecked();
  f.address = address_->text().toStdString();
  f.address_mask = address_mask_->text().toStdString();
  f.ten_bit = ten_bit_->isChecked();
  f.address_condition = static_cast<uint8_t>(address_condition_->currentIndex());
  f.sub_address_enabled = sub_enable_->isChecked();
  f.sub_address_length = static_cast<uint8_t>(sub_length_->currentIndex() + 1);
  orvane::StoreHexRow(sub_->Text(), f.sub_address.data(), f.sub_address.size());
  orvane::StoreHexRow(sub_mask_->Text(), f.sub_address_mask.data(), f.sub_address_mask.size());
  f.sub_address_condition = static_cast<uint8_t>(sub_condition_->currentIndex());
  f.nack = nack_->isChecked();
  f.nack_op = static_cast<uint8_t>(nack_op_->currentIndex());
  f.data_op = static_cast<uint8_t>(data_op_->currentIndex());
  f.address_op = static_cast<uint8_t>(address_op_->currentIndex());
  return f;
}

void DlgTrigger::Render() {
  const orvane::TriggerEnables e = orvane::TriggerControlEnables(ReadFields(), context_);
  for (QWidget* control : {static_cast<QWidget*>(position_label_), static_cast<QWidget*>(position_),
                           static_cast<QWidget*>(position_slider_)}) {
    control->setEnabled(e.position);
  }
  data_enable_->setEnabled(e.data_check);
  for (QWidget* control : data_controls_) control->setEnabled(e.data_fields);
  i2c_group_->setEnabled(e.i2c_part);
  nack_->setEnabled(e.i2c_part);
  combination_->setEnabled(e.i2c_part);
  for (QWidget* control : address_controls_) control->setEnabled(e.address_fields);
  for (QWidget* control : sub_controls_) control->setEnabled(e.sub_address_fields);
  nack_op_->setEnabled(e.nack_op);
  data_op_->setEnabled(e.data_op);
  address_op_->setEnabled(e.address_op);
  nack_caption_->setEnabled(e.nack_caption);
  data_caption_->setEnabled(e.data_caption);
  address_caption_->setEnabled(e.address_caption);
  sub_caption_->setEnabled(e.sub_address_caption);
}

void DlgTrigger::accept() {
  // A position still being typed counts as typed.
  if (!position_->CommitEntry()) return;
  const orvane::TriggerFields fields = ReadFields();
  // The checks only: the record itself is written by Apply().
  orvane::SettingsRecord scratch = orvane::DefaultSettingsRecord();
  if (const auto message = orvane::ApplyTriggerDialog(fields, context_, &scratch)) {
    sink_.Show(*message);
    return;
  }
  fields_ = fields;
  QDialog::accept();
}

void DlgTrigger::Apply(orvane::SettingsRecord* settings) const {
  orvane::ApplyTriggerDialog(fields_, context_, settings);
}
