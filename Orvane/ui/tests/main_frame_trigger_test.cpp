// The trigger dialogs from the main window, offscreen: set through the
// capture settings' "TRIGGER setting..." button, the triggers reach the
// device of a real velixd in the commands that start a monitor capture;
// the menu command and the I2C settings' TRGOUT button open their dialogs
// over the record.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "Orvane/ui/dialogs/dlg_capture_setting.h"
#include "Orvane/ui/dialogs/dlg_i2c_setting.h"
#include "Orvane/ui/dialogs/dlg_trigger.h"
#include "Orvane/ui/dialogs/dlg_trigger_ext_in.h"
#include "Orvane/ui/dialogs/dlg_trigger_out.h"
#include "Orvane/ui/list/orvane_view.h"
#include "Orvane/ui/tests/frame_fixture.h"
#include "driver/daemon/tests/daemon_process.h"

namespace orvane::ui::testing {
namespace {

using velix::daemon::testing::DaemonProcess;

// Writes to 0x50; `head` sets up the bus.
std::string I2cWrites(const std::string& head = "bus i2c0\nscl 400k\n") {
  std::string text = head;
  for (int i = 0; i < 40; ++i) text += "start\naddr 0x50 w\nwrite 00 10 20 30\nstop\nidle 20us\n";
  return text;
}

// Runs `step` on the next modal dialog of type T once it shows. Each step
// arranges the next before it opens a dialog: its own exec() runs inside.
template <typename T>
void OnNextDialog(std::function<void(T&)> step) {
  auto* timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, step] {
    auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    step(*dialog);
  });
  timer->start();
}

template <typename Widget>
Widget* Find(QWidget& dialog, const char* name) {
  auto* widget = dialog.findChild<Widget*>(QString::fromLatin1(name));
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}

void Click(QWidget& dialog, const char* name) { QTest::mouseClick(Find<QPushButton>(dialog, name), Qt::LeftButton); }

std::vector<std::string> ReceivedPackets(const DaemonProcess& daemon) {
  std::vector<std::string> packets;
  std::istringstream lines(daemon.Sim("received"));
  for (std::string line; std::getline(lines, line);) {
    const size_t at = line.find("packet=");
    if (at != std::string::npos) packets.push_back(line.substr(at + 7, 20));
  }
  return packets;
}

