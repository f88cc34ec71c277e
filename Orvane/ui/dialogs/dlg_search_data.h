#pragma once
// "Data Search": up to eight bytes searched for anywhere in the listed
// transactions' data, from the selected row on.

#include "Orvane/ui/dialogs/dlg_search_base.h"
#include "Orvane/ui/dialogs/search_dialog_model.h"

class QComboBox;
class QLineEdit;

class DlgSearchData : public DlgSearchBase {
  Q_OBJECT

 public:
  DlgSearchData(const orvane::SearchMemory& memory, velix::platform::InteractionSink& sink,
                QWidget* parent = nullptr);
  // After accept(): the entries become the remembered search.
  void Store(orvane::SearchMemory* memory) const;

 protected:
  std::optional<std::string> Keep() override;

 private:
  orvane::DataSearchFields ReadFields() const;

  orvane::DataSearchFields fields_;
  QComboBox* length_ = nullptr;
  QLineEdit* pattern_ = nullptr;
};
