#pragma once
// "Other setting": target power, noise filter and memory locking. The power
// controls follow what the device said about the target's power; the
// warning before powering a powered target comes from the core through the
// sink.

#include <QDialog>

#include "Orvane/capture/general_settings.h"
#include "platform/interaction.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;

class DlgGeneral : public QDialog {
  Q_OBJECT

 public:
  // `sampling_file_name` is shown read-only as the temporary file path.
  DlgGeneral(const orvane::GeneralSettingsValues& values, const orvane::PowerSense& sense,
             velix::platform::InteractionSink& sink, QWidget* parent = nullptr,
             const QString& sampling_file_name = {});

  // The choices and whether the power is to be applied; valid after accept().
  orvane::GeneralSettingsResult Result() const { return result_; }

  void accept() override;

 private:
  void BuildControls(const orvane::GeneralSettingsValues& values, const QString& sampling_file_name);
  void Render();

  orvane::PowerSense sense_;
  velix::platform::InteractionSink& sink_;
  orvane::GeneralSettingsResult result_;

  QLabel* power_state_label_ = nullptr;
  QLabel* power_state_ = nullptr;
  QRadioButton* change_state_ = nullptr;
  QRadioButton* unchanged_ = nullptr;
  QLabel* power_label_ = nullptr;
  QComboBox* power_supply_ = nullptr;
  QComboBox* noise_filter_ = nullptr;
  QCheckBox* lock_memory_ = nullptr;
};
