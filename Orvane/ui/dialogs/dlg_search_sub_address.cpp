#include "Orvane/ui/dialogs/dlg_search_sub_address.h"

#include <QComboBox>
#include <QLineEdit>

DlgSearchSubAddress::DlgSearchSubAddress(const orvane::SearchMemory& memory,
                                         velix::platform::InteractionSink& sink, QWidget* parent)
    : DlgSearchBase(sink, parent), fields_(orvane::SubAddressSearchFieldsFromMemory(memory)) {
  setWindowTitle(tr("I2C Sub address Search"));
  const PatternControls controls =
      SetPatternBody(orvane::kSubAddressSearchMaxLength, tr("Sub address length for search(Byte)"), "data",
                     tr("Sub address"), QStringLiteral(":+0:+1:+2:+3"));
  length_ = controls.length;
  data_ = controls.pattern;

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
