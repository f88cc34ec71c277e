#pragma once
// "I2C Settings": the timing limits of both columns, their presets, and the
// two I2C check boxes. OK checks the limits (a message, and the dialog stays
// open) and keeps them; Apply() writes them into a settings record.

#include <QDialog>

#include <array>
#include <functional>
#include <vector>

#include "Orvane/capture/settings_record.h"
#include "Orvane/decode/dialog_values.h"
#include "platform/interaction.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class DlgI2CSetting : public QDialog {
  Q_OBJECT

 public:
  // `timing_fields_enabled`: the loaded data are not monitor-mode data (no
  // document open, or an analyzer capture); otherwise only the check boxes
  // can change.
  DlgI2CSetting(const orvane::SettingsRecord& settings, bool timing_fields_enabled,
                velix::platform::InteractionSink& sink, QWidget* parent = nullptr);

  // "TRGOUT Setting" opens the trigger output settings through this; left
  // empty, the button is disabled.
  void SetTrgoutHook(std::function<void()> hook);

  // After accept(): writes the accepted entries into `settings`. True when
  // the capture must be decoded again for the new limits to take effect.
  bool Apply(orvane::SettingsRecord* settings) const;

  void accept() override;

 private:
  void BuildControls();
  void ShowFields(const orvane::I2CSettingsFields& fields);
  orvane::I2CSettingsFields ReadFields() const;
  void AskPreset(orvane::TimingPreset preset);
  void Render();

  bool timing_fields_enabled_;
  velix::platform::InteractionSink& sink_;
  orvane::I2CSettingsFields fields_;
  std::function<void()> trgout_hook_;

  std::array<QLineEdit*, orvane::kTimingRows> standard_{};
  std::array<QLineEdit*, orvane::kTimingRows> hs_{};  // no tBUF field
  std::vector<QWidget*> timing_controls_;
  std::vector<QWidget*> hs_controls_;
  QCheckBox* hs_enable_ = nullptr;
  QCheckBox* ignore_nack_ = nullptr;
  QPushButton* trgout_ = nullptr;
};
