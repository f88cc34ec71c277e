// The real list view, offscreen, over decoded captures and hand-made
// records.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QApplication>
#include <QBrush>
#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "Orvane/capture/orvane_doc.h"
#include "Orvane/capture/run_events.h"
#include "Orvane/decode/analysis_worker.h"
#include "Orvane/decode/export_csv.h"
#include "Orvane/decode/run_end.h"
#include "Orvane/ui/list/orvane_view.h"
#include "platform/recording_sink.h"
#include "platform/tests/scratch_folder.h"
#include "sim/synthesizer.h"

namespace orvane {
namespace {

using velix::platform::testing::ScratchFolder;

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The fields of one CSV line, quotes removed.
std::vector<std::string> CsvFields(std::string line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  std::vector<std::string> fields;
  size_t from = 0;
  for (;;) {
    const size_t comma = line.find(", ", from);
    std::string field = line.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"') field = field.substr(1, field.size() - 2);
    fields.push_back(field);
    if (comma == std::string::npos) return fields;
    from = comma + 2;
  }
}

class ListViewTest : public ::testing::Test {
 protected:
  ListViewTest() {
    app_.temp_folder = temp_.Path();
    app_.sampling_file_name = temp_.File("test.SIC");
    doc_.OnNewDocument();
  }
  ~ListViewTest() override { doc_.OnCloseDocument(); }

  COrvaneView& View() {
    if (!view_) {
      view_.emplace(doc_, app_);
      view_->resize(640, 240);
    }
    return *view_;
  }
  // The text of a cell of the table's window.
  QString Cell(int row, int column, int role = Qt::DisplayRole) {
    const TransactionListModel& model = View().ListModel();
    return model.data(model.index(row, column), role).toString();
  }
  // The text of a cell of an absolute row, scrolled into the window.
  QString RowCell(uint32_t row, int column) {
    View().ScrollToRow(row);
    return Cell(static_cast<int>(row - View().FirstVisibleRow()), column);
  }
  QColor Colour(int row, int role) {
    const TransactionListModel& model = View().ListModel();
    return model.data(model.index(row, 0), role).value<QBrush>().color();
  }
  TransactionStore& Store() { return doc_.Sampling()->Records(); }

  // Opens a synthesized capture and waits for the decoding and the filter.
  void OpenDecoded(const std::string& scenario_file) {
    velix::sim::SynthOptions options;
    const std::string path = files_.File("capture.SIC");
    std::string error;
    ASSERT_TRUE(velix::sim::SynthesizeSicFile(ReadText(std::string(SIM_SCENARIO_DIR) + "/" + scenario_file),
                                              options, path, "", &error))
        << error;
    ASSERT_TRUE(doc_.OnOpenDocument(path));
    for (;;) {
      const std::optional<RunEvent> event = events_.Take(5000);
      ASSERT_TRUE(event.has_value()) << "no worker end";
      if (event->kind != RunEventKind::kWorkerEnd) continue;
      HandleRunEnd(doc_, event->a == 1, event->b, sink_, search_, nullptr);
      return;
    }
  }

  // `count` complete records in the view index (the live ring when the
  // store has its pool); `trigger` marks one of them.
  void AddRecords(uint32_t count, uint32_t trigger = kNoRecord) {
    for (uint32_t i = 0; i < count; ++i) {
      const RecordRef ref = Store().Allocate();
      TransactionInfo& r = Store().At(ref);
      r.Index = next_index_++;
      r.RecordFlags = kRecordI2C | kRecordAnalyzer | kRecordComplete;
      r.bStartEndType = kBeganStart | kEndedStop;
      if (i == trigger) r.RecordFlags |= kRecordTrigger;
      Store().AppendToList(ref);
      if (Store().PoolMode()) {
        Store().AppendToViewLive(ref);
      } else {
        Store().AppendToView(ref);
      }
    }
  }

