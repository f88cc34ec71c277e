// The main window's trigger command and the trigger dialogs behind the
// buttons of the capture settings and the I2C settings: each dialog's OK
// writes its own fields into the settings record; nothing is decoded again,
// the trigger acts on the next capture.
#include "Orvane/ui/dialogs/dlg_trigger.h"
#include "Orvane/ui/dialogs/dlg_trigger_ext_in.h"
#include "Orvane/ui/dialogs/dlg_trigger_out.h"
#include "Orvane/ui/main_frame.h"

namespace orvane::ui {

void CMainFrame::OnTriggerSetting() {
  if (Busy()) return;
  TriggerContext context;
  // Trigger settings are made ahead of a capture whose mode the device only
  // tells at its start, so both buttons stay open here.
  context.buttons_enabled = true;
  // The bus is known only from a capture file's own settings.
  context.bus_known = app_.data_loaded;
  context.bus = app_.settings.m_AnalyzeBusChannel;
  EditTriggerSettings(context);
}

void CMainFrame::EditTriggerSettings(const TriggerContext& context) {
  DlgTriggerExtIN dialog(app_.settings, context, this);
  TriggerDialogHooks hooks;
  hooks.software = [this](const TriggerContext& passed) { EditSoftwareTrigger(passed); };
  hooks.output = [this] { EditTriggerOut(); };
  dialog.SetOpenDialogHooks(std::move(hooks));
  if (dialog.exec() != QDialog::Accepted) return;
  dialog.Apply(&app_.settings);
}

void CMainFrame::EditSoftwareTrigger(const TriggerContext& context) {
  DlgTrigger dialog(app_.settings, context, sink_, this);
  if (dialog.exec() != QDialog::Accepted) return;
  dialog.Apply(&app_.settings);
}

void CMainFrame::EditTriggerOut() {
  DlgTriggerOut dialog(app_.settings, sink_, this);
  if (dialog.exec() != QDialog::Accepted) return;
  dialog.Apply(&app_.settings);
}

}  // namespace orvane::ui
