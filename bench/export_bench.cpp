// Export throughput in MB/s of output written and in rows (transactions)
// per second: the CSV, both text reports and the JSON Lines export of a
// decoded capture of more than a million transactions, each into a file in
// the temporary folder.
// Each capture is decoded once; every iteration rewrites the whole file.

#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/run_events.h"
#include "Orvane/capture/sampling_obj.h"
#include "Orvane/decode/analysis_worker.h"
#include "Orvane/decode/decode_context.h"
#include "Orvane/decode/export_csv.h"
#include "Orvane/decode/export_json_lines.h"
#include "Orvane/decode/export_text.h"
#include "Orvane/decode/run_decoder.h"
#include "Orvane/decode/transaction_filter.h"
#include "bench/bench_captures.h"
#include "platform/interaction.h"

namespace {

enum class Capture { kI2cAnalyzer, kSpiAnalyzer };
enum class Report { kCsv, kTextHeaderOnly, kTextAllData, kJsonLines };

// A capture mapped and decoded, kept for the whole process.
struct Decoded {
  orvane::AppState app;
  velix::platform::NullSink sink;
  orvane::CSamplingObj sampling{app, sink};
  orvane::SettingsRecord settings;
  bool ok = false;
};

std::unique_ptr<Decoded> DecodeOnce(const std::string& path) {
  auto decoded = std::make_unique<Decoded>();
  if (decoded->sampling.OpenCreateFileMapView(path) != 0) return decoded;
  orvane::SicHeader header;
  decoded->sampling.ReadFileHeader(&header);
  decoded->settings = orvane::SettingsFromSicHeader(header);
  orvane::RepairLoadedSettings(decoded->settings);
  orvane::RunEventQueue events;
  orvane::DecodeContext ctx{decoded->sampling, decoded->settings, events};
  const uint32_t result = orvane::RunDecoder(ctx, orvane::ChooseWorker(decoded->settings));
  decoded->ok = !orvane::IsErrorResult(result);
  // The exports walk the view index, which the filter fills.
  orvane::ApplyTransactionFilter(decoded->sampling, decoded->settings, decoded->sink);
  return decoded;
}

Decoded& DecodedOf(Capture capture) {
  static std::unique_ptr<Decoded> i2c;
  static std::unique_ptr<Decoded> spi;
  std::unique_ptr<Decoded>& slot = capture == Capture::kI2cAnalyzer ? i2c : spi;
  if (!slot) {
    slot = DecodeOnce(capture == Capture::kI2cAnalyzer ? velix::bench::LargeDenseI2cAnalyzerCapture()
                                                       : velix::bench::SpiAnalyzerCapture());
  }
  return *slot;
}

const std::string& OutputPath() {
  static const std::string path = [] {
    char name[] = "/tmp/export_bench_XXXXXX";
    const int fd = mkstemp(name);
    if (fd >= 0) close(fd);
    std::atexit([] { std::remove(OutputPath().c_str()); });
    return std::string(name);
  }();
  return path;
}

void Export(benchmark::State& state, Capture capture, Report report) {
  Decoded& decoded = DecodedOf(capture);
  if (!decoded.ok) {
    state.SkipWithError("cannot decode the capture");
    return;
  }
  orvane::ExportEnv env =
      orvane::ApplicationExportEnv(decoded.sampling, decoded.settings, decoded.sink, 0);
  int64_t written = 0;
  uint32_t rows = 0;
  for (auto _ : state) {
    orvane::ExportResult result;
    switch (report) {
      case Report::kCsv: result = orvane::ExportTransactionCsvFile(env, OutputPath()); break;
      case Report::kTextHeaderOnly: result = orvane::ExportTransactionTextFile(env, OutputPath(), true); break;
      case Report::kTextAllData: result = orvane::ExportTransactionTextFile(env, OutputPath(), false); break;
      case Report::kJsonLines: result = orvane::ExportTransactionJsonLinesFile(env, OutputPath()); break;
    }
    if (!result.ok) state.SkipWithError("the export failed");
    rows = result.rows;
    struct stat info {};
    if (stat(OutputPath().c_str(), &info) == 0) written += info.st_size;
  }
  state.SetBytesProcessed(written);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * rows);
  state.counters["rows"] = rows;
}

BENCHMARK_CAPTURE(Export, i2c_csv, Capture::kI2cAnalyzer, Report::kCsv)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Export, i2c_text_header_only, Capture::kI2cAnalyzer, Report::kTextHeaderOnly)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Export, i2c_text_all_data, Capture::kI2cAnalyzer, Report::kTextAllData)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Export, i2c_json_lines, Capture::kI2cAnalyzer, Report::kJsonLines)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Export, spi_csv, Capture::kSpiAnalyzer, Report::kCsv)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Export, spi_text_header_only, Capture::kSpiAnalyzer, Report::kTextHeaderOnly)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Export, spi_text_all_data, Capture::kSpiAnalyzer, Report::kTextAllData)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Export, spi_json_lines, Capture::kSpiAnalyzer, Report::kJsonLines)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
