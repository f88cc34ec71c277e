#include "bench/bench_captures.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/atom_walker.h"
#include "Orvane/capture/sampling_obj.h"
#include "platform/files.h"
#include "platform/interaction.h"
#include "sim/synthesizer.h"

namespace velix::bench {

const char kDenseI2cScenario[] = R"(
bus i2c0
scl 1m
start
addr 0x50 w
write 00 10 20 30 40 50 60 70
start
addr 0x50 r
read 01 02 03 04 05 06 07 08
stop
idle 2us
start
addr10 0x2A5 w
write A5 5A
stop
idle 2us
)";

namespace {

constexpr char kSpi[] = R"(
bus spi
ss active-low
mode 0
sclk 10m
select
xfer mosi=9F,00,01,02,03,04,05,06 miso=FF,EF,40,18,00,11,22,33 gap=200ns
deselect
idle 500ns
)";

class TempCapture {
 public:
  TempCapture(const char* scenario, const char* name, sim::CaptureMode mode,
              uint64_t size = kBenchCaptureBytes) {
    path_ = platform::TempFolder() + name;
    sim::SynthOptions options;
    options.mode = mode;
    options.target_size = size;
    std::string error;
    if (!sim::SynthesizeSicFile(scenario, options, path_, "", &error)) {
      std::fprintf(stderr, "cannot synthesize %s: %s\n", path_.c_str(), error.c_str());
      std::exit(1);
    }
  }
  ~TempCapture() { platform::DeleteFileAt(path_); }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

const std::string& DenseI2cAnalyzerCapture() {
  static const TempCapture capture(kDenseI2cScenario, "velix-bench-dense-i2c.SIC", sim::CaptureMode::kAnalyzer);
  return capture.Path();
}

const std::string& LargeDenseI2cAnalyzerCapture() {
  static const TempCapture capture(kDenseI2cScenario, "velix-bench-dense-i2c-large.SIC", sim::CaptureMode::kAnalyzer,
                                   kLargeBenchCaptureBytes);
  return capture.Path();
}

const std::string& SpiAnalyzerCapture() {
  static const TempCapture capture(kSpi, "velix-bench-spi.SIC", sim::CaptureMode::kAnalyzer);
  return capture.Path();
}

const std::string& DenseI2cMonitorCapture() {
  static const TempCapture capture(kDenseI2cScenario, "velix-bench-i2c-monitor.SIC", sim::CaptureMode::kMonitor);
  return capture.Path();
}

uint64_t WalkAllAtoms(const std::string& path, uint32_t* data_bytes) {
  orvane::AppState app;
  platform::NullSink sink;
  orvane::CSamplingObj sampling(app, sink);
  if (sampling.OpenCreateFileMapView(path) != 0) return 0;
  const uint32_t length = sampling.m_lenSamplingDataInBuffer;
  *data_bytes = length;
  orvane::AtomWalker walker(sampling);
  uint64_t periods = 0;
  for (uint32_t position = 0; position < length;) {
    const orvane::SampleAtom atom = walker.Read(position);
    if (atom.size != 1 && atom.size != 2) break;
    periods += atom.count;
    position += atom.size;
  }
  return periods;
}

uint64_t SequentialRead(const std::string& path, uint64_t* bytes) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  std::vector<uint8_t> buffer(1 << 20);
  uint64_t sum = 0;
  *bytes = 0;
  for (;;) {
    const ssize_t n = read(fd, buffer.data(), buffer.size());
    if (n <= 0) break;
    *bytes += static_cast<uint64_t>(n);
    for (ssize_t i = 0; i < n; i += 64) sum += buffer[static_cast<size_t>(i)];
  }
  close(fd);
  return sum;
}

}  // namespace velix::bench
