// The main window offscreen over real files and a real velixd with its
// simulated analyzer: opening a capture, the live capture from the command
// to the reopened file, the refusals while something runs, and the
// discard question.
#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QTest>
#include <filesystem>

#include "Orvane/capture/capture_start_checks.h"
#include "Orvane/decode/capture_command.h"
#include "Orvane/decode/live_end.h"
#include "Orvane/ui/list/orvane_view.h"
#include "Orvane/ui/tests/frame_fixture.h"
#include "driver/daemon/tests/daemon_process.h"

namespace orvane::ui::testing {
namespace {

using velix::daemon::testing::DaemonProcess;
using velix::platform::Answer;

// Forty writes to 0x50, each followed by a read back.
std::string I2cScenario() {
  std::string text = "bus i2c0\nrate 50\nscl 400k\n";
  for (int i = 0; i < 40; ++i) {
    text += "start\naddr 0x50 w\nwrite 00 10\nstop\nidle 20us\nstart\naddr 0x50 r\nread 11 22\nstop\nidle 30us\n";
  }
  return text;
}
constexpr char kQuietScenario[] = "bus i2c0\nrate 50\nidle 200us\n";

// The text of a cell of an absolute row; the list holds only the rows on
// screen, so the row is scrolled into sight first.
QString CellText(COrvaneView& view, quint32 row, int column) {
  view.ScrollToRow(row);
  const int window_row = static_cast<int>(row - view.FirstVisibleRow());
  return view.model()->data(view.model()->index(window_row, column)).toString();
}

TEST_F(FrameTest, OpeningACaptureListsItsTransactionsInTheSplitLayout) {
  const std::string file = Synthesize("i2c.SIC", I2cScenario());
  ASSERT_TRUE(frame_->OpenFile(QString::fromStdString(file)));
  ASSERT_TRUE(WaitForRunEnd(false));
  QTest::qWait(150);  // the list announces its rows on its timer

  EXPECT_TRUE(frame_->Split());
  EXPECT_EQ(frame_->windowTitle().toStdString(), std::string(kMainWindowTitle) + " - " + file);
  COrvaneView& list = frame_->ListView();
  ASSERT_EQ(list.RowCount(), 80u);
  EXPECT_EQ(CellText(list, 0, 3).trimmed(), "50H");
  EXPECT_EQ(CellText(list, 1, 4), "R");
  // Searches, exports and the I2C settings are open to a loaded I2C capture.
  for (Command command : {Command::kCapture, Command::kFileSaveAs, Command::kI2cSetting}) {
    EXPECT_TRUE(CommandStateOf(command, frame_->CurrentState()).enabled) << static_cast<int>(command);
  }
  EXPECT_FALSE(CommandStateOf(Command::kSpiSetting, frame_->CurrentState()).enabled);
  // Half a second after the decode's filter the first row is selected.
  for (int waited = 0; list.CurrentRow() != 0 && waited < 2000; waited += 50) QTest::qWait(50);
  EXPECT_EQ(list.CurrentRow(), 0u);

  list.SelectRowAndShow(5);
  QTest::qWait(20);
  EXPECT_EQ(frame_->StatusPanes().IdleText().toStdString(), "[I2C] Data      Transaction No. : 5");
}

TEST_F(FrameTest, ARowChosenBeforeTheFirstRowTimerStaysChosen) {
  ASSERT_TRUE(frame_->OpenFile(QString::fromStdString(Synthesize("i2c.SIC", I2cScenario()))));
  ASSERT_TRUE(WaitForRunEnd(false));
  QTest::qWait(150);
  ASSERT_TRUE(frame_->ListView().SelectRowAndShow(5));
  QTest::qWait(800);
  EXPECT_EQ(frame_->ListView().CurrentRow(), 5u);
}

TEST_F(FrameTest, ACaptureWithoutTransactionsSaysSoAndStaysSingle) {
  const std::string file = Synthesize("quiet.SIC", kQuietScenario);
  ASSERT_TRUE(frame_->OpenFile(QString::fromStdString(file)));
  ASSERT_TRUE(WaitForRunEnd(false));
  EXPECT_TRUE(Asked("No valid transaction."));
  EXPECT_FALSE(frame_->Split());
}

TEST_F(FrameTest, DeclinedDiscardKeepsTheLoadedCapture) {
  const std::string file = Synthesize("i2c.SIC", I2cScenario());
  ASSERT_TRUE(frame_->OpenFile(QString::fromStdString(file)));
  ASSERT_TRUE(WaitForRunEnd(false));
  Answer(kDiscardSamplingDataQuestion, Answer::kNo);
  frame_->OnCapture();
  EXPECT_TRUE(Asked(kDiscardSamplingDataQuestion));
  EXPECT_TRUE(app_.data_loaded);
  EXPECT_FALSE(Asked(kDeviceNotFoundQuestion));

  // Yes discards, and the capture goes on to the device, absent here.
  ::setenv("VELIX_RUNTIME_DIR", folder_.c_str(), 1);
  Answer(kDiscardSamplingDataQuestion, Answer::kYes);
  Answer(kDeviceNotFoundQuestion, Answer::kCancel);
  frame_->OnCapture();
  ::unsetenv("VELIX_RUNTIME_DIR");
  EXPECT_FALSE(app_.data_loaded);
  EXPECT_TRUE(Asked(kDeviceNotFoundQuestion));
  EXPECT_FALSE(app_.live_capture);
  EXPECT_EQ(frame_->windowTitle().toStdString(), kMainWindowTitle);
}

TEST_F(FrameTest, LiveCaptureFollowsPausesStopsAndReopensTheSavedFile) {
  DaemonProcess daemon(I2cScenario(), {"--rate", "2000000", "--size", "4000000"});
  ASSERT_TRUE(daemon.running());
  ::setenv("VELIX_RUNTIME_DIR", daemon.folder().c_str(), 1);
  app_.lock_memory = 0;  // a test machine's lock limit is not the point here
  frame_->SetCaptureSettingsStep([](const CaptureDialogValues& values, const StartCaptureFn& start) {
    CaptureEntries entries = EntriesFromDialogValues(values);
    entries.bus = 1;
    entries.capture_size_mb = 8;
    entries.driver_buffer_mb = 1;
    return start(entries);
  });
  frame_->OnCapture();
  ASSERT_TRUE(app_.live_capture) << (asked_.empty() ? std::string() : asked_.back().text);

  // Only stop and pause are open during the capture, and the window stays.
  const FrameState live = frame_->CurrentState();
  EXPECT_TRUE(frame_->Action(Command::kStop)->isEnabled());
  EXPECT_EQ(frame_->Action(Command::kStop)->text().toStdString(), "Capture end.");
  EXPECT_FALSE(frame_->Action(Command::kFileOpen)->isEnabled());
  EXPECT_TRUE(CommandStateOf(Command::kPause, live).enabled);
  EXPECT_FALSE(frame_->close());
  EXPECT_TRUE(frame_->isVisible());
  EXPECT_EQ(frame_->StatusPanes().IdleText().toStdString(), "[I2C:#0(Main)] Capture    Oneshot");

  COrvaneView& list = frame_->ListView();
  QTRY_VERIFY_WITH_TIMEOUT(list.RowCount() > 0u, 10000);
  frame_->OnPause();
  EXPECT_TRUE(app_.view_update_paused);
  EXPECT_TRUE(frame_->Action(Command::kPause)->isChecked());

  frame_->OnStop();
  ASSERT_TRUE(WaitForRunEnd(true));
  ASSERT_TRUE(WaitForRunEnd(false));
  EXPECT_FALSE(app_.live_capture);
  EXPECT_TRUE(app_.data_loaded);
  EXPECT_TRUE(std::filesystem::exists(app_.sampling_file_name));
  EXPECT_TRUE(frame_->Split());
  QTRY_VERIFY_WITH_TIMEOUT(list.RowCount() > 0u, 2000);
  EXPECT_EQ(CellText(list, 0, 3).trimmed(), "50H");
  EXPECT_TRUE(frame_->close());
  ::unsetenv("VELIX_RUNTIME_DIR");
}

TEST_F(FrameTest, AnAnalyzerOnAFullSpeedPortIsAskedAbout) {
  DaemonProcess daemon(I2cScenario(), {"--speed", "full"});
  ASSERT_TRUE(daemon.running());
  ::setenv("VELIX_RUNTIME_DIR", daemon.folder().c_str(), 1);
  bool settings_shown = false;
  frame_->SetCaptureSettingsStep([&](const CaptureDialogValues&, const StartCaptureFn&) {
    settings_shown = true;
    return false;
  });
  Answer(kUsb1Question, Answer::kNo);
  frame_->OnCapture();
  EXPECT_TRUE(Asked(kUsb1Question));
  EXPECT_FALSE(settings_shown);
  // Yes goes on to the settings (cancelled here: nothing starts).
  Answer(kUsb1Question, Answer::kYes);
  frame_->OnCapture();
  ::unsetenv("VELIX_RUNTIME_DIR");
  EXPECT_TRUE(settings_shown);
  EXPECT_FALSE(app_.live_capture);
}

TEST_F(FrameTest, DroppedFilesAreOpened) {
  const std::string file = Synthesize("dropped.SIC", I2cScenario());
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(file))});
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  // Straight to the window: the application delivers drops only while a
  // real drag runs.
  static_cast<QObject*>(frame_.get())->event(&drop);
  ASSERT_TRUE(WaitForRunEnd(false));
  EXPECT_TRUE(app_.data_loaded);
  EXPECT_EQ(frame_->windowTitle().toStdString(), std::string(kMainWindowTitle) + " - " + file);
}

}  // namespace
}  // namespace orvane::ui::testing
