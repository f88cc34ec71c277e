#include "Orvane/ui/tests/dialog_screenshots.h"

#include <QDialog>
#include <QScreen>
#include <QTest>
#include <cstdio>
#include <memory>

#include "Orvane/capture/settings_record.h"
#include "Orvane/ui/dialogs/dlg_hakei_mode.h"
#include "Orvane/ui/dialogs/dlg_i2c_setting.h"
#include "Orvane/ui/dialogs/dlg_save_index_range.h"
#include "Orvane/ui/dialogs/dlg_trigger.h"
#include "Orvane/ui/qt_interaction_sink.h"

namespace {

// A trigger on a write of AA BB to sub-address 10 of the device at 0x50.
orvane::SettingsRecord TriggerExample() {
  orvane::SettingsRecord settings = orvane::DefaultSettingsRecord();
  settings.m_AnalyzeBusChannel = 1;
  settings.TriggerEnable = 1;
  settings.TriggerPosition = 50;
  settings.DataPatternEnable = 1;
  settings.DataLength = 2;
  settings.DataPattern[0] = 0xAA;
  settings.DataPattern[1] = 0xBB;
  settings.AddressEnable = 1;
  settings.AddressValue = 0x50;
  settings.SubAddressEnable = 1;
  settings.SubAddressLength = 1;
  settings.SubAddressData[0] = 0x10;
  settings.DataOp = 1;
  settings.AddressOp = 1;
  return settings;
}

}  // namespace

bool PhotographDialog(const std::string& name, const std::string& path) {
  orvane::QtInteractionSink sink;
  sink.SetPresenter([](const QString& text, velix::platform::Icon, velix::platform::Buttons,
                       velix::platform::Answer answer) {
    std::fprintf(stderr, "message: %s\n", qPrintable(text));
    return answer;
  });
  std::unique_ptr<QDialog> dialog;
  if (name == "dlg-trigger") {
    dialog = std::make_unique<DlgTrigger>(TriggerExample(), orvane::TriggerContext{true, true, 1}, sink);
  } else if (name == "dlg-i2c-setting") {
    orvane::SettingsRecord settings = orvane::DefaultSettingsRecord();
    settings.m_AnalyzeBusChannel = 1;
    auto i2c = std::make_unique<DlgI2CSetting>(settings, true, sink);
    i2c->SetTrgoutHook([] {});
    dialog = std::move(i2c);
  } else if (name == "save-index-range") {
    dialog = std::make_unique<DlgSaveIndexRange>(orvane::SaveIndexRangeDialog{});
  } else if (name == "hakei-mode") {
    dialog = std::make_unique<DlgHakeiMode>(orvane::HakeiModeValues{true, 200}, sink);
  } else {
    std::fprintf(stderr, "no picture named %s\n", name.c_str());
    return false;
  }
  dialog->show();
  if (!QTest::qWaitForWindowExposed(dialog.get())) return false;
  QTest::qWait(300);
  QPixmap picture = dialog->screen()->grabWindow(dialog->winId());
  if (picture.isNull()) picture = dialog->grab();
  if (picture.save(QString::fromStdString(path), "PNG")) return true;
  std::fprintf(stderr, "cannot write %s\n", path.c_str());
  return false;
}
