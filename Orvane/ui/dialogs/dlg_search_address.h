#pragma once
// "I2C address search": the next listed I2C transaction with exactly this
// address.

#include "Orvane/ui/dialogs/dlg_search_base.h"
#include "Orvane/ui/dialogs/search_dialog_model.h"

class QCheckBox;
class QLineEdit;

class DlgSearchAddress : public DlgSearchBase {
  Q_OBJECT

 public:
  DlgSearchAddress(const orvane::SearchMemory& memory, velix::platform::InteractionSink& sink,
                   QWidget* parent = nullptr);
  // After accept(): the entries become the remembered search.
  void Store(orvane::SearchMemory* memory) const;

 protected:
  // "I2C address error" for an unreadable value or one beyond 10 bits.
  std::optional<std::string> Keep() override;

 private:
  orvane::AddressSearchFields ReadFields() const;

  orvane::SearchMemory kept_;
  QLineEdit* address_ = nullptr;
  QCheckBox* ten_bit_ = nullptr;
  QCheckBox* read_ = nullptr;
  QCheckBox* write_ = nullptr;
};
