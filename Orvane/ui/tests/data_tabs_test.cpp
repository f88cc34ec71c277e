// The data tabs in the main window offscreen, over synthesized captures:
// which tabs each bus gives, the selected transaction's bytes against the
// text report orvane-cli writes for the same file, a search result painted
// into the dump, and the tabs reached and walked with the keyboard.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QTextDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <map>
#include <vector>

#include "Orvane/ui/list/orvane_view.h"
#include "Orvane/ui/tabs/dump_colours.h"
#include "Orvane/ui/tabs/view_dump.h"
#include "Orvane/ui/tabs/view_dump_list.h"
#include "Orvane/ui/tests/frame_fixture.h"

namespace orvane::ui::testing {
namespace {

// A write of 20 bytes (two dump rows), a read whose last byte is NACKed.
constexpr char kI2cScenario[] =
    "bus i2c0\nrate 50\nscl 400k\n"
    "start\naddr 0x50 w\nwrite 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12\nstop\nidle 20us\n"
    "start\naddr 0x50 r\nread 11 22 33\nstop\nidle 30us\n";
// Read ID and a second transfer of 17 bytes each way.
constexpr char kSpiScenario[] =
    "bus spi\nrate 50\nss active-low\nmode 0\nsclk 2m\n"
    "select\nxfer mosi=9F,00,00,00 miso=FF,EF,40,18\ndeselect\nidle 10us\n"
    "select\nxfer mosi=01,02,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F,10,11 "
    "miso=F1,F2,F3,F4,F5,F6,F7,F8,F9,FA,FB,FC,FD,FE,FF,20,7F\ndeselect\nidle 10us\n";

// What orvane-cli's text report with all data says about one transaction:
// its packet line and the bytes of each dump ("I2C", "MISO", "MOSI").
struct ReportedTransaction {
  std::string packet;
  std::map<std::string, std::vector<uint8_t>> dumps;
};

ReportedTransaction Reported(const std::string& file, const std::string& temp, uint32_t index) {
  QProcess cli;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("TMPDIR"), QString::fromStdString(temp));
  cli.setProcessEnvironment(environment);
  cli.start(QStringLiteral(ORVANE_CLI_PATH),
            {QStringLiteral("decode"), QString::fromStdString(file), QStringLiteral("--text"), QStringLiteral("-"),
             QStringLiteral("--all-data")});
  EXPECT_TRUE(cli.waitForFinished(20000));
  ReportedTransaction out;
  const QStringList lines = QString::fromLatin1(cli.readAllStandardOutput()).split(QStringLiteral("\r\n"));
  bool inside = false;
  std::string dump;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const QString& line = lines[i];
    if (const QRegularExpressionMatch number = QRegularExpression(QStringLiteral("^Transaction Number : (\\d+)")).match(line);
        number.hasMatch()) {
      inside = number.captured(1).toUInt() == index;
    } else if (!inside) {
      continue;
    } else if (line.contains(QStringLiteral("I2C Packet")) && i + 1 < lines.size()) {
      out.packet = lines[i + 1].toStdString();
    } else if (line.contains(QStringLiteral("DATA DUMP"))) {
      dump = line.contains(QStringLiteral("[MISO]")) ? "MISO" : line.contains(QStringLiteral("[MOSI]")) ? "MOSI" : "I2C";
    } else if (!dump.empty() && line.size() > 9 && line.mid(6, 3) == QStringLiteral(" : ")) {
      const QString hex = line.mid(9, line.indexOf(QStringLiteral("  ::")) - 9);
      for (const QString& token : hex.split(QRegularExpression(QStringLiteral("[ -]")), Qt::SkipEmptyParts)) {
        out.dumps[dump].push_back(static_cast<uint8_t>(token.toUInt(nullptr, 16)));
      }
    }
  }
  return out;
}

