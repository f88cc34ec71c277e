// The main window's settings commands: "Other Setting....", and the
// dialogs the capture settings open from their buttons.
#include "Orvane/capture/general_settings.h"
#include "Orvane/ui/dialogs/dlg_capture_setting.h"
#include "Orvane/ui/dialogs/dlg_general.h"
#include "Orvane/ui/dialogs/dlg_i2c_setting.h"
#include "Orvane/ui/dialogs/dlg_spi_setting.h"
#include "Orvane/ui/main_frame.h"
#include "platform/trace.h"

namespace orvane::ui {
namespace {

constexpr char kPowerControlFailed[] = "** OpenDriver() or VELIX_DriverPowerControl()  Fail...\n";

}  // namespace

PowerSense CMainFrame::QueryPowerSense() {
  const bool opened = station_.client.OpenDriver(kDriverDeviceName);
  bool powered = false;
  const bool queried = opened && station_.client.GetPowerSense(&powered);
  const uint8_t reply[4] = {0, 0, 0, static_cast<uint8_t>(powered ? 1 : 0)};
  return PowerSenseFromQuery(opened, queried, reply);
}

void CMainFrame::OnOtherSetting() {
  if (Busy()) return;
  const PowerSense sense = QueryPowerSense();
  DlgGeneral dialog(OpenGeneralSettingsValues(app_.settings, app_.lock_memory != 0), sense, sink_, this,
                    QString::fromStdString(app_.sampling_file_name));
  if (dialog.exec() != QDialog::Accepted) return;
  const std::optional<uint8_t> power = StoreGeneralSettings(dialog.Result(), app_);
  if (services_.store_lock_memory) services_.store_lock_memory(app_.lock_memory != 0);
  if (!power) return;
  if (station_.client.OpenDriver(kDriverDeviceName) && station_.client.VELIX_DriverPowerControl(*power)) return;
  velix::platform::Trace(kPowerControlFailed);
  // The target's power did not change: the user who asked for it is told.
  sink_.Show(kPowerControlFailed, velix::platform::Icon::kStop);
}

bool CMainFrame::EditI2cSettings() {
  // Monitor captures carry no samples to time, so only the switches apply.
  const bool timing_fields = !(app_.data_loaded && app_.settings.MonitorMode == 1);
  DlgI2CSetting dialog(app_.settings, timing_fields, sink_, this);
  dialog.SetTrgoutHook([this] { EditTriggerOut(); });
  if (dialog.exec() != QDialog::Accepted) return false;
  dialog.Apply(&app_.settings);
  return true;
}

bool CMainFrame::EditSpiSettings() {
  DlgSPISetting dialog(app_.settings, sink_, this);
  if (dialog.exec() != QDialog::Accepted) return false;
  dialog.Apply(&app_.settings);
  return true;
}

void CMainFrame::OnI2cSetting() {
  if (Busy() || station_.doc.Sampling() == nullptr) return;
  const uint8_t bus = app_.settings.m_AnalyzeBusChannel & 3;
  if (EditI2cSettings() && (bus == 1 || bus == 2) && app_.settings.ForcedDisplay == 0) RebuildAfterSettings();
}

void CMainFrame::OnSpiSetting() {
  if (Busy() || station_.doc.Sampling() == nullptr) return;
  if (EditSpiSettings() && (app_.settings.m_AnalyzeBusChannel & 3) == 0 && app_.settings.ForcedDisplay == 0) {
    RebuildAfterSettings();
  }
}

void CMainFrame::RebuildAfterSettings() {
  selected_index_.reset();
  station_.doc.RebuildTransactionInfo();
  RefreshIdleText();
  UpdateCommandStates();
}

bool CMainFrame::CaptureSettingsDialog(const CaptureDialogValues& values, const StartCaptureFn& start) {
  if (capture_settings_) return capture_settings_(values, start);
  DlgCaptureSetting dialog(values, start, this, &sink_);
  CaptureDialogHooks hooks;
  // Settings changed from here are the capture's: nothing is decoded again.
  hooks.general = [this] { OnOtherSetting(); };
  hooks.i2c = [this] { EditI2cSettings(); };
  hooks.spi = [this] { EditSpiSettings(); };
  // The software trigger and the trigger output exist in monitor mode only.
  hooks.trigger = [this, monitor = values.monitor_mode](uint8_t bus) {
    EditTriggerSettings(TriggerContext{monitor, true, bus});
  };
  dialog.SetOpenDialogHooks(std::move(hooks));
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace orvane::ui
