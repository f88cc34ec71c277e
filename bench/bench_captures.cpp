#include "bench/bench_captures.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/files.h"
#include "sim/synthesizer.h"

namespace velix::bench {
namespace {

constexpr char kDenseI2c[] = R"(
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

class TempCapture {
 public:
  TempCapture(const char* scenario, const char* name) {
    path_ = platform::TempFolder() + name;
    sim::SynthOptions options;
    options.target_size = kBenchCaptureBytes;
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
  static const TempCapture capture(kDenseI2c, "velix-bench-dense-i2c.SIC");
  return capture.Path();
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