  ScratchFolder temp_;
  ScratchFolder files_;
  AppState app_;
  velix::platform::RecordingSink sink_;
  RunEventQueue events_;
  AnalysisWorker worker_{app_, events_};
  COrvaneDoc doc_{app_, sink_, nullptr, &worker_};
  SearchMemory search_;
  std::optional<COrvaneView> view_;
  uint32_t next_index_ = 0;
};

class DecodedCaptureTest : public ListViewTest, public ::testing::WithParamInterface<const char*> {};

// Every cell the list shows says what the CSV export says for that record:
// the Number without its marks, the data columns as the start of the full
// bytes.
TEST_P(DecodedCaptureTest, RowsMatchTheCsvExport) {
  OpenDecoded(GetParam());
  COrvaneView& view = View();
  view.OnInitialUpdate();
  view.OnUpdateTimer();
  const TransactionListModel& model = view.ListModel();
  const uint32_t count = Store().ViewCount();
  ASSERT_GE(count, 3u);
  ASSERT_EQ(view.RowCount(), count);

  const std::string csv_path = files_.File("rows.csv");
  ExportEnv env = ApplicationExportEnv(*doc_.Sampling(), app_.settings, sink_, 0);
  ASSERT_TRUE(ExportTransactionCsvFile(env, csv_path).ok);
  std::istringstream csv(ReadText(csv_path));
  const std::vector<ListColumn>& columns = model.Columns();
  std::string line;
  for (uint32_t row = 0; row < count; ++row) {
    ASSERT_TRUE(std::getline(csv, line)) << "row " << row;
    const std::vector<std::string> fields = CsvFields(line);
    ASSERT_GE(fields.size(), columns.size()) << line;
    EXPECT_TRUE(RowCell(row, 0).endsWith(QString::fromStdString(fields[0]))) << RowCell(row, 0).toStdString();
    for (size_t c = 1; c < columns.size(); ++c) {
      const QString cell = RowCell(row, static_cast<int>(c));
      const bool data = columns[c].id == CellColumn::kMiso || columns[c].id == CellColumn::kMosi ||
                        columns[c].id == CellColumn::kData;
      if (!data) {
        EXPECT_EQ(cell.toStdString(), fields[c]) << "row " << row << " column " << columns[c].header;
        continue;
      }
      QString bytes = cell;
      bytes.remove(QStringLiteral("....")).replace(QLatin1Char('-'), QLatin1Char(' '));
      EXPECT_TRUE(QString::fromStdString(fields[c]).startsWith(bytes))
          << "row " << row << " list " << cell.toStdString() << " csv " << fields[c];
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, DecodedCaptureTest, ::testing::Values("i2c_demo.scn", "spi_demo.scn"),
                         [](const ::testing::TestParamInfo<const char*>& param) {
                           return std::string(param.param).substr(0, 3);
                         });

struct HeaderCase {
  const char* name;
  uint8_t channel;
  uint8_t forced;
  std::vector<QString> headers;
};

void PrintTo(const HeaderCase& header, std::ostream* out) { *out << header.name; }

class HeaderTest : public ListViewTest, public ::testing::WithParamInterface<HeaderCase> {};

TEST_P(HeaderTest, ColumnsOfTheCaptureKind) {
  COrvaneView& view = View();
  app_.settings.m_AnalyzeBusChannel = GetParam().channel;
  app_.settings.ForcedDisplay = GetParam().forced;
  view.OnInitialUpdate();
  const TransactionListModel& model = view.ListModel();
  std::vector<QString> headers;
  for (int c = 0; c < model.columnCount(); ++c) {
    headers.push_back(model.headerData(c, Qt::Horizontal).toString());
    // Wider than its header: every column adds a few characters' room.
    EXPECT_GT(view.columnWidth(c), view.fontMetrics().horizontalAdvance(headers.back()));
  }
  EXPECT_EQ(headers, GetParam().headers);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HeaderTest,
    ::testing::Values(
        HeaderCase{"Spi", 0, 0,
                   {"Number", "Time(s:ms:us)", "time span(us)", "Error, Info", "DataLen", "MISO Data  (Hex)",
                    "MOSI Data  (Hex)"}},
        HeaderCase{"I2C0", 1, 0,
                   {"Number", QString::fromUtf8("Time(s:ms:\u03bcs)"), "time span(us)", "Adrs", "R/W", "S/R/P",
                    "NACK", "Error, Info", "DataLen", "Data  (Hex)"}},
        HeaderCase{"I2C1", 2, 0,
                   {"Number", QString::fromUtf8("Time(s:ms:\u03bcs)"), "time span(us)", "Adrs", "R/W", "S/R/P",
                    "NACK", "Error, Info", "DataLen", "Data  (Hex)"}},
        HeaderCase{"ForcedSpi", 0, 1, {"Number", "Time(s:ms:us)", "time span(us)", "Error, Info"}},
        HeaderCase{"ForcedI2C", 1, 1, {"Number", "Time(s:ms:us)", "time span(us)", "Error, Info"}}),
    [](const ::testing::TestParamInfo<HeaderCase>& param) { return std::string(param.param.name); });

TEST_F(ListViewTest, RowColoursAndAlignment) {
  app_.settings.m_AnalyzeBusChannel = 1;
  AddRecords(4, 2);
  COrvaneView& view = View();
  view.OnInitialUpdate();
  view.OnUpdateTimer();
  EXPECT_FALSE(view.ListModel().data(view.ListModel().index(0, 0), Qt::BackgroundRole).isValid());
  EXPECT_EQ(Colour(1, Qt::BackgroundRole), QColor(224, 255, 255));
  EXPECT_EQ(Colour(2, Qt::BackgroundRole), QColor(202, 237, 82));
  EXPECT_EQ(Colour(2, Qt::ForegroundRole), QColor(255, 0, 255));
  EXPECT_EQ(Colour(3, Qt::ForegroundRole), QColor(8, 0, 0));
  EXPECT_EQ(Cell(2, 0), QStringLiteral("->2"));
  // What the painted rows show, away from the right-aligned text.
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  ASSERT_TRUE(view.SelectRowAndShow(1));
  const QImage painted = view.viewport()->grab().toImage();
  const auto pixel = [&](int row) {
    return painted.pixelColor(view.columnViewportPosition(1) + 3,
                              view.rowViewportPosition(row) + view.rowHeight(row) / 2);
  };
  EXPECT_EQ(pixel(0), view.palette().color(QPalette::Base));
  EXPECT_EQ(pixel(1), QColor(154, 205, 50));
  EXPECT_EQ(pixel(2), QColor(202, 237, 82));
  EXPECT_EQ(pixel(3), QColor(224, 255, 255));
  const auto alignment = [&](int column) {
    return view.ListModel().data(view.ListModel().index(0, column), Qt::TextAlignmentRole).toInt();
  };
  EXPECT_TRUE(alignment(0) & Qt::AlignRight);
  EXPECT_TRUE(alignment(4) & Qt::AlignHCenter);  // R/W
  EXPECT_TRUE(alignment(7) & Qt::AlignLeft);     // Error, Info
}

TEST_F(ListViewTest, CellsReportTheirTextsToAccessibility) {
  app_.settings.m_AnalyzeBusChannel = 1;
  AddRecords(3, 1);
  COrvaneView& view = View();
  view.OnInitialUpdate();
  view.OnUpdateTimer();
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&view);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->text(QAccessible::Name), QStringLiteral("Transactions"));
  QAccessibleTableInterface* table = list->tableInterface();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->rowCount(), 3);
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < table->columnCount(); ++column) {
      QAccessibleInterface* cell = table->cellAt(row, column);
      ASSERT_NE(cell, nullptr);
      EXPECT_EQ(cell->text(QAccessible::Name), Cell(row, column)) << row << "," << column;
    }
  }
}

