// Walking every atom of a 256 MiB analyzer capture from its file, beside a
// plain sequential read of the same file in the same run.

#include <benchmark/benchmark.h>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/atom_walker.h"
#include "Orvane/capture/sampling_obj.h"
#include "bench/bench_captures.h"
#include "platform/interaction.h"

namespace {

void BM_SequentialRead(benchmark::State& state) {
  const std::string& path = velix::bench::DenseI2cAnalyzerCapture();
  uint64_t bytes = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(velix::bench::SequentialRead(path, &bytes));
  }
  state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
}

// Each atom through the per-atom reader (lock and window check per atom).
void BM_GetSamplingAtom(benchmark::State& state) {
  orvane::AppState app;
  velix::platform::NullSink sink;
  orvane::CSamplingObj sampling(app, sink);
  if (sampling.OpenCreateFileMapView(velix::bench::DenseI2cAnalyzerCapture()) != 0) {
    state.SkipWithError("cannot map the capture");
    return;
  }
  const uint32_t length = sampling.m_lenSamplingDataInBuffer;
  for (auto _ : state) {
    uint64_t periods = 0;
    for (uint32_t position = 0; position < length;) {
      const orvane::SampleAtom atom = sampling.GetSamplingAtom(position);
      if (atom.size != 1 && atom.size != 2) break;
      periods += atom.count;
      position += atom.size;
    }
    benchmark::DoNotOptimize(periods);
  }
  state.SetBytesProcessed(static_cast<int64_t>(length) * state.iterations());
}

// The decoders' reader: the lock and the window held for a batch of atoms.
void BM_AtomWalk(benchmark::State& state) {
  uint32_t length = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(velix::bench::WalkAllAtoms(velix::bench::DenseI2cAnalyzerCapture(), &length));
  }
  state.SetBytesProcessed(static_cast<int64_t>(length) * state.iterations());
}

BENCHMARK(BM_SequentialRead)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_GetSamplingAtom)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_AtomWalk)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
