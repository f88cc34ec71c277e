// Cost of one waveform canvas paint (1000 x 215 pixels, with the ACK
// labels, timing marks and byte values of the transaction) at scales 1, 10,
// 100 and 500, at the start and at the end of (a) a short I2C transaction
// and (b) one I2C transaction of 0x7FFF0001 clocks with about ten million
// line changes. The painter keeps its seek index between paints, as the
// canvas does; "first_paint_at_end" is the one paint that builds it when
// the canvas has had no idle time since the selection, and
// "prepare_slice" one idle step of building it ahead (the longest step is
// reported as a counter).

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/run_events.h"
#include "Orvane/capture/sampling_obj.h"
#include "Orvane/decode/decode_context.h"
#include "Orvane/decode/detail_loader.h"
#include "Orvane/decode/i2c_analyzer.h"
#include "Orvane/decode/waveform_overlays.h"
#include "Orvane/ui/waveform_paint/waveform_painter.h"
#include "platform/files.h"
#include "platform/interaction.h"
#include "sim/synthesizer.h"

namespace {

constexpr int kWidth = 1000;
constexpr int kHeight = 215;

const char kShortScenario[] = R"(
bus i2c0
rate 50
scl 400k
start
addr 0x50 w
write 00 10 20 30 40 50 60 70
stop
idle 20us
)";

// 100 kHz at 50 MHz: 500 clocks a bit; 477,204 bytes of nine bits span just
// over 0x7FFF0001 clocks.
std::string LongScenario() {
  std::string text = "bus i2c0\nrate 50\nscl 100k\nstart\naddr 0x50 w\nwrite";
  static const char kDigits[] = "0123456789abcdef";
  for (uint32_t i = 0; i < 477'203; ++i) {
    const uint32_t b = (i * 131 + 7) & 0xFF;
    text += ' ';
    text += kDigits[b >> 4];
    text += kDigits[b & 0xF];
  }
  return text + "\nstop\nidle 20us\n";
}

// One decoded capture with its first transaction selected and its
// overlays built, as the waveform view holds them.
class Shown {
 public:
  Shown(const std::string& scenario, const char* name) : path_(velix::platform::TempFolder() + name) {
    std::string error;
    if (!velix::sim::SynthesizeSicFile(scenario, {}, path_, "", &error) ||
        sampling_.OpenCreateFileMapView(path_) != 0) {
      std::fprintf(stderr, "cannot prepare %s: %s\n", name, error.c_str());
      std::exit(1);
    }
    orvane::SicHeader header;
    sampling_.ReadFileHeader(&header);
    settings_ = orvane::SettingsFromSicHeader(header);
    orvane::RepairLoadedSettings(settings_);
    orvane::RunEventQueue events;
    orvane::DecodeContext ctx{sampling_, settings_, events};
    orvane::RunI2CAnalyzerDecode(ctx);
    record_ = sampling_.Records().At(sampling_.Records().Head());
    orvane::LoadTransactionDetail(sampling_, settings_, record_);
    orvane::BuildTransactionOverlays(sampling_, settings_, record_, &overlays_);
    std::fprintf(stderr, "%s: %u data bytes, first transaction %u clocks, %zu ACKs\n", name,
                 sampling_.m_lenSamplingDataInBuffer.load(), record_.Duration, overlays_.acks.size());
  }
  ~Shown() { velix::platform::DeleteFileAt(path_); }

  orvane::ui::WaveformScene Scene() { return {&sampling_, &settings_, record_, &overlays_, false}; }
  orvane::ui::WaveformWindow Window(uint32_t scale, bool at_end) const {
    orvane::ui::WaveformWindow w;
    w.min = -int32_t(record_.old_SignalClock);
    w.max = static_cast<int32_t>(record_.Duration);
    w.scale = scale;
    w.page = static_cast<int32_t>(int64_t(kWidth) * scale / 10);
    // As the scroll model keeps it: a range narrower than the canvas shows
    // from its start.
    w.left = at_end ? std::max(w.min, w.max - w.page) : w.min;
    w.right = w.left + w.page;
    return w;
  }

 private:
  std::string path_;
  orvane::AppState app_;
  velix::platform::NullSink sink_;
  orvane::CSamplingObj sampling_{app_, sink_};
  orvane::SettingsRecord settings_{};
  orvane::TransactionInfo record_{};
  orvane::WaveformOverlays overlays_;
};

Shown& ShortTransaction() {
  static Shown shown(kShortScenario, "velix-bench-paint-short.SIC");
  return shown;
}
Shown& LongTransaction() {
  static Shown shown(LongScenario(), "velix-bench-paint-long.SIC");
  return shown;
}

void PaintOnce(orvane::ui::WaveformPainter& painter, QImage& image, const orvane::ui::WaveformWindow& w) {
  QPainter p(&image);
  painter.Paint(p, image.size(), w);
}

void Paint(benchmark::State& state, Shown& (*shown)(), bool at_end) {
  Shown& s = shown();
  orvane::ui::WaveformPainter painter;
  painter.SetScene(s.Scene());
  QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  const auto w = s.Window(static_cast<uint32_t>(state.range(0)), at_end);
  PaintOnce(painter, image, w);  // the seek index, as an earlier paint left it
  for (auto _ : state) PaintOnce(painter, image, w);
}

void FirstPaintAtEnd(benchmark::State& state) {
  Shown& s = LongTransaction();
  QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  const auto w = s.Window(10, true);
  for (auto _ : state) {
    orvane::ui::WaveformPainter painter;
    painter.SetScene(s.Scene());
    PaintOnce(painter, image, w);
  }
}

void PrepareSlice(benchmark::State& state) {
  Shown& s = LongTransaction();
  double longest_ms = 0;
  int64_t slices = 0;
  for (auto _ : state) {
    orvane::ui::WaveformPainter painter;
    painter.SetScene(s.Scene());
    for (;;) {
      const auto begin = std::chrono::steady_clock::now();
      const bool more = painter.PrepareSome();
      const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - begin;
      longest_ms = std::max(longest_ms, took.count());
      ++slices;
      if (!more) break;
    }
  }
  state.counters["longest_slice_ms"] = longest_ms;
  state.counters["slices"] = static_cast<double>(slices) / static_cast<double>(state.iterations());
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  for (const bool at_end : {false, true}) {
    const std::string where = at_end ? "end" : "start";
    benchmark::RegisterBenchmark(("short_transaction_at_" + where).c_str(), Paint, ShortTransaction, at_end)
        ->Arg(1)->Arg(10)->Arg(100)->Arg(500)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("long_transaction_at_" + where).c_str(), Paint, LongTransaction, at_end)
        ->Arg(1)->Arg(10)->Arg(100)->Arg(500)->Unit(benchmark::kMillisecond);
  }
  benchmark::RegisterBenchmark("long_transaction_first_paint_at_end", FirstPaintAtEnd)
      ->Unit(benchmark::kMillisecond)->Iterations(3);
  benchmark::RegisterBenchmark("long_transaction_prepare_all_slices", PrepareSlice)
      ->Unit(benchmark::kMillisecond)->Iterations(3);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
