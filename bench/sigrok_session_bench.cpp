// Session reading throughput in MB/s of samples decompressed and turned
// into level changes: a two-line bus sampled well above its clock (a change
// every 30 samples or so), one-byte and two-byte samples, deflated as
// saved sessions are and stored as they may be. The archive is written
// once into the temporary folder; every iteration reads all of it.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "Orvane/interchange/logic_source.h"
#include "Orvane/interchange/tests/session_archive_builder.h"

namespace {

using velix::interchange::LevelChange;
using velix::interchange::LogicSource;
using velix::interchange::SourceState;
namespace session = velix::interchange::testing;

constexpr size_t kSamples = size_t{32} << 20;

std::string WriteSession(uint32_t unit_size, bool stored) {
  session::SessionPlan plan;
  plan.unit_size = unit_size;
  plan.total_probes = 8 * unit_size;
  plan.probe_names = {"SCL", "SDA"};
  plan.stored = stored;
  std::mt19937 random(1);
  std::vector<uint64_t> samples;
  samples.reserve(kSamples);
  uint64_t sample = 0;
  while (samples.size() < kSamples) {
    const size_t run = 20 + random() % 20;
    for (size_t i = 0; i < run && samples.size() < kSamples; ++i) samples.push_back(sample);
    sample ^= uint64_t{1} << (random() % 2);
  }
  const std::string bytes = session::SampleBytes(samples, unit_size);
  const size_t chunk_bytes = size_t{4} << 20;
  for (size_t at = 0; at < bytes.size(); at += chunk_bytes) plan.chunks.push_back(bytes.substr(at, chunk_bytes));
  const std::string path = "/tmp/velix-session-bench-" + std::to_string(getpid()) + "-" +
                           std::to_string(unit_size) + (stored ? "s" : "d") + ".sr";
  return session::WriteZipArchive(path, session::SessionEntries(plan)) ? path : std::string();
}

void BM_ReadSession(benchmark::State& state) {
  const uint32_t unit_size = static_cast<uint32_t>(state.range(0));
  const std::string path = WriteSession(unit_size, state.range(1) != 0);
  if (path.empty()) {
    state.SkipWithError("cannot write the session");
    return;
  }
  std::vector<LevelChange> changes(65536);
  size_t total_changes = 0;
  for (auto _ : state) {
    std::string error;
    std::unique_ptr<LogicSource> source = velix::interchange::OpenSigrokSessionSource(path, &error);
    if (source == nullptr) {
      state.SkipWithError(error.c_str());
      break;
    }
    while (source->State() == SourceState::kReading) total_changes += source->Read(changes.data(), changes.size());
    benchmark::DoNotOptimize(total_changes);
  }
  std::remove(path.c_str());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSamples * unit_size));
  state.counters["changes"] = benchmark::Counter(static_cast<double>(total_changes), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(BM_ReadSession)->ArgsProduct({{1, 2}, {0, 1}})->ArgNames({"unit", "stored"})->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
