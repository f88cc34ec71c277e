#pragma once
// "SPI Settings": sampling edge, bit order, SS use and the conditions that
// end a transaction. OK checks the data length (a message, and the dialog
// stays open) and keeps the entries; Apply() writes them into a settings
// record.

#include <QDialog>

#include "Orvane/capture/settings_record.h"
#include "Orvane/decode/dialog_values.h"
#include "platform/interaction.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QMouseEvent;
class QRadioButton;

class DlgSPISetting : public QDialog {
  Q_OBJECT

 public:
  DlgSPISetting(const orvane::SettingsRecord& settings, velix::platform::InteractionSink& sink,
                QWidget* parent = nullptr);

  // After accept(): writes the accepted entries into `settings`. True when
  // the capture must be decoded again for them to take effect.
  bool Apply(orvane::SettingsRecord* settings) const;

  void accept() override;

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void BuildControls();
  void ShowFields(const orvane::SpiSettingsFields& fields);
  orvane::SpiSettingsFields ReadFields() const;
  void SetMonitorSs(bool monitor);
  void Render();

  velix::platform::InteractionSink& sink_;
  orvane::SettingsRecord opened_with_;
  orvane::SpiSettingsFields fields_;
  bool ignore_first_edge_on_at_opening_;
  int background_double_clicks_ = 0;

  QRadioButton* rising_edge_ = nullptr;
  QRadioButton* falling_edge_ = nullptr;
  QRadioButton* msb_first_ = nullptr;
  QRadioButton* lsb_first_ = nullptr;
  QCheckBox* monitor_ss_ = nullptr;
  QRadioButton* ss_active_low_ = nullptr;
  QRadioButton* ss_active_high_ = nullptr;
  QCheckBox* ss_end_ = nullptr;
  QCheckBox* timeout_enabled_ = nullptr;
  QLineEdit* timeout_ms_ = nullptr;
  QLabel* timeout_unit_ = nullptr;
  QLineEdit* data_length_ = nullptr;
  QCheckBox* ignore_first_edge_ = nullptr;
};
