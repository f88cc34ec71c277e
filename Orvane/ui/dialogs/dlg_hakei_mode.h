#pragma once
// "Waveform display settings（AnalyzerMode）": the forced display check box
// and the quiet time that delimits its windows. OK checks the quiet time
// while the box is checked (a message, and the dialog stays open); Values()
// then holds what the caller stores.

#include <QDialog>

#include <vector>

#include "Orvane/ui/dialogs/hakei_mode_model.h"
#include "platform/interaction.h"

class QCheckBox;
class QLineEdit;

class DlgHakeiMode : public QDialog {
  Q_OBJECT

 public:
  DlgHakeiMode(const orvane::HakeiModeValues& values, velix::platform::InteractionSink& sink,
               QWidget* parent = nullptr);

  // After accept(): the values to store.
  const orvane::HakeiModeValues& Values() const { return values_; }

  void accept() override;

 private:
  void BuildControls();
  void Render();

  velix::platform::InteractionSink& sink_;
  orvane::HakeiModeValues values_;
  QCheckBox* forced_display_ = nullptr;
  QLineEdit* quiet_time_ = nullptr;
  std::vector<QWidget*> quiet_controls_;  // the edit, its caption, unit and hint
};
