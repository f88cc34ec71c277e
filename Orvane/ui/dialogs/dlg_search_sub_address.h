#pragma once
// "I2C Sub address Search": the next listed I2C transaction whose first
// data bytes after the address are these.

#include "Orvane/ui/dialogs/dlg_search_base.h"
#include "Orvane/ui/dialogs/search_dialog_model.h"

class QComboBox;
class QLineEdit;

class DlgSearchSubAddress : public DlgSearchBase {
  Q_OBJECT

 public:
  DlgSearchSubAddress(const orvane::SearchMemory& memory, velix::platform::InteractionSink& sink,
                      QWidget* parent = nullptr);
  // After accept(): the entries become the remembered search.
  void Store(orvane::SearchMemory* memory) const;

 protected:
  std::optional<std::string> Keep() override;

 private:
  orvane::SubAddressSearchFields fields_;
  QComboBox* length_ = nullptr;
  QLineEdit* data_ = nullptr;
};
