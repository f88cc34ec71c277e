// The transaction list over a full view index of 18,000,000 rows, offscreen:
// the time to paint one screen of rows at the end of the list, and the
// resident memory the model and view add (the table holds only the window
// of rows on screen, so they add nothing per row).
//
// The rows point at a few thousand hand-made records: the list's cost does
// not depend on the records being distinct, and decoding 18 million
// transactions would only make the setup slow.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QScrollBar>

#include <chrono>
#include <fstream>
#include <memory>
#include <string>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/orvane_doc.h"
#include "Orvane/ui/list/orvane_view.h"
#include "platform/recording_sink.h"

namespace {

using orvane::kRecordAnalyzer;
using orvane::kRecordComplete;
using orvane::kRecordI2C;
using orvane::kViewCapacity;
using orvane::RecordRef;
using orvane::TransactionInfo;
using orvane::TransactionStore;

constexpr uint32_t kDistinctRecords = 4096;

uint64_t RssKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stoull(line.substr(6));
  }
  return 0;
}

// A document whose view index holds 18,000,000 rows, and the list over it
// scrolled to the last row.
struct FullList {
  FullList() {
    app.settings.m_AnalyzeBusChannel = 1;
    app.settings.SamplePeriodCode = 2;
    doc.OnNewDocument();
    TransactionStore& store = doc.Sampling()->Records();
    for (uint32_t i = 0; i < kDistinctRecords; ++i) {
      const RecordRef ref = store.Allocate();
      TransactionInfo& r = store.At(ref);
      r.Index = i;
      r.RecordFlags = kRecordI2C | kRecordAnalyzer | kRecordComplete;
      r.bStartEndType = 0x11;
      r.Status = (i % 7 == 0) ? 0x0101 : 0;
      r.BitCount = 9 * 12;
      r.PreviewLen = 10;
      for (uint8_t b = 0; b < 10; ++b) r.Preview[b] = static_cast<uint8_t>(i + b);
      r.StartClock = uint64_t{i} * 12345;
      r.Duration = 1000 + i;
      r.i2c.I2CAddress = 0x50;
      store.AppendToList(ref);
    }
    for (uint32_t row = 0; row < kViewCapacity; ++row) store.AppendToView(row % kDistinctRecords);
    rows = store.ViewCount();

    rss_before_view_kb = RssKb();
    // An empty list first, shown, so what the toolkit itself takes (fonts,
    // the backing store) is told apart from what the rows add; the list
    // leaves the index alone while an analysis runs.
    app.analysis_running = true;
    view = std::make_unique<orvane::COrvaneView>(doc, app);
    view->resize(1200, 700);
    view->show();
    QCoreApplication::processEvents();
    rss_empty_view_kb = RssKb();
    app.analysis_running = false;
    const auto announce_start = std::chrono::steady_clock::now();
    view->OnUpdateTimer();
    QCoreApplication::processEvents();
    {
      QImage image(view->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
      view->viewport()->render(&image);
    }
    announce_ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - announce_start).count();
    rss_after_view_kb = RssKb();
  }

  orvane::AppState app;
  velix::platform::RecordingSink sink;
  orvane::COrvaneDoc doc{app, sink, nullptr, nullptr};
  std::unique_ptr<orvane::COrvaneView> view;
  uint32_t rows = 0;
  uint64_t rss_before_view_kb = 0;
  uint64_t rss_empty_view_kb = 0;
  uint64_t rss_after_view_kb = 0;
  double announce_ms = 0;  // announcing all rows, scrolling to the last, painting there
};

// Built by the first benchmark, destroyed before the application object.
std::unique_ptr<FullList> full_list;

FullList& List() {
  if (!full_list) full_list = std::make_unique<FullList>();
  return *full_list;
}

void BM_PaintLastScreen(benchmark::State& state) {
  FullList& list = List();
  QWidget* viewport = list.view->viewport();
  QImage image(viewport->size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    viewport->render(&image);
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["rows"] = list.rows;
  state.counters["last_row_shown"] = list.view->RowScrollBar()->value() == list.view->RowScrollBar()->maximum();
  state.counters["announce_ms"] = list.announce_ms;
  state.counters["rss_before_view_MiB"] = static_cast<double>(list.rss_before_view_kb) / 1024.0;
  state.counters["rss_added_by_view_MiB"] =
      static_cast<double>(list.rss_after_view_kb - list.rss_before_view_kb) / 1024.0;
  state.counters["rss_added_by_rows_KiB"] = static_cast<double>(list.rss_after_view_kb - list.rss_empty_view_kb);
}
BENCHMARK(BM_PaintLastScreen)->Unit(benchmark::kMillisecond);

// Jumping from the top to the last row and painting there.
void BM_JumpToEndAndPaint(benchmark::State& state) {
  FullList& list = List();
  QWidget* viewport = list.view->viewport();
  QImage image(viewport->size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    list.view->ScrollToRow(0);
    list.view->ScrollToRow(list.rows - 1);
    viewport->render(&image);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_JumpToEndAndPaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  full_list.reset();
  return 0;
}
