// Renders the dialog as the user sees it after the device came back in
// update mode (versions read, the other personality offered) into a PNG.
// Usage: mode_change_screenshot OUTPUT.png
#include <QApplication>
#include <QPixmap>
#include <QTest>

#include <cstdio>

#include "ModeChange/mode_change_dialog.h"
#include "ModeChange/tests/cpld_test_images.h"
#include "ModeChange/tests/fake_velix_device.h"
#include "platform/tests/scratch_folder.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  using namespace velix::modechange;
  velix::platform::testing::ScratchFolder folder;
  testing::WriteBytes(folder.File("velixc_ana.frm"), testing::MakeCpldImage({}));
  testing::FakeVelixDevice device{Personality::kMonitor, 1, 0x00};
  ModeChangeDialog dialog{device, MachineOptions{false, folder.Path()}};
  dialog.SetMessagePresenter([&device](TextId text) {
    if (text == TextId::kReadyToSwitch) device.Replug();
    return true;
  });
  dialog.show();
  if (!QTest::qWaitForWindowExposed(&dialog)) return 1;
  QTest::qWait(50);  // start-up runs from the event loop
  dialog.Machine().OnTimer();
  if (!dialog.grab().save(QString::fromLocal8Bit(argv[1]), "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
