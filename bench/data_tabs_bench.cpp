// The data tabs under a large transaction, offscreen: an SPI capture and an
// I2C capture, each with two transactions of 64 KiB, opened in the main
// window; the two are selected in turn, and every selection loads the
// detail, hands it to every tab and paints each tab once. Prints the
// milliseconds per selection (mean and worst) and how they split between
// the selection and the painting (the views' layout included), and the
// processor time per selection.
#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <ctime>
#include <vector>

#include "Orvane/capture/app_state.h"
#include "Orvane/decode/detail_loader.h"
#include "Orvane/ui/list/orvane_view.h"
#include "Orvane/ui/main_frame.h"
#include "platform/files.h"
#include "sim/synthesizer.h"

namespace {

constexpr uint32_t kTransactionBytes = 64 * 1024;
constexpr int kSelections = 40;

// The process's processor time: on a loaded machine the wall clock also
// counts the time other processes had the processor.
qint64 CpuNs() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

std::string ByteList(uint32_t count, uint32_t seed, const char* separator) {
  std::string text;
  text.reserve(count * 3);
  for (uint32_t i = 0; i < count; ++i) {
    char byte[8];
    std::snprintf(byte, sizeof byte, "%s%02X", i == 0 ? "" : separator, (i * 7 + seed) & 0xFF);
    text += byte;
  }
  return text;
}

std::string SpiScenario() {
  std::string text = "bus spi\nrate 50\nss active-low\nmode 0\nsclk 10m\nset SpiDataLength 65536\n";
  for (uint32_t seed : {1u, 2u}) {
    text += "select\nxfer mosi=" + ByteList(kTransactionBytes, seed, ",") +
            " miso=" + ByteList(kTransactionBytes, seed + 100, ",") + "\ndeselect\nidle 10us\n";
  }
  return text;
}

std::string I2cScenario() {
  std::string text = "bus i2c0\nrate 50\nscl 1m\n";
  for (uint32_t seed : {1u, 2u}) {
    text += "start\naddr 0x50 w\nwrite " + ByteList(kTransactionBytes - 1, seed, " ") + "\nstop\nidle 20us\n";
  }
  return text;
}

void Bench(orvane::AppState& state, const char* name, const std::string& scenario) {
  const std::string path = state.temp_folder + "velix-data-tabs-bench.SIC";
  std::string error;
  if (!velix::sim::SynthesizeSicFile(scenario, {}, path, "", &error)) {
    std::fprintf(stderr, "cannot synthesize: %s\n", error.c_str());
    std::exit(1);
  }
  orvane::QtInteractionSink sink;
  orvane::ui::CMainFrame frame(state, sink, {});
  frame.resize(1000, 700);
  frame.show();
  QSignalSpy ended(&frame, &orvane::ui::CMainFrame::runEnded);
  if (!frame.OpenFile(QString::fromStdString(path)) || !ended.wait(60000)) {
    std::fprintf(stderr, "%s: the capture did not open\n", name);
    std::exit(1);
  }
  orvane::COrvaneView& list = frame.ListView();
  frame.ListView().OnUpdateTimer();
  QTabWidget* pane = frame.TabPane();
  // The two large transactions (a full-length SPI transfer is followed by
  // an empty one when the select line rises).
  std::vector<quint32> rows;
  for (quint32 row = 0; row < list.RowCount(); ++row) {
    orvane::TransactionInfo record{};
    if (list.RecordAt(row, &record) && record.BitCount >= kTransactionBytes * 8) rows.push_back(row);
  }
  if (rows.size() != 2 || pane == nullptr) {
    std::fprintf(stderr, "%s: %zu large transactions, no tab pane\n", name, rows.size());
    std::exit(1);
  }
  // The detail's extraction alone, for comparison: the rest of a selection
  // is the tabs' work.
  QElapsedTimer clock;
  qint64 load_ns = 0;
  for (int i = 0; i < kSelections; ++i) {
    orvane::TransactionInfo record{};
    list.RecordAt(rows[static_cast<size_t>(i % 2)], &record);
    clock.start();
    orvane::LoadTransactionDetail(*frame.Doc().Sampling(), state.settings, record);
    load_ns += clock.nsecsElapsed();
  }
  const uint32_t detail_bytes = frame.Doc().Sampling()->Detail().count;
  const qint64 cpu_before = CpuNs();
  qint64 select_ns = 0;
  qint64 paint_ns = 0;
  qint64 worst_ns = 0;
  std::vector<qint64> tab_ns(static_cast<size_t>(pane->count()), 0);
  for (int i = 0; i < kSelections; ++i) {
    clock.start();
    list.SelectRowAndShow(rows[static_cast<size_t>(i % 2)]);
    const qint64 selected = clock.nsecsElapsed();
    for (int tab = 0; tab < pane->count(); ++tab) {
      const qint64 tab_start = clock.nsecsElapsed();
      pane->setCurrentIndex(tab);
      pane->currentWidget()->repaint();
      // The text view lays its document out from the event loop.
      QCoreApplication::processEvents();
      tab_ns[static_cast<size_t>(tab)] += clock.nsecsElapsed() - tab_start;
    }
    const qint64 total = clock.nsecsElapsed();
    select_ns += selected;
    paint_ns += total - selected;
    worst_ns = std::max(worst_ns, total);
  }
  const qint64 cpu_ns = CpuNs() - cpu_before;
  const auto ms = [](qint64 ns, int count) { return static_cast<double>(ns) / 1e6 / count; };
  std::printf("%s, %u bytes, %d tabs: %.2f ms per selection (select %.2f, of which extraction %.2f; paint %.2f), "
              "worst %.2f ms\n",
              name, detail_bytes, pane->count(), ms(select_ns + paint_ns, kSelections), ms(select_ns, kSelections),
              ms(load_ns, kSelections), ms(paint_ns, kSelections), ms(worst_ns, 1));
  std::printf("  processor time %.2f ms per selection\n", ms(cpu_ns, kSelections));
  for (int tab = 0; tab < pane->count(); ++tab) {
    std::printf("  %s: %.2f ms to show and paint\n", qPrintable(pane->tabText(tab)),
                ms(tab_ns[static_cast<size_t>(tab)], kSelections));
  }
  frame.OnFileClose();
  velix::platform::DeleteFileAt(path);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  orvane::AppState state;
  state.temp_folder = velix::platform::TempFolder();
  state.sampling_file_name = state.temp_folder + "velix-data-tabs-bench-live.SIC";
  Bench(state, "SPI", SpiScenario());
  Bench(state, "I2C", I2cScenario());
  return 0;
}
