#pragma once
// "Trigger Settings (Monitor mode only)": the software trigger's conditions,
// their combination and the trigger position. The rules live in
// trigger_setting_model.h; this shows them and forwards what the user does.
// OK checks the address entries (a message, and the dialog stays open);
// Apply() writes the accepted fields into a settings record.

#include <QDialog>

#include <vector>

#include "Orvane/capture/settings_record.h"
#include "Orvane/ui/dialogs/trigger_setting_model.h"
#include "platform/interaction.h"

class HexRowEdit;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSlider;
class SizeSpinBox;

class DlgTrigger : public QDialog {
  Q_OBJECT

 public:
  DlgTrigger(const orvane::SettingsRecord& settings, const orvane::TriggerContext& context,
             velix::platform::InteractionSink& sink, QWidget* parent = nullptr);

  // After accept(): writes the accepted fields into `settings`.
  void Apply(orvane::SettingsRecord* settings) const;

  void accept() override;

 private:
  void BuildControls();
  QWidget* BuildDataPattern();
  QWidget* BuildI2COnly();
  QWidget* BuildCombination();
  void ShowFields();
  orvane::TriggerFields ReadFields() const;
  void Render();

  orvane::TriggerContext context_;
  velix::platform::InteractionSink& sink_;
  orvane::TriggerFields fields_;

  QCheckBox* enable_ = nullptr;
  SizeSpinBox* position_ = nullptr;
  QSlider* position_slider_ = nullptr;
  QLabel* position_label_ = nullptr;
  QCheckBox* data_enable_ = nullptr;
  QComboBox* data_length_ = nullptr;
  HexRowEdit* data_ = nullptr;
  HexRowEdit* data_mask_ = nullptr;
  std::vector<QWidget*> data_controls_;
  QWidget* i2c_group_ = nullptr;
  QCheckBox* address_enable_ = nullptr;
  QLineEdit* address_ = nullptr;
  QLineEdit* address_mask_ = nullptr;
  QCheckBox* ten_bit_ = nullptr;
  QComboBox* address_condition_ = nullptr;
  std::vector<QWidget*> address_controls_;
  QCheckBox* sub_enable_ = nullptr;
  QComboBox* sub_length_ = nullptr;
  HexRowEdit* sub_ = nullptr;
  HexRowEdit* sub_mask_ = nullptr;
  QComboBox* sub_condition_ = nullptr;
  std::vector<QWidget*> sub_controls_;
  QCheckBox* nack_ = nullptr;
  QWidget* combination_ = nullptr;
  QComboBox* nack_op_ = nullptr;
  QComboBox* data_op_ = nullptr;
  QComboBox* address_op_ = nullptr;
  QLabel* nack_caption_ = nullptr;
  QLabel* data_caption_ = nullptr;
  QLabel* address_caption_ = nullptr;
  QLabel* sub_caption_ = nullptr;
};