TEST_F(ListViewTest, PauseCountsRowsWithoutScrolling) {
  ASSERT_TRUE(Store().CreatePool());
  app_.live_capture = true;
  app_.view_update_paused = true;
  COrvaneView& view = View();
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  view.OnInitialUpdate();
  AddRecords(200);
  view.OnUpdateTimer();
  EXPECT_EQ(view.RowCount(), 200u);
  EXPECT_EQ(view.RowScrollBar()->value(), 0);

  app_.view_update_paused = false;
  AddRecords(10);
  view.OnUpdateTimer();
  EXPECT_EQ(view.RowCount(), 210u);
  EXPECT_GT(view.RowScrollBar()->value(), 0);
  EXPECT_EQ(view.RowScrollBar()->value(), view.RowScrollBar()->maximum());
  // The last row is the table's last, shown whole.
  const int last = view.ListModel().rowCount() - 1;
  EXPECT_EQ(Cell(last, 0), QStringLiteral("209"));
  EXPECT_LE(view.rowViewportPosition(last) + view.rowHeight(last), view.viewport()->height());
  app_.live_capture = false;
}

TEST_F(ListViewTest, FullRingIsReadFromASnapshot) {
  ASSERT_TRUE(Store().CreatePool());
  app_.live_capture = true;
  COrvaneView& view = View();
  view.OnInitialUpdate();
  AddRecords(kLivePoolRecords + 10);
  view.OnUpdateTimer();
  EXPECT_FALSE(view.ListModel().InSnapshot());
  EXPECT_EQ(view.UpdateInterval(), 100);
  view.OnUpdateTimer();
  ASSERT_TRUE(view.ListModel().InSnapshot());
  EXPECT_EQ(view.UpdateInterval(), 500);
  EXPECT_EQ(RowCell(0, 0), QStringLiteral("10"));
  // New records overwrite the pool; the rows change with the next copy.
  AddRecords(5);
  EXPECT_EQ(RowCell(0, 0), QStringLiteral("10"));
  view.OnUpdateTimer();
  EXPECT_EQ(RowCell(0, 0), QStringLiteral("15"));
  app_.live_capture = false;
}

