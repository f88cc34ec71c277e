#include "Orvane/ui/dialogs/dlg_search_sub_address.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "Orvane/ui/dialogs/dialog_widgets.h"

DlgSearchSubAddress::DlgSearchSubAddress(const orvane::SearchMemory& memory,
                                         velix::platform::InteractionSink& sink, QWidget* parent)
    : DlgSearchBase(sink, parent), fields_(orvane::SubAddressSearchFieldsFromMemory(memory)) {
  setWindowTitle(tr("I2C Sub address Search"));
  length_ = new QComboBox;
  for (int length = 1; length <= orvane::kSubAddressSearchMaxLength; ++length) {
    length_->addItem(QString::number(length));
  }
  const QString length_text = tr("Sub address length for search(Byte)");
  NameControl(length_, "length", length_text);
  auto* length_label = new QLabel(length_text);
  length_label->setBuddy(length_);

  const QString data_text = tr("Sub address");
  data_ = new QLineEdit;
  NameControl(data_, "data", data_text);
  auto* data_label = new QLabel(data_text);
  data_label->setBuddy(data_);
  // Byte positions line up with the hint only in a fixed-pitch font.
  auto* hint = new QLabel(QStringLiteral(":+0:+1:+2:+3"));
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  data_->setFont(fixed);
  hint->setFont(fixed);

  auto* grid = new QGridLayout;
  grid->addWidget(length_label, 0, 0);
  grid->addWidget(length_, 0, 1);
  grid->addWidget(data_label, 1, 0);
  grid->addWidget(data_, 1, 1);
  grid->addWidget(hint, 2, 1);
  SetBody(grid);

  length_->setCurrentIndex(fields_.length - 1);
  data_->setText(QString::fromStdString(fields_.data));
  data_->setFocus();
}

std::optional<std::string> DlgSearchSubAddress::Keep() {
  fields_ = {static_cast<uint8_t>(length_->currentIndex() + 1), data_->text().toStdString()};
  return std::nullopt;
}

void DlgSearchSubAddress::Store(orvane::SearchMemory* memory) const {
  orvane::StoreSubAddressSearchFields(fields_, memory);
}
