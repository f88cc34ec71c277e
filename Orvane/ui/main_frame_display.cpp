// The main window's "Forced display mode...": the waveform display
// settings, and after OK the capture decoded again, by the waveform-only
// pass when forced display is on, by its protocol decoder when it is off.
#include "Orvane/ui/dialogs/dlg_hakei_mode.h"
#include "Orvane/ui/main_frame.h"

namespace orvane::ui {

void CMainFrame::OnForcedDisplay() {
  // Monitor data carry no samples to cut into windows.
  if (Busy() || !app_.data_loaded || station_.doc.Sampling() == nullptr || app_.settings.MonitorMode == 1) return;
  DlgHakeiMode dialog(HakeiModeFromSettings(app_.settings), sink_, this);
  if (dialog.exec() != QDialog::Accepted) return;
  StoreHakeiMode(dialog.Values(), &app_.settings);
  // The filter's choices belong to the rows of the other mode.
  app_.settings.FilterEnable = 0;
  RebuildAfterSettings();
}

}  // namespace orvane::ui
