#include "Orvane/ui/dialogs/dlg_search_data.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "Orvane/ui/dialogs/dialog_widgets.h"

DlgSearchData::DlgSearchData(const orvane::SearchMemory& memory, velix::platform::InteractionSink& sink,
                             QWidget* parent)
    : DlgSearchBase(sink, parent), fields_(orvane::DataSearchFieldsFromMemory(memory)) {
  setWindowTitle(tr("Data Search"));
  length_ = new QComboBox;
  for (int length = 1; length <= orvane::kDataSearchMaxLength; ++length) length_->addItem(QString::number(length));
  const QString length_text = tr("Data length for search");
  NameControl(length_, "length", length_text);
  auto* length_label = new QLabel(length_text);
  length_label->setBuddy(length_);

  const QString pattern_text = tr("Search data pattern");
  pattern_ = new QLineEdit;
  NameControl(pattern_, "pattern", pattern_text);
  auto* pattern_label = new QLabel(pattern_text);
  pattern_label->setBuddy(pattern_);
  // The hint marks the position of each byte of a pattern typed as
  // "AA:BB:...": both need the same fixed-pitch font.
  auto* hint = new QLabel(QStringLiteral(":+0:+1:+2:+3:+4:+5:+6:+7"));
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  pattern_->setFont(fixed);
  hint->setFont(fixed);

  auto* grid = new QGridLayout;
  grid->addWidget(length_label, 0, 0);
  grid->addWidget(length_, 0, 1);
  grid->addWidget(pattern_label, 1, 0);
  grid->addWidget(pattern_, 1, 1);
  grid->addWidget(hint, 2, 1);
  SetBody(grid);

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