TEST_F(ListViewTest, SelectionIsReportedOutsideLiveCaptures) {
  AddRecords(5);
  COrvaneView& view = View();
  view.OnInitialUpdate();
  QSignalSpy selected(&view, &COrvaneView::transactionSelected);
  // The index was filled after the last tick: selecting still finds the row.
  ASSERT_TRUE(view.SelectRowAndShow(3));
  ASSERT_EQ(selected.count(), 1);
  EXPECT_EQ(selected.takeFirst().at(0).value<quint32>(), 3u);
  EXPECT_EQ(view.currentIndex().row(), 3);
  TransactionInfo record{};
  ASSERT_TRUE(view.RecordAt(3, &record));
  EXPECT_EQ(record.Index, 3u);
  EXPECT_FALSE(view.SelectRowAndShow(5));
  // The keyboard moves the selection as well.
  QTest::keyClick(&view, Qt::Key_Down);
  ASSERT_EQ(selected.count(), 1);
  EXPECT_EQ(selected.takeFirst().at(0).value<quint32>(), 4u);

  app_.live_capture = true;
  ASSERT_TRUE(view.SelectRowAndShow(1));
  EXPECT_EQ(selected.count(), 0);
  app_.live_capture = false;
}

// A shown list of 1,000 rows, the first selected.
class WindowedListTest : public ListViewTest {
 protected:
  void SetUp() override {
    AddRecords(kRows);
    COrvaneView& view = View();
    view.OnInitialUpdate();
    view.OnUpdateTimer();
    view.ScrollToRow(0);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    ASSERT_TRUE(view.SelectRowAndShow(0));
  }
  // Rows that fit whole: the bar's page.
  uint32_t Visible() { return static_cast<uint32_t>(View().RowScrollBar()->pageStep()); }
  // The absolute row the table has selected; kNoListRow for none.
  uint32_t TableSelection() {
    const QModelIndexList rows = View().selectionModel()->selectedRows();
    if (rows.size() != 1) return rows.isEmpty() ? kNoListRow : kNoListRow - 1;
    return View().FirstVisibleRow() + static_cast<uint32_t>(rows.first().row());
  }

  static constexpr uint32_t kRows = 1000;
};

