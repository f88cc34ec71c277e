#include "Orvane/ui/dialogs/dlg_search_address.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "Orvane/ui/dialogs/dialog_widgets.h"

namespace {

QCheckBox* NewCheckBox(const QString& text, const char* name, bool checked) {
  auto* box = new QCheckBox(text);
  NameControl(box, name, text);
  box->setChecked(checked);
  return box;
}

}  // namespace

DlgSearchAddress::DlgSearchAddress(const orvane::SearchMemory& memory, velix::platform::InteractionSink& sink,
                                   QWidget* parent)
    : DlgSearchBase(sink, parent), kept_(memory) {
  setWindowTitle(tr("I2C address search"));
  const orvane::AddressSearchFields fields = orvane::AddressSearchFieldsFromMemory(memory);
  const QString address_text = tr("I2C address");
  address_ = new QLineEdit(QString::fromStdString(fields.address));
  NameControl(address_, "address", address_text);
  auto* address_label = new QLabel(address_text);
  address_label->setBuddy(address_);
  ten_bit_ = NewCheckBox(tr("10bit ADRS mode"), "tenBit", fields.ten_bit);
  read_ = NewCheckBox(tr("Read packet"), "read", fields.read);
  write_ = NewCheckBox(tr("Write packet"), "write", fields.write);

  auto* grid = new QGridLayout;
  grid->addWidget(address_label, 0, 0);
  grid->addWidget(address_, 0, 1);
  grid->addWidget(ten_bit_, 1, 1);
  grid->addWidget(read_, 2, 1);
  grid->addWidget(write_, 3, 1);
  SetBody(grid);
  address_->setFocus();
}

orvane::AddressSearchFields DlgSearchAddress::ReadFields() const {
  return {address_->text().toStdString(), ten_bit_->isChecked(), read_->isChecked(), write_->isChecked()};
}

std::optional<std::string> DlgSearchAddress::Keep() {
  return orvane::StoreAddressSearchFields(ReadFields(), &kept_);
}

void DlgSearchAddress::Store(orvane::SearchMemory* memory) const {
  memory->address = kept_.address;
  memory->address_10bit = kept_.address_10bit;
  memory->address_read = kept_.address_read;
  memory->address_write = kept_.address_write;
}
