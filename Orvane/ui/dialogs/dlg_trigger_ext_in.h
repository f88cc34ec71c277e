#pragma once
// "Ext,IN Trigger(TRGIN) Settings": the five external trigger input lines,
// each enabled or not and active LOW or HIGH, and the buttons that open the
// software trigger and the trigger output settings. Apply() writes the
// lines into a settings record; the two dialogs behind the buttons write
// their own fields.

#include <QDialog>

#include <array>
#include <functional>

#include "Orvane/capture/settings_record.h"
#include "Orvane/ui/dialogs/trigger_line_models.h"

class QCheckBox;
class QComboBox;
class QPushButton;

// What the two buttons call. A hook left empty disables its button.
struct TriggerDialogHooks {
  std::function<void(const orvane::TriggerContext& context)> software;
  std::function<void()> output;
};

class DlgTriggerExtIN : public QDialog {
  Q_OBJECT

 public:
  DlgTriggerExtIN(const orvane::SettingsRecord& settings, const orvane::TriggerContext& context,
                  QWidget* parent = nullptr);

  void SetOpenDialogHooks(TriggerDialogHooks hooks);

  // After accept(): writes the accepted lines into `settings`.
  void Apply(orvane::SettingsRecord* settings) const;

  void accept() override;

 private:
  void BuildControls();
  orvane::TrgInFields ReadFields() const;
  void Render();

  orvane::TriggerContext context_;
  orvane::TrgInFields fields_;
  TriggerDialogHooks hooks_;

  QCheckBox* enable_ = nullptr;
  std::array<QCheckBox*, orvane::kTrgInLines> line_{};
  std::array<QComboBox*, orvane::kTrgInLines> level_{};
  QPushButton* software_ = nullptr;
  QPushButton* output_ = nullptr;
};
