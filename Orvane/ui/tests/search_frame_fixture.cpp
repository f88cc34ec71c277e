#include "Orvane/ui/tests/search_frame_fixture.h"

#include <QProcess>
#include <QTest>

#include "Orvane/ui/list/orvane_view.h"

namespace orvane::ui::testing {
namespace {

// Rows: 0 write 0x50 12 34 56; 1 write 0x50 12, repeated START; 2 read 0x50
// 11 22 (the master's NACK before STOP); 3 write 0x51 of eleven data bytes
// ending in AA BB; 4 write 0x52 01 02, the 01 not acknowledged; 5 write 0x50
// AA BB; 6 write 0x53 with a clock high phase too short (an error).
constexpr char kScenario[] =
    "bus i2c0\nrate 50\nscl 400k\n"
    "start\naddr 0x50 w\nwrite 12 34 56\nstop\nidle 20us\n"
    "start\naddr 0x50 w\nwrite 12\nstart\naddr 0x50 r\nread 11 22\nstop\nidle 20us\n"
    "start\naddr 0x51 w\nwrite 00 01 02 03 04 05 06 07 08 AA BB\nstop\nidle 20us\n"
    "start\naddr 0x52 w\nwrite 01! 02\nstop\nidle 20us\n"
    "start\naddr 0x50 w\nwrite AA BB\nstop\nidle 20us\n"
    "tHIGH 300ns\nstart\naddr 0x53 w\nwrite 01\nstop\nscl 400k\nidle 20us\n";

}  // namespace

void SearchFrameTest::OpenCapture() {
  capture_ = Synthesize("search.SIC", kScenario);
  ASSERT_TRUE(frame_->OpenFile(QString::fromStdString(capture_)));
  ASSERT_TRUE(WaitForRunEnd(false));
  QTRY_COMPARE_WITH_TIMEOUT(frame_->ListView().RowCount(), 7u, 2000);
  ASSERT_NE(frame_->TabPane(), nullptr);
  tab_ = new RecordingTab;
  frame_->TabPane()->addTab(tab_, QStringLiteral("recording"));
  frame_->UpdateCommandStates();
}

void SearchFrameTest::Trigger(Command command) {
  frame_->UpdateCommandStates();
  QAction* action = frame_->Action(command);
  ASSERT_TRUE(action->isEnabled()) << action->text().toStdString();
  action->trigger();
}

std::optional<uint32_t> SearchFrameTest::SelectedIndex() {
  const quint32 row = frame_->ListView().CurrentRow();
  TransactionInfo record{};
  if (row == kNoListRow || !frame_->ListView().RecordAt(row, &record)) return std::nullopt;
  return record.Index;
}

std::string SearchFrameTest::StatusMessage() { return frame_->StatusPanes().MessageText().toStdString(); }

int SearchFrameTest::CliRows(const std::vector<std::string>& settings) {
  QStringList arguments = {QStringLiteral("decode"), QString::fromStdString(capture_)};
  for (const std::string& setting : settings) arguments << QStringLiteral("--set") << QString::fromStdString(setting);
  QProcess cli;
  cli.start(QStringLiteral(ORVANE_CLI_PATH), arguments);
  if (!cli.waitForFinished(20000) || cli.exitCode() != 0) {
    ADD_FAILURE() << cli.readAllStandardError().toStdString();
    return -1;
  }
  return static_cast<int>(cli.readAllStandardOutput().count('\n'));
}

}  // namespace orvane::ui::testing