// The bytes a dump list shows, read back from its column 1 texts; with a
// `parity`, only those of the even (0) or odd (1) rows.
std::vector<uint8_t> ShownBytes(const ViewDumpList& view, int parity = -1) {
  std::vector<uint8_t> bytes;
  const DumpListModel& model = view.DumpModel();
  for (int row = 0; row < model.rowCount(); ++row) {
    if (parity >= 0 && row % 2 != parity) continue;
    const QString hex = model.data(model.index(row, 1)).toString();
    for (const QString& token : hex.split(QRegularExpression(QStringLiteral("[ -]")), Qt::SkipEmptyParts)) {
      bytes.push_back(static_cast<uint8_t>(token.toUInt(nullptr, 16)));
    }
  }
  return bytes;
}

QStringList TabLabels(QTabWidget* pane) {
  QStringList labels;
  for (int i = 0; pane != nullptr && i < pane->count(); ++i) labels << pane->tabText(i);
  return labels;
}

template <typename View>
View* Tab(CMainFrame& frame, const char* label) {
  auto* pane = static_cast<CTabbedViewView*>(frame.TabPane());
  const int index = pane != nullptr ? pane->TabIndexOf(label) : -1;
  return index >= 0 ? qobject_cast<View*>(pane->widget(index)) : nullptr;
}

// Pixels of one colour in a widget's painted picture.
int PixelsOf(QWidget* widget, const Rgb& colour) {
  const QImage picture = widget->grab().toImage();
  int count = 0;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) count += picture.pixel(x, y) == qRgb(colour.r, colour.g, colour.b);
  }
  return count;
}

class DataTabsTest : public FrameTest {
 protected:
  // Opens a synthesized capture and waits until the list holds its rows.
  std::string Open(const char* name, const char* scenario) {
    const std::string file = Synthesize(name, scenario);
    EXPECT_TRUE(frame_->OpenFile(QString::fromStdString(file)));
    EXPECT_TRUE(WaitForRunEnd(false));
    QTest::qWait(150);  // the list announces its rows on its timer
    return file;
  }
  uint32_t Select(quint32 row) {
    TransactionInfo record{};
    EXPECT_TRUE(frame_->ListView().SelectRowAndShow(row));
    EXPECT_TRUE(frame_->ListView().RecordAt(row, &record));
    return record.Index;
  }
};

TEST_F(DataTabsTest, I2cTabsShowTheBytesTheTextReportHolds) {
  int made = 0;
  frame_->SetTimingTabFactory([&made](QWidget* parent) {
    ++made;
    return new QWidget(parent);
  });
  const std::string file = Open("i2c.SIC", kI2cScenario);
  ASSERT_TRUE(frame_->Split());
  EXPECT_EQ(TabLabels(frame_->TabPane()), (QStringList{"Packet", "DATA", "Timing"}));
  EXPECT_GE(made, 1);
  ASSERT_EQ(frame_->DataTabs().size(), 2u);  // the stand-in for the waveform is no data tab

  for (quint32 row : {0u, 1u}) {
    SCOPED_TRACE(row);
    const uint32_t index = Select(row);
    const ReportedTransaction reported = Reported(file, folder_.string(), index);
    auto* data = Tab<ViewDumpList>(*frame_, "DATA");
    auto* packet = Tab<ViewDump>(*frame_, "Packet");
    ASSERT_NE(data, nullptr);
    ASSERT_NE(packet, nullptr);
    ASSERT_FALSE(reported.dumps.at("I2C").empty());
    EXPECT_EQ(ShownBytes(*data), reported.dumps.at("I2C"));
    // The view breaks the line to its width; the text is the report's line.
    const QString text = packet->toPlainText();
    EXPECT_EQ(text.left(text.indexOf(QStringLiteral("\n\n"))).remove('\n').toStdString(), reported.packet);
    EXPECT_TRUE(packet->toPlainText().contains("[S] Start,  [R] Repeat,  [P] Stop,   . ACK,   ? NACK"));
  }
  // Address, 19 data bytes: two rows, the second with four bytes at 0x10.
  Select(0);
  const DumpListModel& model = Tab<ViewDumpList>(*frame_, "DATA")->DumpModel();
  ASSERT_EQ(model.rowCount(), 2);
  EXPECT_EQ(model.data(model.index(1, 0)).toString(), "  000010");
  EXPECT_EQ(model.data(model.index(1, 1)).toString(), " 0F 10 11 12");
}