TEST_F(FrameTest, TriggersSetFromTheCaptureSettingsReachTheDevice) {
  DaemonProcess daemon(I2cWrites(), {"--image", "monitor", "--size", "65536", "--rate", "200000"});
  ASSERT_TRUE(daemon.running());
  ::setenv("VELIX_RUNTIME_DIR", daemon.folder().c_str(), 1);
  app_.lock_memory = 0;  // a test machine's lock limit is not the point here

  bool software_i2c_part = false;
  bool trgout_button = false;
  OnNextDialog<DlgCaptureSetting>([&](DlgCaptureSetting& capture) {
    Find<QComboBox>(capture, "bus")->setCurrentIndex(1);
    Find<QSpinBox>(capture, "captureSize")->setValue(2);
    Find<QSpinBox>(capture, "driverBuffer")->setValue(1);
    OnNextDialog<DlgTriggerExtIN>([&](DlgTriggerExtIN& lines) {
      Find<QCheckBox>(lines, "trgInEnable")->setChecked(true);
      Find<QCheckBox>(lines, "line1")->setChecked(true);
      Find<QCheckBox>(lines, "line3")->setChecked(true);
      Find<QComboBox>(lines, "level1")->setCurrentIndex(1);
      trgout_button = Find<QPushButton>(lines, "trgoutSetting")->isEnabled();
      OnNextDialog<DlgTriggerOut>([](DlgTriggerOut& out) {
        Find<QCheckBox>(out, "trgOutEnable")->setChecked(true);
        Find<QCheckBox>(out, "addressEnable")->setChecked(true);
        Find<QLineEdit>(out, "address")->setText(QStringLiteral("0x50"));
        Click(out, "ok");
      });
      Click(lines, "trgoutSetting");
      OnNextDialog<DlgTrigger>([&](DlgTrigger& software) {
        Find<QCheckBox>(software, "triggerEnable")->setChecked(true);
        Find<QSpinBox>(software, "position")->setValue(50);
        software_i2c_part = Find<QCheckBox>(software, "addressEnable")->isEnabled();
        Click(software, "ok");
      });
      Click(lines, "softwareTrigger");
      Click(lines, "ok");
    });
    Click(capture, "triggerSetting");
    Click(capture, "startCapture");
  });
  frame_->OnCapture();
  ASSERT_TRUE(app_.live_capture) << (asked_.empty() ? std::string() : asked_.back().text);
  EXPECT_TRUE(trgout_button);
  EXPECT_TRUE(software_i2c_part);
  EXPECT_EQ(app_.settings.TriggerEnable, 1);
  EXPECT_EQ(uint16_t{app_.settings.TriggerPosition}, 50);

  QTRY_VERIFY_WITH_TIMEOUT(frame_->ListView().RowCount() > 0u, 10000);
  frame_->OnStop();
  ASSERT_TRUE(WaitForRunEnd(true));
  ASSERT_TRUE(WaitForRunEnd(false));
  ::unsetenv("VELIX_RUNTIME_DIR");

  // Trigger out on a write to 0x50, then the monitor start on I2C #0 with
  // TRGIN-1 (active HIGH) and TRGIN-3 (active LOW).
  const std::vector<std::string> packets = ReceivedPackets(daemon);
  const auto start = std::find(packets.begin(), packets.end(), "c600820a060000000000");
  ASSERT_NE(start, packets.end());
  ASSERT_NE(start, packets.begin());
  EXPECT_EQ(*(start - 1), "c901a000000000000000");
}

TEST_F(FrameTest, TheMenuAndTheI2CSettingsOpenTheTriggerDialogs) {
  const std::string file = Synthesize("i2c.SIC", I2cWrites("bus i2c0\nrate 50\nscl 400k\n"));
  ASSERT_TRUE(frame_->OpenFile(QString::fromStdString(file)));
  ASSERT_TRUE(WaitForRunEnd(false));
  ASSERT_TRUE(frame_->Action(Command::kTriggerSetting)->isEnabled());

  // From the menu, over an I2C file: both buttons open, and the trigger
  // output written from there stays even when the lines are cancelled.
  bool software_button = false;
  OnNextDialog<DlgTriggerExtIN>([&](DlgTriggerExtIN& lines) {
    software_button = Find<QPushButton>(lines, "softwareTrigger")->isEnabled();
    OnNextDialog<DlgTriggerOut>([](DlgTriggerOut& out) {
      Find<QCheckBox>(out, "trgOutEnable")->setChecked(true);
      Click(out, "ok");
    });
    Click(lines, "trgoutSetting");
    Find<QCheckBox>(lines, "trgInEnable")->setChecked(true);
    Click(lines, "cancel");
  });
  frame_->Action(Command::kTriggerSetting)->trigger();
  EXPECT_TRUE(software_button);
  EXPECT_EQ(app_.settings.TrgOutEnable, 1);
  EXPECT_EQ(app_.settings.TrgInEnable, 0);

  OnNextDialog<DlgI2CSetting>([](DlgI2CSetting& i2c) {
    OnNextDialog<DlgTriggerOut>([](DlgTriggerOut& out) {
      Find<QCheckBox>(out, "nackIgnore")->setChecked(true);
      Click(out, "ok");
    });
    Click(i2c, "trgoutSetting");
    Click(i2c, "ok");
  });
  frame_->OnI2cSetting();
  EXPECT_EQ(app_.settings.TrgOutNackIgnore, 1);
  EXPECT_EQ(app_.settings.TrgOutEnable, 1);
  ASSERT_TRUE(WaitForRunEnd(false));  // the I2C settings decode the file again
}

}  // namespace
}  // namespace orvane::ui::testing
