// "Forced display mode..." end to end: the dialog driven as a user would,
// the capture cut into time windows by the waveform-only pass, and back to
// the protocol rows. The window count is compared with what the built
// orvane-cli finds in the same file under the same settings: its jump to
// the last transaction names the last window.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "Orvane/ui/dialogs/dlg_hakei_mode.h"
#include "Orvane/ui/list/orvane_view.h"
#include "Orvane/ui/tests/frame_dialog_driver.h"
#include "Orvane/ui/tests/frame_fixture.h"
#include "tools/orvane-cli/tests/run_command.h"

namespace orvane::ui::testing {
namespace {

using orvane::testing::RunCommand;

// About 10 ms of traffic: forty writes with their reads.
std::string I2cScenario() {
  std::string text = "bus i2c0\nrate 50\nscl 400k\n";
  for (int i = 0; i < 40; ++i) {
    text += "start\naddr 0x50 w\nwrite 00 10\nstop\nidle 20us\nstart\naddr 0x50 r\nread 11 22\nstop\nidle 30us\n";
  }
  return text;
}

class DisplayFrameTest : public FrameTest {
 protected:
  // Runs the command with the dialog answered: the box set to `on`, the
  // quiet time typed when given. Returns the quiet time the dialog showed.
  QString ForcedDisplay(bool on, const QString& typed = {}) {
    QString shown;
    WhenModalOpens<DlgHakeiMode>([&shown, on, typed](DlgHakeiMode& dialog) {
      shown = dialog.findChild<QLineEdit*>(QStringLiteral("quietTime"))->text();
      dialog.findChild<QCheckBox*>(QStringLiteral("forcedDisplay"))->setChecked(on);
      if (!typed.isEmpty()) dialog.findChild<QLineEdit*>(QStringLiteral("quietTime"))->setText(typed);
      QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("ok")), Qt::LeftButton);
    });
    frame_->UpdateCommandStates();
    EXPECT_TRUE(frame_->Action(Command::kForcedDisplay)->isEnabled());
    frame_->Action(Command::kForcedDisplay)->trigger();
    EXPECT_TRUE(WaitForRunEnd(false));
    return shown;
  }

  uint32_t CliWindows(const std::string& file, uint16_t window_ms) {
    const auto result = RunCommand({ORVANE_CLI_PATH, "search", file, "jump", "0xFFFFFFFF", "--yes", "--set",
                                    "ForcedDisplay=1", "--set", "ForcedDisplayWindow=" + std::to_string(window_ms)});
    EXPECT_EQ(result.status, 0) << result.err;
    return static_cast<uint32_t>(std::stoul(result.out)) + 1;
  }
};

TEST_F(DisplayFrameTest, ForcedDisplayListsTimeWindowsAndOffBringsTheProtocolBack) {
  const std::string file = Synthesize("i2c.SIC", I2cScenario());
  ASSERT_TRUE(frame_->OpenFile(QString::fromStdString(file)));
  ASSERT_TRUE(WaitForRunEnd(false));
  COrvaneView& list = frame_->ListView();
  QTRY_COMPARE_WITH_TIMEOUT(list.RowCount(), 80u, 5000);
  app_.settings.FilterEnable = 1;
  EXPECT_FALSE(frame_->Action(Command::kForcedDisplay)->isChecked());

  EXPECT_EQ(ForcedDisplay(true, QStringLiteral("1")), QStringLiteral("200"));
  EXPECT_EQ(app_.settings.ForcedDisplay, 1);
  EXPECT_EQ(uint16_t{app_.settings.ForcedDisplayWindow}, 1u);
  EXPECT_EQ(app_.settings.FilterEnable, 0);
  const uint32_t windows = CliWindows(file, 1);
  EXPECT_GE(windows, 5u);
  QTRY_COMPARE_WITH_TIMEOUT(list.RowCount(), windows, 5000);
  EXPECT_EQ(list.model()->columnCount(), 4);
  EXPECT_TRUE(frame_->Split());
  frame_->UpdateCommandStates();
  EXPECT_TRUE(frame_->Action(Command::kForcedDisplay)->isChecked());
  for (Command command : {Command::kWriteText, Command::kWriteCsv, Command::kI2cSetting, Command::kSearchAddress}) {
    EXPECT_FALSE(frame_->Action(command)->isEnabled()) << static_cast<int>(command);
  }
  list.SelectRowAndShow(0);
  QTRY_COMPARE_WITH_TIMEOUT(frame_->StatusPanes().IdleText().toStdString(),
                            "Forced display mode" + std::string(6, ' ') + "Transaction No. : 0", 2000);

  // Off again: the quiet time stays as it was stored and shows as stored.
  EXPECT_EQ(ForcedDisplay(false), QStringLiteral("1"));
  EXPECT_EQ(app_.settings.ForcedDisplay, 0);
  EXPECT_EQ(uint16_t{app_.settings.ForcedDisplayWindow}, 1u);
  QTRY_COMPARE_WITH_TIMEOUT(list.RowCount(), 80u, 5000);
  EXPECT_EQ(list.model()->columnCount(), 10);
  frame_->UpdateCommandStates();
  EXPECT_FALSE(frame_->Action(Command::kForcedDisplay)->isChecked());
  EXPECT_TRUE(frame_->Action(Command::kWriteCsv)->isEnabled());
}

TEST_F(DisplayFrameTest, CancelAndAnOutOfRangeTimeChangeNothing) {
  const std::string file = Synthesize("i2c.SIC", I2cScenario());
  ASSERT_TRUE(frame_->OpenFile(QString::fromStdString(file)));
  ASSERT_TRUE(WaitForRunEnd(false));
  bool refused = false;
  WhenModalOpens<DlgHakeiMode>([this, &refused](DlgHakeiMode& dialog) {
    dialog.findChild<QCheckBox*>(QStringLiteral("forcedDisplay"))->setChecked(true);
    dialog.findChild<QLineEdit*>(QStringLiteral("quietTime"))->setText(QStringLiteral("4001"));
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("ok")), Qt::LeftButton);
    refused = dialog.isVisible() && Asked("Setting error.");
    dialog.reject();
  });
  frame_->OnForcedDisplay();
  EXPECT_TRUE(refused);
  EXPECT_EQ(app_.settings.ForcedDisplay, 0);
  EXPECT_FALSE(app_.analysis_running);
  EXPECT_EQ(run_ends_->size(), run_ends_seen_);
}

}  // namespace
}  // namespace orvane::ui::testing
