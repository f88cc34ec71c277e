// The export commands end to end: a synthesized capture opened in the main
// window, exported from the menu, and compared byte for byte with what the
// built orvane-cli writes for the same file (the command line and the
// window call the same core exports; running the real program also checks
// that both decode and filter the capture alike).
#include <gtest/gtest.h>

#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Orvane/decode/export_writer.h"
#include "Orvane/ui/dialogs/dlg_save_index_range.h"
#include "Orvane/ui/list/orvane_view.h"
#include "Orvane/ui/tests/frame_dialog_driver.h"
#include "Orvane/ui/tests/frame_fixture.h"
#include "sim/synthesizer.h"
#include "tools/orvane-cli/tests/run_command.h"

namespace orvane::ui::testing {
namespace {

using orvane::testing::RunCommand;

// A write and its read back (the last byte NACKed); repeated as often as a
// case needs rows.
constexpr char kI2cPair[] =
    "bus i2c0\nrate 50\nscl 400k\n"
    "start\naddr 0x50 w\nwrite 00 10\nstop\nidle 20us\n"
    "start\naddr 0x50 r\nread 11 22 33\nstop\nidle 30us\n";
// Repeated START, an address nobody acknowledges, a 10-bit write.
constexpr char kI2cMixed[] =
    "bus i2c0\nrate 50\nscl 400k\n"
    "start\naddr 0x50 w\nwrite 00\nstart\naddr 0x50 r\nread 11 22 33 44 55 66 77 88 99 AA BB 0C\nstop\nidle 20us\n"
    "start\naddr 0x33 w nack\nstop\nidle 10us\n"
    "start\naddr10 0x2A5 w\nwrite 41 42 7E 20\nstop\nidle 30us\n";
constexpr char kSpiBursts[] =
    "bus spi\nrate 50\nss active-low\nmode 0\nsclk 2m\n"
    "select\nxfer mosi=9F,00,00,00 miso=FF,EF,40,18\ndeselect\nidle 10us\n"
    "select\nxfer mosi=A5,F0 miso=5A,0F bits=12\ndeselect\nidle 20us\n";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class ExportFrameTest : public FrameTest {
 protected:
  std::string Capture(const std::string& name, const char* scenario, uint32_t repeat) {
    const std::string path = (folder_ / name).string();
    velix::sim::SynthOptions options;
    options.repeat = repeat;
    std::string error;
    EXPECT_TRUE(velix::sim::SynthesizeSicFile(scenario, options, path, "", &error)) << error;
    return path;
  }

  void Open(const std::string& file) {
    ASSERT_TRUE(frame_->OpenFile(QString::fromStdString(file)));
    ASSERT_TRUE(WaitForRunEnd(false));
    QTRY_VERIFY_WITH_TIMEOUT(frame_->ListView().RowCount() > 0u, 5000);
  }

  // Runs a menu command with the export file dialog answered by `path`.
  void Export(Command command, const std::string& path) {
    frame_->SetExportPathStep([path, command](Command asked) -> std::optional<std::string> {
      EXPECT_EQ(asked, command);
      return path;
    });
    frame_->UpdateCommandStates();
    ASSERT_TRUE(frame_->Action(command)->isEnabled());
    frame_->Action(command)->trigger();
  }

  // The text export with its settings dialog answered.
  void ExportText(const std::string& path, bool all_data) {
    bool dialog_seen = false;
    WhenModalOpens<DlgSaveIndexRange>([&dialog_seen, all_data](DlgSaveIndexRange& dialog) {
      dialog_seen = true;
      EXPECT_EQ(dialog.windowTitle().toStdString(), "[Save Transaction To Text] Setting");
      auto* choice = dialog.findChild<QRadioButton*>(all_data ? QStringLiteral("allData") : QStringLiteral("headerOnly"));
      choice->setChecked(true);
      QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("ok")), Qt::LeftButton);
    });
    Export(Command::kWriteText, path);
    EXPECT_TRUE(dialog_seen);
  }

  std::string Cli(const std::string& file, std::vector<std::string> args) {
    const std::string out = (folder_ / "cli.out").string();
    std::vector<std::string> argv = {ORVANE_CLI_PATH, "decode", file};
    argv.insert(argv.end(), args.begin(), args.end());
    for (std::string& arg : argv) {
      if (arg == "OUT") arg = out;
    }
    const auto result = RunCommand(argv);
    EXPECT_EQ(result.status, 0) << result.err;
    return ReadFile(out);
  }
};

TEST_F(ExportFrameTest, MenuExportsEqualTheCommandLineExports) {
  struct Case {
    const char* name;
    const char* scenario;
    Command command;
    bool all_data;
    std::vector<std::string> cli;
  };
  const std::vector<Case> cases = {
      {"i2c.SIC", kI2cMixed, Command::kWriteCsv, false, {"--csv", "OUT"}},
      {"i2c.SIC", kI2cMixed, Command::kWriteText, false, {"--text", "OUT"}},
      {"i2c.SIC", kI2cMixed, Command::kWriteText, true, {"--text", "OUT", "--all-data"}},
      {"spi.SIC", kSpiBursts, Command::kWriteCsv, false, {"--csv", "OUT"}},
      {"spi.SIC", kSpiBursts, Command::kWriteText, false, {"--text", "OUT"}},
      {"spi.SIC", kSpiBursts, Command::kWriteText, true, {"--text", "OUT", "--all-data"}},
  };
  std::string opened;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + c.cli[0] + (c.all_data ? " all" : ""));
    const std::string file = (folder_ / c.name).string();
    if (opened != c.name) {
      Capture(c.name, c.scenario, 20);
      Open(file);
      opened = c.name;
      // A row other than the first selected: the export leaves it selected.
      frame_->ListView().SelectRowAndShow(3);
    }
    const std::string path = (folder_ / "menu.out").string();
    if (c.command == Command::kWriteText) {
      ExportText(path, c.all_data);
    } else {
      Export(c.command, path);
    }
    const std::string menu = ReadFile(path);
    EXPECT_GT(menu.size(), 100u);
    EXPECT_EQ(menu, Cli(file, c.cli));
    EXPECT_EQ(frame_->ListView().CurrentRow(), 3u);
    EXPECT_TRUE(asked_.empty()) << asked_.front().text;
  }
}

