// The main window's settings commands: "Other Setting....", and the
// dialogs the capture settings open from their buttons.
#include "Orvane/capture/general_settings.h"
#include "Orvane/ui/dialogs/dlg_capture_setting.h"
#include "Orvane/ui/dialogs/dlg_general.h"
#include "Orvane/ui/main_frame.h"
#include "platform/trace.h"

namespace orvane::ui {
namespace {

constexpr char kPowerControlFailed[] = "** OpenDriver() or VELIX_DriverPowerControl()  Fail...\n";

}  // namespace

PowerSense CMainFrame::QueryPowerSense() {
  const bool opened = client_.OpenDriver(kDriverDeviceName);
  bool powered = false;
  const bool queried = opened && client_.GetPowerSense(&powered);
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
  if (client_.OpenDriver(kDriverDeviceName) && client_.VELIX_DriverPowerControl(*power)) return;
  velix::platform::Trace(kPowerControlFailed);
  // The target's power did not change: the user who asked for it is told.
  sink_.Show(kPowerControlFailed, velix::platform::Icon::kStop);
}

bool CMainFrame::CaptureSettingsDialog(const CaptureDialogValues& values, const StartCaptureFn& start) {
  if (capture_settings_) return capture_settings_(values, start);
  DlgCaptureSetting dialog(values, start, this, &sink_);
  CaptureDialogHooks hooks;
  hooks.general = [this] { OnOtherSetting(); };
  dialog.SetOpenDialogHooks(std::move(hooks));
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace orvane::ui
