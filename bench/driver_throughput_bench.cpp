// Sustained streaming throughput from the simulated device through the
// driver daemon to a client in another process, beside a plain Unix-socket
// copy of the same size in the same run. The client is velixctl's, which
// works as the capture does: it waits for the per-transfer event, asks the
// count and reads exactly that many bytes.
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "driver/daemon/tests/daemon_process.h"
#include "tools/velixctl/device_file_channel.h"
#include "tools/velixctl/stream_session.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace velix;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double CpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double RawSocketCopy(size_t bytes) {
  int ends[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0) return 0;
  const auto start = Clock::now();
  std::thread writer([&] {
    std::vector<uint8_t> chunk(1 << 20, 0x5A);
    for (size_t sent = 0; sent < bytes;) {
      const ssize_t n = ::send(ends[0], chunk.data(), std::min(chunk.size(), bytes - sent), 0);
      if (n <= 0) break;
      sent += static_cast<size_t>(n);
    }
  });
  std::vector<uint8_t> buffer(16 << 20);
  for (size_t got = 0; got < bytes;) {
    const ssize_t n = ::recv(ends[1], buffer.data(), buffer.size(), 0);
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  writer.join();
  ::close(ends[0]);
  ::close(ends[1]);
  return static_cast<double>(bytes) / 1e6 / Seconds(Clock::now() - start);
}

struct StreamRun {
  bool complete = false;
  uint64_t bytes = 0;
  uint64_t checksum = 0;
  double seconds = 0;
  double client_cpu = 0;
};

// One stream in the capture's client order through velixctl's streaming
// client: wait for the per-transfer event, ask the count, read exactly that.
StreamRun StreamThroughDaemon(uint32_t transfer_length, uint64_t bytes) {
  StreamRun run;
  uint32_t error = 0;
  const auto channel = ctl::DeviceFileChannel::Open("\\\\.\\VELIX0", &error);
  if (!channel) return run;
  ctl::StreamOptions options;
  options.bytes = bytes;
  options.transfer_length = transfer_length;
  options.start_packet = {0xC4, 0x01, 0, 0, 0, 0, 0, 0, 0, 0};
  options.timeout_ms = 60000;
  const double cpu_before = CpuSeconds();
  const auto started = Clock::now();
  const ctl::StreamResult result = ctl::RunStream(*channel, options, [](std::span<const uint8_t>) { return true; });
  run.seconds = Seconds(Clock::now() - started);
  run.client_cpu = CpuSeconds() - cpu_before;
  run.bytes = result.bytes;
  run.checksum = result.checksum;
  run.complete = result.started && !result.failure;
  return run;
}

std::string DemoScenario() {
  std::ifstream file(std::string(VELIX_SOURCE_DIR) + "/sim/scenarios/i2c_demo.scn");
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace

int main(int argc, char** argv) {
  const uint64_t megabytes = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 256;
  const uint64_t bytes = megabytes << 20;
  std::printf("stream of %llu MiB, 16 MiB driver buffer\n", static_cast<unsigned long long>(megabytes));
  std::printf("raw Unix-socket copy of the same size: %6.0f MB/s\n", RawSocketCopy(bytes));
  daemon::testing::DaemonProcess daemon(DemoScenario(), {"--size", std::to_string(bytes), "--end-of-data"});
  if (!daemon.running()) {
    std::fprintf(stderr, "velixd did not start\n");
    return 1;
  }
  ::setenv("VELIX_RUNTIME_DIR", daemon.folder().c_str(), 1);
  // The device paces its stream and ends it with its end message; the
  // driver keeps up when the whole stream arrives, byte for byte, and no
  // overrun ended it first.
  for (const uint32_t length : {131072u, 655360u}) {
    uint64_t best = 0;
    for (const uint64_t rate : {100u, 200u, 300u, 400u, 500u, 600u, 800u, 1000u}) {
      daemon.Sim("rate " + std::to_string(rate * 1000000));
      const StreamRun run = StreamThroughDaemon(length, bytes);
      const std::string sent = daemon::testing::DaemonProcess::Value(daemon.Sim("sent"), "checksum");
      char checksum[32];
      std::snprintf(checksum, sizeof(checksum), "0x%016llx", static_cast<unsigned long long>(run.checksum));
      const bool complete = run.complete && run.bytes == bytes && sent == checksum;
      std::printf("%6u-byte transfers, device at %4llu MB/s: %6.0f MB/s received, %s, client CPU %3.0f%%\n",
                  length, static_cast<unsigned long long>(rate), static_cast<double>(run.bytes) / 1e6 / run.seconds,
                  complete ? "complete, checksum matches" : "INCOMPLETE", 100.0 * run.client_cpu / run.seconds);
      if (!complete) break;
      best = rate;
    }
    std::printf("sustained with %u-byte transfers: at least %llu MB/s\n", length,
                static_cast<unsigned long long>(best));
  }
  return 0;
}
