#include "Orvane/ui/dialogs/dlg_search_data.h"

#include <QComboBox>
#include <QLineEdit>

DlgSearchData::DlgSearchData(const orvane::SearchMemory& memory, velix::platform::InteractionSink& sink,
                             QWidget* parent)
    : DlgSearchBase(sink, parent), fields_(orvane::DataSearchFieldsFromMemory(memory)) {
  setWindowTitle(tr("Data Search"));
  const PatternControls controls =
      SetPatternBody(orvane::kDataSearchMaxLength, tr("Data length for search"), "pattern",
                     tr("Search data pattern"), QStringLiteral(":+0:+1:+2:+3:+4:+5:+6:+7"));
  length_ = controls.length;
  pattern_ = controls.pattern;

  length_->setCurrentIndex(fields_.length - 1);
  pattern_->setText(QString::fromStdString(fields_.pattern));
  pattern_->setFocus();
}

orvane::DataSearchFields DlgSearchData::ReadFields() const {
  return {static_cast<uint8_t>(length_->currentIndex() + 1), pattern_->text().toStdString()};
}

std::optional<std::string> DlgSearchData::Keep() {
  fields_ = ReadFields();
  return std::nullopt;
}

void DlgSearchData::Store(orvane::SearchMemory* memory) const { orvane::StoreDataSearchFields(fields_, memory); }
