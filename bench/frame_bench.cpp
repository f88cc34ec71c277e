// The application's main window under load, offscreen:
//  1. opening a 512 MiB bus analyzer capture: how long the window's event
//     loop goes without running (the longest gap between 10 ms timer
//     ticks), how often the progress pane moves, and how long the stop
//     command takes to end the decode;
//  2. a live capture from the simulated analyzer streaming at a given rate
//     (default 200 MB/s) into a 256 MiB oneshot buffer while the list
//     follows: the run's result (an overrun would say so) and its rows.
// usage: frame_bench [RATE_BYTES_PER_S]
#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/capture_start_checks.h"
#include "Orvane/ui/main_frame.h"
#include "Orvane/ui/list/orvane_view.h"
#include "bench/bench_captures.h"
#include "driver/daemon/tests/daemon_process.h"
#include "platform/files.h"
#include "sim/synthesizer.h"

namespace {

constexpr uint64_t kOpenBytes = 512ull << 20;

// The event loop's stalls: every gap of 100 ms or more between 10 ms timer
// ticks, with when it ended.
struct LoopWatch {
  QElapsedTimer clock;
  qint64 last = 0;
  qint64 longest_gap = 0;
  QTimer timer;
  QString stalls;

  LoopWatch() {
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [this] {
      const qint64 now = clock.elapsed();
      longest_gap = std::max(longest_gap, now - last);
      if (now - last >= 100) stalls += QStringLiteral(" %1 ms (ending at %2 ms)").arg(now - last).arg(now);
      last = now;
    });
    clock.start();
    timer.start();
  }
};

void BenchOpen(orvane::AppState& state) {
  const std::string path = velix::platform::TempFolder() + "velix-frame-bench-512.SIC";
  velix::sim::SynthOptions options;
  options.target_size = kOpenBytes;
  std::string error;
  if (!velix::sim::SynthesizeSicFile(velix::bench::kDenseI2cScenario, options, path, "", &error)) {
    std::fprintf(stderr, "cannot synthesize: %s\n", error.c_str());
    std::exit(1);
  }
  for (const bool stop_early : {true, false}) {
    orvane::QtInteractionSink sink;
    orvane::ui::CMainFrame frame(state, sink, {});
    frame.show();
    QSignalSpy ended(&frame, &orvane::ui::CMainFrame::runEnded);
    int progress_moves = 0;
    int last_progress = -1;
    QTimer progress_probe;
    progress_probe.setInterval(50);
    QObject::connect(&progress_probe, &QTimer::timeout, [&] {
      const int value = frame.StatusPanes().Progress().value();
      if (value != last_progress) ++progress_moves;
      last_progress = value;
    });
    progress_probe.start();
    LoopWatch watch;
    QElapsedTimer open_clock;
    open_clock.start();
    QElapsedTimer call_clock;
    call_clock.start();
    frame.OpenFile(QString::fromStdString(path));
    std::printf("open 512 MiB: the open command (copy, map, worker start) took %lld ms\n",
                static_cast<long long>(call_clock.elapsed()));
    QElapsedTimer stop_clock;
    if (stop_early) {
      QObject::connect(&frame, &orvane::ui::CMainFrame::runEnded, [&stop_clock] {
        std::printf("open 512 MiB: the run's end was handled %.1f ms after the stop\n",
                    static_cast<double>(stop_clock.nsecsElapsed()) / 1e6);
      });
      QTimer::singleShot(1500, [&] {
        stop_clock.start();
        frame.OnStop();
        std::printf("open 512 MiB: stop after 1.5 s returned in %.1f ms\n",
                    static_cast<double>(stop_clock.nsecsElapsed()) / 1e6);
      });
    }
    ended.wait(120000);
    const double seconds = static_cast<double>(open_clock.nsecsElapsed()) / 1e9;
    std::printf("open 512 MiB%s: %.2f s (%.0f MB/s), longest event-loop gap %lld ms, progress moved %d times\n",
                stop_early ? " (stopped)" : "", seconds, static_cast<double>(kOpenBytes) / 1e6 / seconds,
                static_cast<long long>(watch.longest_gap), progress_moves);
    std::printf("  stalls:%s\n", qPrintable(watch.stalls));
    if (!stop_early) {
      QTest::qWait(200);
      std::printf("  rows listed: %u\n", frame.ListView().RowCount());
    }
  }
  velix::platform::DeleteFileAt(path);
}

// The demo scenario, as bench/capture_rate_bench.sh streams it.
std::string DemoScenario() {
  std::ifstream file(VELIX_SOURCE_DIR "/sim/scenarios/i2c_demo.scn");
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

void BenchLive(orvane::AppState& state, const std::string& rate) {
  velix::daemon::testing::DaemonProcess daemon(DemoScenario(),
                                               {"--rate", rate, "--size", std::to_string(96ull << 20)});
  if (!daemon.running()) {
    std::fprintf(stderr, "velixd did not start\n");
    std::exit(1);
  }
  ::setenv("VELIX_RUNTIME_DIR", daemon.folder().c_str(), 1);
  orvane::QtInteractionSink sink;
  sink.SetPresenter(
      [](const QString& text, velix::platform::Icon, velix::platform::Buttons, velix::platform::Answer answer) {
        std::printf("  message: %s\n", qPrintable(text));
        return answer;
      });
  orvane::ui::CMainFrame frame(state, sink, {});
  frame.show();
  frame.SetCaptureSettingsStep([](const orvane::CaptureDialogValues& values, const orvane::StartCaptureFn& start) {
    orvane::CaptureEntries entries = orvane::EntriesFromDialogValues(values);
    entries.bus = 1;
    entries.capture_size_mb = 256;
    entries.driver_buffer_mb = 16;
    return start(entries);
  });
  QSignalSpy ended(&frame, &orvane::ui::CMainFrame::runEnded);
  LoopWatch watch;
  QElapsedTimer clock;
  clock.start();
  frame.OnCapture();
  if (!ended.wait(120000)) std::printf("live capture did not end\n");
  const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
  const quint32 result = ended.isEmpty() ? 0 : ended.first().at(1).toUInt();
  std::printf("live 256 MiB at %s B/s: result 0x%X after %.2f s, longest event-loop gap %lld ms\n", rate.c_str(),
              result, seconds, static_cast<long long>(watch.longest_gap));
  std::printf("  stalls:%s\n", qPrintable(watch.stalls));
  ended.wait(120000);  // the reopened file's decode
  ::unsetenv("VELIX_RUNTIME_DIR");
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  orvane::AppState state;
  // A bench machine's memory-lock limit is not what is measured here.
  state.lock_memory = 0;
  state.temp_folder = velix::platform::TempFolder();
  state.sampling_file_name = state.temp_folder + "velix-frame-bench-live.SIC";
  BenchOpen(state);
  BenchLive(state, argc > 1 ? argv[1] : "200000000");
  velix::platform::DeleteFileAt(state.sampling_file_name);
  return 0;
}