TEST_F(DataTabsTest, SpiTabsShowBothLinesAsTheTextReportDoes) {
  const std::string file = Open("spi.SIC", kSpiScenario);
  ASSERT_TRUE(frame_->Split());
  EXPECT_EQ(TabLabels(frame_->TabPane()), (QStringList{"DATA MISO", "DATA MOSI", "DATA MISO+MOSI", "Timing"}));
  const uint32_t index = Select(1);
  const ReportedTransaction reported = Reported(file, folder_.string(), index);
  ASSERT_EQ(reported.dumps.at("MISO").size(), 17u);
  auto* miso = Tab<ViewDumpList>(*frame_, "DATA MISO");
  auto* mosi = Tab<ViewDumpList>(*frame_, "DATA MOSI");
  auto* both = Tab<ViewDumpList>(*frame_, "DATA MISO+MOSI");
  ASSERT_TRUE(miso && mosi && both);
  EXPECT_EQ(ShownBytes(*miso), reported.dumps.at("MISO"));
  EXPECT_EQ(ShownBytes(*mosi), reported.dumps.at("MOSI"));
  EXPECT_EQ(ShownBytes(*both, 0), reported.dumps.at("MISO"));
  EXPECT_EQ(ShownBytes(*both, 1), reported.dumps.at("MOSI"));
  const DumpListModel& model = miso->DumpModel();
  EXPECT_EQ(model.data(model.index(0, 2)).toString(), "............... ");  // F1..FF, 20
  EXPECT_EQ(model.data(model.index(1, 2)).toString(), ".");                 // 7F
  EXPECT_EQ(both->DumpModel().data(both->DumpModel().index(3, 0)).toString(), "         [MOSI]");
}

TEST_F(DataTabsTest, OpeningAnotherBusRebuildsTheTabs) {
  Open("i2c.SIC", kI2cScenario);
  EXPECT_EQ(TabLabels(frame_->TabPane()), (QStringList{"Packet", "DATA", "Timing"}));
  Open("spi.SIC", kSpiScenario);
  EXPECT_EQ(TabLabels(frame_->TabPane()), (QStringList{"DATA MISO", "DATA MOSI", "DATA MISO+MOSI", "Timing"}));
  Select(0);
  EXPECT_EQ(ShownBytes(*Tab<ViewDumpList>(*frame_, "DATA MOSI")), (std::vector<uint8_t>{0x9F, 0, 0, 0}));
}

TEST_F(DataTabsTest, ASelectionUnderChangedSettingsGetsTheirTabs) {
  frame_->SetTimingTabFactory([](QWidget* parent) { return new QWidget(parent); });
  Open("i2c.SIC", kI2cScenario);
  ASSERT_EQ(TabLabels(frame_->TabPane()), (QStringList{"Packet", "DATA", "Timing"}));
  app_.settings.ForcedDisplay = 1;
  Select(1);
  EXPECT_EQ(TabLabels(frame_->TabPane()), (QStringList{"Timing"}));
  EXPECT_TRUE(frame_->DataTabs().empty());
}

TEST_F(DataTabsTest, ASearchResultIsPaintedRedOnYellowInEveryDump) {
  Open("spi.SIC", kSpiScenario);
  Select(1);
  auto* pane = frame_->TabPane();
  auto* miso = Tab<ViewDumpList>(*frame_, "DATA MISO");
  auto* mosi = Tab<ViewDumpList>(*frame_, "DATA MOSI");
  pane->setCurrentWidget(miso);
  EXPECT_EQ(PixelsOf(miso->viewport(), kDumpHighlightBackground), 0);

  frame_->HighlightTabs(15, HighlightKind::kMiso, 2, std::nullopt);  // across the row end
  const DumpListModel& model = miso->DumpModel();
  EXPECT_EQ(model.data(model.index(0, 1), DumpListModel::kHighlightRole).toPoint(), QPoint(46, 48));
  EXPECT_EQ(model.data(model.index(1, 1), DumpListModel::kHighlightRole).toPoint(), QPoint(1, 3));
  EXPECT_GT(PixelsOf(miso->viewport(), kDumpHighlightBackground), 0);
  EXPECT_GT(PixelsOf(miso->viewport(), kDumpHighlightText), 0);
  // The MOSI list marks the same offsets in its own bytes.
  pane->setCurrentWidget(mosi);
  EXPECT_GT(PixelsOf(mosi->viewport(), kDumpHighlightBackground), 0);

  // A new selection clears the mark.
  Select(0);
  pane->setCurrentWidget(miso);
  EXPECT_EQ(PixelsOf(miso->viewport(), kDumpHighlightBackground), 0);
}

