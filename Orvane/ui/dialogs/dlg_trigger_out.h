#pragma once
// "TRGOUT settings (I2C Monitor mode only)": the I2C address, sub-address and
// NACK match on which the device drives its trigger output line. OK checks
// the address (a message, and the dialog stays open); Apply() writes the
// accepted fields into a settings record.

#include <QDialog>

#include <vector>

#include "Orvane/capture/settings_record.h"
#include "Orvane/ui/dialogs/trigger_line_models.h"
#include "platform/interaction.h"

class HexRowEdit;
class QCheckBox;
class QComboBox;
class QLineEdit;

class DlgTriggerOut : public QDialog {
  Q_OBJECT

 public:
  DlgTriggerOut(const orvane::SettingsRecord& settings, velix::platform::InteractionSink& sink,
                QWidget* parent = nullptr);

  // After accept(): writes the accepted fields into `settings`.
  void Apply(orvane::SettingsRecord* settings) const;

  void accept() override;

 private:
  void BuildControls();
  orvane::TrgOutFields ReadFields() const;
  void Render();

  velix::platform::InteractionSink& sink_;
  orvane::TrgOutFields fields_;

  QCheckBox* enable_ = nullptr;
  QCheckBox* address_enable_ = nullptr;
  QLineEdit* address_ = nullptr;
  QCheckBox* ten_bit_ = nullptr;
  std::vector<QWidget*> address_controls_;
  QCheckBox* sub_enable_ = nullptr;
  QComboBox* sub_length_ = nullptr;
  HexRowEdit* sub_ = nullptr;
  std::vector<QWidget*> sub_controls_;
  QCheckBox* nack_ = nullptr;
};
