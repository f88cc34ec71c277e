// Offline decode throughput on 256 MiB synthesized captures, in MB/s of
// sampling data: (a) the decoder alone, (b) the decoder with the I2C timing
// verification and the transaction filter, beside the atom-walk baseline.

#include <benchmark/benchmark.h>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/run_events.h"
#include "Orvane/capture/sampling_obj.h"
#include "Orvane/decode/analysis_worker.h"
#include "Orvane/decode/decode_context.h"
#include "Orvane/decode/run_decoder.h"
#include "Orvane/decode/transaction_filter.h"
#include "bench/bench_captures.h"
#include "platform/interaction.h"

namespace {

enum class Capture { kI2cAnalyzer, kSpiAnalyzer, kI2cMonitor };

const std::string& PathOf(Capture capture) {
  switch (capture) {
    case Capture::kI2cAnalyzer: return velix::bench::DenseI2cAnalyzerCapture();
    case Capture::kSpiAnalyzer: return velix::bench::SpiAnalyzerCapture();
    case Capture::kI2cMonitor: return velix::bench::DenseI2cMonitorCapture();
  }
  return velix::bench::DenseI2cAnalyzerCapture();
}

void Decode(benchmark::State& state, Capture capture, bool full) {
  orvane::AppState app;
  velix::platform::NullSink sink;
  orvane::CSamplingObj sampling(app, sink);
  const std::string& path = PathOf(capture);
  if (sampling.OpenCreateFileMapView(path) != 0) {
    state.SkipWithError("cannot map the capture");
    return;
  }
  orvane::SicHeader header;
  sampling.ReadFileHeader(&header);
  orvane::SettingsRecord settings = orvane::SettingsFromSicHeader(header);
  orvane::RepairLoadedSettings(settings);
  orvane::RunEventQueue events;
  uint32_t records = 0;
  for (auto _ : state) {
    state.PauseTiming();
    sampling.ResetForReanalysis();
    sampling.transaction_counter = 0;
    while (events.Take(0)) {
    }
    state.ResumeTiming();
    orvane::DecodeContext ctx{sampling, settings, events};
    ctx.verify_timing = full;
    const uint32_t result = orvane::RunDecoder(ctx, orvane::ChooseWorker(settings));
    if (orvane::IsErrorResult(result)) state.SkipWithError("the decode failed");
    if (full) orvane::ApplyTransactionFilter(sampling, settings, sink);
    records = sampling.transaction_counter;
  }
  state.SetBytesProcessed(static_cast<int64_t>(sampling.m_lenSamplingDataInBuffer) *
                          state.iterations());
  state.counters["records"] = records;
}

void BM_AtomWalkBaseline(benchmark::State& state) {
  uint32_t length = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(velix::bench::WalkAllAtoms(velix::bench::DenseI2cAnalyzerCapture(), &length));
  }
  state.SetBytesProcessed(static_cast<int64_t>(length) * state.iterations());
}

BENCHMARK(BM_AtomWalkBaseline)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(Decode, i2c_analyzer_decode_only, Capture::kI2cAnalyzer, false)
    ->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(Decode, i2c_analyzer_timing_filter, Capture::kI2cAnalyzer, true)
    ->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(Decode, spi_analyzer_decode_only, Capture::kSpiAnalyzer, false)
    ->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(Decode, spi_analyzer_filter, Capture::kSpiAnalyzer, true)
    ->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(Decode, i2c_monitor_decode_only, Capture::kI2cMonitor, false)
    ->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(Decode, i2c_monitor_filter, Capture::kI2cMonitor, true)
    ->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
