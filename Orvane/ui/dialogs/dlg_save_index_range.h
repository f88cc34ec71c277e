#pragma once
// The settings of the text export: the caption and the description the
// command gives, and whether only each transaction's header or all its data
// is written. It always covers every row the list shows.

#include <QDialog>

#include "Orvane/decode/export_text.h"

class QRadioButton;

class DlgSaveIndexRange : public QDialog {
  Q_OBJECT

 public:
  // An empty caption keeps the dialog's own title.
  explicit DlgSaveIndexRange(const orvane::SaveIndexRangeDialog& values, QWidget* parent = nullptr);

  // After accept(): the values with the choice made.
  const orvane::SaveIndexRangeDialog& Values() const { return values_; }

  void accept() override;

 private:
  orvane::SaveIndexRangeDialog values_;
  QRadioButton* header_only_ = nullptr;
  QRadioButton* all_data_ = nullptr;
};