TEST_F(DataTabsTest, ANackSearchSelectsTheMarkInThePacket) {
  Open("i2c.SIC", kI2cScenario);
  Select(1);
  frame_->HighlightTabs(3, HighlightKind::kNack, 1, std::nullopt);
  auto* packet = Tab<ViewDump>(*frame_, "Packet");
  ASSERT_NE(packet, nullptr);
  EXPECT_EQ(packet->textCursor().selectedText(), "?");
  frame_->HighlightTabs(1, HighlightKind::kI2cData, 2, std::nullopt);
  EXPECT_EQ(packet->textCursor().selectedText(), "11. 22.");
  // Narrower, the line breaks elsewhere; the find stays selected.
  frame_->TabPane()->setCurrentWidget(packet);
  packet->resize(12 * QFontMetrics(packet->font()).horizontalAdvance('0'), packet->height());
  EXPECT_EQ(packet->textCursor().selectedText().remove(QChar::ParagraphSeparator), "11. 22.");
  EXPECT_GT(packet->document()->blockCount(), 4);
}

// Behind another tab the packet is laid out only when it is shown, with
// the transaction and the find selected then.
TEST_F(DataTabsTest, AHiddenPacketShowsTheLatestSelectionWhenTurnedTo) {
  Open("i2c.SIC", kI2cScenario);
  auto* packet = Tab<ViewDump>(*frame_, "Packet");
  ASSERT_NE(packet, nullptr);
  Select(0);
  const QString first = packet->toPlainText();
  frame_->TabPane()->setCurrentWidget(Tab<ViewDumpList>(*frame_, "DATA"));
  Select(1);
  frame_->HighlightTabs(3, HighlightKind::kNack, 1, std::nullopt);
  frame_->TabPane()->setCurrentWidget(packet);
  EXPECT_NE(packet->toPlainText(), first);
  EXPECT_TRUE(packet->toPlainText().startsWith("[S] "));
  EXPECT_EQ(packet->textCursor().selectedText(), "?");
}

TEST_F(DataTabsTest, KeyboardReachesTheTabsAndWalksTheRows) {
  Open("i2c.SIC", kI2cScenario);
  Select(0);
  QApplication::setActiveWindow(frame_.get());
  frame_->ListView().setFocus();
  auto* pane = frame_->TabPane();
  pane->setCurrentIndex(pane->indexOf(Tab<ViewDumpList>(*frame_, "DATA")));
  auto* data = Tab<ViewDumpList>(*frame_, "DATA");

  QTest::keyClick(frame_.get(), Qt::Key_F6);
  EXPECT_EQ(QApplication::focusWidget(), data);
  QTest::keyClick(data, Qt::Key_Down);
  QTest::keyClick(data, Qt::Key_Down);
  EXPECT_EQ(data->currentIndex().row(), 1);
  QTest::keyClick(data, Qt::Key_Up);
  EXPECT_EQ(data->currentIndex().row(), 0);

  // Ctrl+Tab turns to the next tab, round to the first.
  QTest::keyClick(data, Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(pane->tabText(pane->currentIndex()), "Timing");
  QTest::keyClick(pane->currentWidget(), Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(pane->currentIndex(), 0);
  EXPECT_EQ(pane->tabText(pane->currentIndex()), "Packet");

  QTest::keyClick(frame_.get(), Qt::Key_F6);
  EXPECT_TRUE(frame_->ListView().hasFocus());
}

}  // namespace
}  // namespace orvane::ui::testing