TEST_F(ExportFrameTest, AFilteredRangeExportsOnlyItsRows) {
  const std::string file = Capture("range.SIC", kI2cPair, 20);
  Open(file);
  ASSERT_EQ(frame_->ListView().RowCount(), 40u);
  app_.settings.FilterEnable = 1;
  app_.settings.FilterRangeEnable = 1;
  app_.settings.FilterRangeStart = 5;
  app_.settings.FilterRangeEnd = 12;
  frame_->Doc().RebuildTransactionInfo();
  ASSERT_TRUE(WaitForRunEnd(false));
  QTRY_COMPARE_WITH_TIMEOUT(frame_->ListView().RowCount(), 8u, 5000);

  const std::string path = (folder_ / "range.csv").string();
  Export(Command::kWriteCsv, path);
  const std::string menu = ReadFile(path);
  EXPECT_EQ(menu, Cli(file, {"--csv", "OUT", "--set", "FilterEnable=1", "--set", "FilterRangeEnable=1", "--set",
                             "FilterRangeStart=5", "--set", "FilterRangeEnd=12"}));
  EXPECT_EQ(menu.rfind("\"5\", ", 0), 0u);
  EXPECT_NE(menu.find("\r\n\"12\", "), std::string::npos);
  EXPECT_EQ(menu.find("\"13\", "), std::string::npos);
}

TEST_F(ExportFrameTest, AFileThatCannotBeWrittenIsReported) {
  struct Case {
    std::string path;
    std::string message;
    std::string title;  // empty: the application's
  };
  const std::vector<Case> cases = {
      {"/dev/null/x.csv", "Not a directory\n Win32 ErrorCode : 20", kExportErrorTitle},
      {"/dev/full", "No space left on device\n Win32 ErrorCode : 28", kExportErrorTitle},
      {(folder_ / "missing" / "x.csv").string(),
       "File not found!\r\n <" + (folder_ / "missing" / "x.csv").string() + ">\r\n", ""},
  };
  Open(Capture("i2c.SIC", kI2cPair, 5));
  std::vector<std::string> titles;
  sink_.SetPresenter([this, &titles](const QString& text, velix::platform::Icon, velix::platform::Buttons buttons,
                                     velix::platform::Answer answer) {
    asked_.push_back({text.toStdString(), buttons});
    titles.push_back(sink_.BoxTitle().toStdString());
    return answer;
  });
  for (const Case& c : cases) {
    asked_.clear();
    titles.clear();
    Export(Command::kWriteCsv, c.path);
    ASSERT_EQ(asked_.size(), 1u) << c.path;
    EXPECT_EQ(asked_[0].text, c.message);
    EXPECT_EQ(titles[0], c.title) << c.path;
    // The title is the export's only.
    EXPECT_TRUE(sink_.BoxTitle().isEmpty());
  }
}

TEST_F(ExportFrameTest, ACancelledExportKeepsWhatItWroteAndSaysSo) {
  // More rows than two progress reports: the dialog shows at the first and
  // takes the click at the second.
  const std::string file = Capture("long.SIC", kI2cPair, 2600);
  Open(file);
  const uint32_t rows = frame_->ListView().RowCount();
  ASSERT_EQ(rows, 5200u);
  frame_->SetExportProgressDelay(0);
  bool clicked = false;
  std::function<void()> cancel_when_shown = [&] {
    auto* progress = frame_->findChild<QProgressDialog*>();
    if (progress != nullptr && progress->isVisible()) {
      clicked = true;
      progress->cancel();
    } else {
      QTimer::singleShot(5, cancel_when_shown);
    }
  };
  QTimer::singleShot(0, cancel_when_shown);
  const std::string path = (folder_ / "partial.csv").string();
  Export(Command::kWriteCsv, path);
  ASSERT_TRUE(clicked);
  EXPECT_TRUE(asked_.empty());

  const std::string full = Cli(file, {"--csv", "OUT"});
  const std::string partial = ReadFile(path);
  const uint32_t written = 2 * kExportProgressRows;
  size_t end = 0;
  for (uint32_t i = 0; i < written; ++i) end = full.find("\r\n", end) + 2;
  EXPECT_EQ(partial, full.substr(0, end));
  EXPECT_EQ(frame_->StatusPanes().MessageText().toStdString(),
            "Export cancelled: " + std::to_string(written) + " of 5200 transactions written to " + path);
  EXPECT_EQ(frame_->findChild<QProgressDialog*>(), nullptr);
}

}  // namespace
}  // namespace orvane::ui::testing