TEST_F(WindowedListTest, TheTableHoldsOnlyTheRowsOnScreen) {
  COrvaneView& view = View();
  EXPECT_EQ(view.RowCount(), kRows);
  ASSERT_GT(Visible(), 3u);
  EXPECT_EQ(view.ListModel().rowCount(), static_cast<int>(Visible() + kListWindowMargin));
  EXPECT_EQ(view.verticalHeader()->count(), view.ListModel().rowCount());
  EXPECT_EQ(view.RowScrollBar()->maximum(), static_cast<int>(kRows - Visible()));
  EXPECT_TRUE(view.RowScrollBar()->isVisible());
  EXPECT_FALSE(view.verticalScrollBar()->isVisible());

  // The bar moves the window; the cells follow.
  view.RowScrollBar()->setValue(500);
  EXPECT_EQ(view.FirstVisibleRow(), 500u);
  EXPECT_EQ(Cell(0, 0), QStringLiteral("500"));
  EXPECT_EQ(view.rowViewportPosition(0), 0);
  // So does the wheel, three rows a notch.
  const QPoint inside = view.viewport()->rect().center();
  QWheelEvent wheel(inside, view.viewport()->mapToGlobal(inside), QPoint(), QPoint(0, -120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(view.viewport(), &wheel);
  EXPECT_EQ(view.FirstVisibleRow(), 503u);

  // A taller list holds more rows, still not all.
  view.resize(640, 480);
  QCoreApplication::processEvents();
  EXPECT_GT(Visible(), 20u);
  EXPECT_EQ(view.ListModel().rowCount(), static_cast<int>(Visible() + kListWindowMargin));
}

TEST_F(WindowedListTest, KeysMoveTheSelectionAcrossTheWindowEdge) {
  COrvaneView& view = View();
  QSignalSpy selected(&view, &COrvaneView::transactionSelected);
  const uint32_t steps = Visible() + 5;
  for (uint32_t i = 0; i < steps; ++i) QTest::keyClick(&view, Qt::Key_Down);
  ASSERT_EQ(selected.count(), static_cast<int>(steps));
  for (uint32_t i = 0; i < steps; ++i) EXPECT_EQ(selected.at(static_cast<int>(i)).at(0).value<quint32>(), i + 1);
  EXPECT_EQ(view.CurrentRow(), steps);
  EXPECT_EQ(TableSelection(), steps);
  EXPECT_EQ(view.FirstVisibleRow(), steps - Visible() + 1);
  EXPECT_EQ(view.currentIndex().row(), static_cast<int>(Visible() - 1));
  selected.clear();

  struct KeyCase {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    uint32_t row;
  };
  const uint32_t last = kRows - 1;
  const std::vector<KeyCase> keys = {
      {Qt::Key_End, Qt::NoModifier, last},       {Qt::Key_Up, Qt::NoModifier, last - 1},
      {Qt::Key_Home, Qt::NoModifier, 0},         {Qt::Key_PageDown, Qt::NoModifier, Visible()},
      {Qt::Key_End, Qt::ControlModifier, last},  {Qt::Key_PageUp, Qt::NoModifier, last - Visible()},
      {Qt::Key_Home, Qt::ControlModifier, 0},    {Qt::Key_Up, Qt::NoModifier, 0},
  };
  for (const KeyCase& key : keys) {
    QTest::keyClick(&view, key.key, key.modifiers);
    EXPECT_EQ(view.CurrentRow(), key.row) << key.key;
    EXPECT_EQ(TableSelection(), key.row) << key.key;
    EXPECT_GE(key.row, view.FirstVisibleRow()) << key.key;
    EXPECT_LT(key.row, view.FirstVisibleRow() + Visible()) << key.key;
  }
  // Up at the first row selects nothing new.
  ASSERT_EQ(selected.count(), static_cast<int>(keys.size()) - 1);
  EXPECT_EQ(selected.last().at(0).value<quint32>(), 0u);
  EXPECT_EQ(view.RowScrollBar()->value(), 0);
}

TEST_F(WindowedListTest, ASelectedRowScrolledOutOfSightStaysSelectedQuietly) {
  COrvaneView& view = View();
  ASSERT_TRUE(view.SelectRowAndShow(2));
  QSignalSpy selected(&view, &COrvaneView::transactionSelected);
  view.RowScrollBar()->setValue(600);
  EXPECT_EQ(TableSelection(), kNoListRow);
  EXPECT_EQ(view.CurrentRow(), 2u);
  view.RowScrollBar()->setValue(1);
  EXPECT_EQ(TableSelection(), 2u);
  EXPECT_EQ(selected.count(), 0);

  // The keys move on from the selected row, wherever the window is.
  view.RowScrollBar()->setValue(700);
  QTest::keyClick(&view, Qt::Key_Down);
  ASSERT_EQ(selected.count(), 1);
  EXPECT_EQ(selected.takeFirst().at(0).value<quint32>(), 3u);
  EXPECT_EQ(view.FirstVisibleRow(), 3u);

  // A click selects the absolute row under the pointer.
  view.RowScrollBar()->setValue(400);
  const int second = view.rowViewportPosition(1) + view.rowHeight(1) / 2;
  QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, second));
  ASSERT_EQ(selected.count(), 1);
  EXPECT_EQ(selected.takeFirst().at(0).value<quint32>(), 401u);
  EXPECT_EQ(view.CurrentRow(), 401u);

  // The last row, held in the window's spare row, then shown as the table
  // shrinks to the rows that fit: it stays selected.
  QTest::keyClick(&view, Qt::Key_End);
  ASSERT_EQ(selected.count(), 1);
  selected.clear();
  const int bottom = view.RowScrollBar()->maximum();
  view.RowScrollBar()->setValue(bottom - 1);
  view.RowScrollBar()->setValue(bottom);
  EXPECT_EQ(view.CurrentRow(), kRows - 1);
  EXPECT_EQ(TableSelection(), kRows - 1);
  EXPECT_EQ(selected.count(), 0);
}

