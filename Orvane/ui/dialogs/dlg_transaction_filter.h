#pragma once
// "Transaction Filter": which transactions the list shows. The controls
// follow their check boxes on every change; OK checks the numbers (a
// message, and the dialog stays open) and keeps the entries; Apply() writes
// them into a settings record.

#include <QDialog>

#include <cstdint>

#include "Orvane/capture/settings_record.h"
#include "Orvane/decode/dialog_values.h"
#include "platform/interaction.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

class DlgTransactionFilter : public QDialog {
  Q_OBJECT

 public:
  // `transaction_counter`: the transactions of the loaded capture (an end
  // number of 0 shows as the last of them). `i2c_data` and
  // `forced_display` decide which groups apply to the capture.
  DlgTransactionFilter(const orvane::SettingsRecord& settings, uint32_t transaction_counter,
                       bool i2c_data, bool forced_display, velix::platform::InteractionSink& sink,
                       QWidget* parent = nullptr);

  // After accept(): writes the accepted entries into `settings`.
  void Apply(orvane::SettingsRecord* settings) const;

  void accept() override;

 private:
  void BuildControls();
  QWidget* BuildI2cGroup();
  void ShowFields(const orvane::FilterDialogFields& fields);
  orvane::FilterDialogFields ReadFields() const;
  void Render();

  bool i2c_data_;
  bool forced_display_;
  velix::platform::InteractionSink& sink_;
  orvane::FilterDialogFields fields_;

  QCheckBox* enabled_ = nullptr;
  QCheckBox* range_ = nullptr;
  QLineEdit* range_start_ = nullptr;
  QLineEdit* range_end_ = nullptr;
  QLabel* range_start_label_ = nullptr;
  QLabel* range_end_label_ = nullptr;
  QGroupBox* forced_group_ = nullptr;
  QCheckBox* changes_only_ = nullptr;
  QGroupBox* i2c_group_ = nullptr;
  QCheckBox* address_ = nullptr;
  QCheckBox* ten_bit_ = nullptr;
  QLineEdit* address_value_ = nullptr;
  QLineEdit* address_mask_ = nullptr;
  QLabel* address_value_label_ = nullptr;
  QLabel* address_mask_label_ = nullptr;
  QCheckBox* sub_address_ = nullptr;
  QComboBox* sub_length_ = nullptr;
  QLineEdit* sub_data_ = nullptr;
  QLineEdit* sub_mask_ = nullptr;
  QLabel* sub_length_label_ = nullptr;
  QLabel* sub_data_label_ = nullptr;
  QLabel* sub_mask_label_ = nullptr;
  QLabel* sub_hint_ = nullptr;
  QCheckBox* from_sub_address_ = nullptr;
  QCheckBox* read_ = nullptr;
  QCheckBox* write_ = nullptr;
  QCheckBox* write_for_read_ = nullptr;
  QCheckBox* from_write_ = nullptr;
  QCheckBox* omit_write_for_read_ = nullptr;
};
