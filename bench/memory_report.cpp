// Memory of offline decoding: resident size after decoding a capture that
// yields more than 10 million transactions, and what opening and decoding a
// 480 MiB file costs beyond its 16 MiB window and the records.

#include <cstdio>
#include <fstream>
#include <string>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/run_events.h"
#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/sic_header.h"
#include "Orvane/decode/analysis_worker.h"
#include "Orvane/decode/run_decoder.h"
#include "Orvane/decode/transaction_filter.h"
#include "bench/bench_captures.h"
#include "platform/files.h"
#include "platform/interaction.h"
#include "sim/synthesizer.h"

namespace {

constexpr char kShortI2c[] = R"(
bus i2c0
scl 1m
start
addr 0x50 w
write 01
stop
idle 1us
)";


// VmRSS or VmHWM of this process, in KiB.
uint64_t StatusKb(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(key, 0) == 0) return std::stoull(line.substr(line.find(':') + 1));
  }
  return 0;
}

bool Synthesize(const char* scenario, velix::sim::CaptureMode mode, uint64_t size,
                const std::string& path) {
  velix::sim::SynthOptions options;
  options.mode = mode;
  options.target_size = size;
  std::string error;
  if (velix::sim::SynthesizeSicFile(scenario, options, path, "", &error)) return true;
  std::fprintf(stderr, "cannot synthesize: %s\n", error.c_str());
  return false;
}

struct DecodeFigures {
  uint64_t rss_before_kb = 0;
  uint64_t rss_after_kb = 0;
  uint32_t records = 0;
  uint32_t rows = 0;
};

DecodeFigures DecodeFile(const std::string& path) {
  DecodeFigures figures;
  figures.rss_before_kb = StatusKb("VmRSS:");
  orvane::AppState app;
  velix::platform::NullSink sink;
  orvane::CSamplingObj sampling(app, sink);
  if (sampling.OpenCreateFileMapView(path) != 0) return figures;
  orvane::SicHeader header;
  sampling.ReadFileHeader(&header);
  orvane::SettingsRecord settings = orvane::SettingsFromSicHeader(header);
  orvane::RepairLoadedSettings(settings);
  orvane::RunEventQueue events;
  orvane::DecodeContext ctx{sampling, settings, events};
  orvane::RunDecoder(ctx, orvane::ChooseWorker(settings));
  figures.rows = orvane::ApplyTransactionFilter(sampling, settings, sink).entered;
  figures.records = sampling.transaction_counter;
  figures.rss_after_kb = StatusKb("VmRSS:");
  return figures;
}

}  // namespace

int main() {
  const std::string folder = velix::platform::TempFolder();
  const std::string many = folder + "velix-memory-many.SIC";
  const std::string big = folder + "velix-memory-480.SIC";

  if (!Synthesize(kShortI2c, velix::sim::CaptureMode::kMonitor, 40ull << 20, many)) return 1;
  DecodeFigures f = DecodeFile(many);
  velix::platform::DeleteFileAt(many);
  std::printf("many transactions: %u records, %u rows, resident %.1f MiB (peak %.1f MiB)\n",
              f.records, f.rows, double(f.rss_after_kb) / 1024, double(StatusKb("VmHWM:")) / 1024);

  if (!Synthesize(velix::bench::kDenseI2cScenario, velix::sim::CaptureMode::kAnalyzer, 480ull << 20, big)) return 1;
  f = DecodeFile(big);
  velix::platform::DeleteFileAt(big);
  const double records_mib = double(f.records) * (64 + 28 + 4) / (1 << 20);
  std::printf("480 MiB file: %u records, resident grew by %.1f MiB "
              "(window 16 MiB + records and timing %.1f MiB)\n",
              f.records, double(f.rss_after_kb - f.rss_before_kb) / 1024, records_mib);
  return 0;
}