TEST_F(WindowedListTest, FewerRowsDropTheSelectionAndCountChangesAreSignalled) {
  COrvaneView& view = View();
  ASSERT_TRUE(view.SelectRowAndShow(kRows - 1));
  QSignalSpy counts(&view, &COrvaneView::rowCountChanged);
  Store().ResetView();
  view.OnUpdateTimer();
  ASSERT_EQ(counts.count(), 1);
  EXPECT_EQ(counts.takeFirst().at(0).value<quint32>(), 0u);
  EXPECT_EQ(view.RowCount(), 0u);
  EXPECT_EQ(view.CurrentRow(), kNoListRow);
  EXPECT_EQ(view.ListModel().rowCount(), 0);
  EXPECT_FALSE(view.RowScrollBar()->isVisible());
  view.OnInitialUpdate();
  EXPECT_EQ(counts.count(), 1);
}

TEST_F(ListViewTest, BusyCursorWhileACaptureOrAnAnalysisRuns) {
  COrvaneView& view = View();
  for (const bool live : {false, true}) {
    app_.live_capture = live;
    app_.analysis_running = !live;
    view.OnUpdateTimer();
    EXPECT_EQ(view.viewport()->cursor().shape(), Qt::BusyCursor);
  }
  app_.live_capture = false;
  app_.analysis_running = false;
  view.OnUpdateTimer();
  EXPECT_EQ(view.viewport()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(ListViewTest, CopesWithoutASamplingObject) {
  AddRecords(3);
  COrvaneView& view = View();
  view.OnUpdateTimer();
  ASSERT_EQ(view.RowCount(), 3u);
  doc_.OnCloseDocument();
  EXPECT_EQ(Cell(1, 0), QString());
  TransactionInfo record{};
  EXPECT_FALSE(view.RecordAt(1, &record));
  EXPECT_FALSE(view.SelectRowAndShow(1));
  view.OnUpdateTimer();
  view.OnInitialUpdate();
  EXPECT_EQ(view.RowCount(), 0u);
  EXPECT_EQ(view.ListModel().rowCount(), 0);
}

}  // namespace
}  // namespace orvane

int main(int argc, char** argv) {
  // Tests and their discovery run without a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
