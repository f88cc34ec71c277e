// VCD export and import throughput in MB/s of .SIC data: the export reads a
// large synthesized capture and writes its VCD file; the import reads that
// VCD file back into a capture. Both files go to the temporary folder.

#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "Orvane/capture/sic_header.h"
#include "Orvane/interchange/sic_import.h"
#include "Orvane/interchange/vcd_export.h"
#include "bench/bench_captures.h"
#include "platform/files.h"

namespace {

using velix::interchange::ExportStatus;
using velix::interchange::ImportStatus;

enum class Capture { kI2c, kSpi };

const std::string& CaptureOf(Capture capture) {
  return capture == Capture::kI2c ? velix::bench::DenseI2cAnalyzerCapture() : velix::bench::SpiAnalyzerCapture();
}

int64_t DataBytes(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return 0;
  return static_cast<int64_t>(info.st_size) - static_cast<int64_t>(orvane::kSicHeaderSize);
}

std::string TempFile(const char* name) { return velix::platform::TempFolder() + name; }

void ExportVcd(benchmark::State& state, Capture capture) {
  const std::string& in = CaptureOf(capture);
  const std::string out = TempFile("velix-bench-export.vcd");
  std::string error;
  for (auto _ : state) {
    // Freeing the previous iteration's gigabytes of text is not the export's
    // cost: a user exports to a new file.
    state.PauseTiming();
    ::unlink(out.c_str());
    state.ResumeTiming();
    if (velix::interchange::ExportSicToVcd(in, out, &error) != ExportStatus::kOk) state.SkipWithError(error.c_str());
  }
  ::unlink(out.c_str());
  state.SetBytesProcessed(state.iterations() * DataBytes(in));
}

void ImportVcd(benchmark::State& state, Capture capture) {
  const std::string vcd = TempFile("velix-bench-import.vcd");
  const std::string out = TempFile("velix-bench-import.SIC");
  std::string error;
  if (velix::interchange::ExportSicToVcd(CaptureOf(capture), vcd, &error) != ExportStatus::kOk) {
    state.SkipWithError(error.c_str());
    return;
  }
  for (auto _ : state) {
    state.PauseTiming();
    ::unlink(out.c_str());
    state.ResumeTiming();
    const auto source = velix::interchange::OpenVcdSource(vcd, &error);
    if (!source || velix::interchange::ImportToSic(source.get(), {}, out, &error) != ImportStatus::kOk) {
      state.SkipWithError(error.c_str());
    }
  }
  state.SetBytesProcessed(state.iterations() * DataBytes(out));
  ::unlink(vcd.c_str());
  ::unlink(out.c_str());
}

BENCHMARK_CAPTURE(ExportVcd, dense_i2c, Capture::kI2c)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ExportVcd, spi, Capture::kSpi)->Unit(benchmark::kMillisecond);
// The import parses on a second thread: its rate is counted in wall time,
// and the CPU column is the whole process's.
BENCHMARK_CAPTURE(ImportVcd, dense_i2c, Capture::kI2c)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK_CAPTURE(ImportVcd, spi, Capture::kSpi)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
