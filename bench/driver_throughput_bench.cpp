// Sustained streaming throughput from the simulated device through the
// driver daemon to a client in another process, beside a plain Unix-socket
// copy of the same size in the same run. The client works as the capture
// does: it waits for the per-transfer event, asks the count and reads
// exactly that many bytes.
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
#include "velix/device_interface.h"
#include "platform/device_file.h"
#include "platform/event.h"
#include "sim/device/stream_source.h"

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

uint32_t Control(platform::DeviceFile* file, uint32_t code, std::vector<uint8_t> input, bool* ok = nullptr) {
  uint8_t out[4] = {};
  uint32_t returned = 0;
  const bool done = platform::DeviceIoControl(file, code, input.empty() ? nullptr : input.data(),
                                              static_cast<uint32_t>(input.size()), out, sizeof(out), &returned);
  if (ok) *ok = done;
  return out[0] | (out[1] << 8) | (out[2] << 16) | (static_cast<uint32_t>(out[3]) << 24);
}

std::vector<uint8_t> LE32(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}

struct StreamRun {
  uint64_t bytes = 0;
  uint64_t checksum = sim::kStreamChecksumSeed;
  uint32_t status = 0;
  double seconds = 0;
  double client_cpu = 0;
};

StreamRun StreamThroughDaemon(uint32_t transfer_length) {
  StreamRun run;
  platform::DeviceFile* file = platform::CreateDeviceFile("\\\\.\\VELIX0");
  if (!file) return run;
  platform::Event start_event = platform::Event::Create(platform::ResetMode::kManual);
  platform::Event transfer_event = platform::Event::Create(platform::ResetMode::kAuto);
  Control(file, driver::IOCTL_BULKUSB_RESET_BUFFER, {});
  Control(file, driver::IOCTL_BULKUSB_SET_BUFFER_SIZE, {16});
  Control(file, driver::IOCTL_BULKUSB_SET_ONE_TRANSFER_EVENT, LE32(static_cast<uint32_t>(transfer_event.Fd())));
  Control(file, driver::IOCTL_BULKUSB_SET_ONE_TRANSFER_LENGTH, LE32(transfer_length));
  if (Control(file, driver::IOCTL_BULKUSB_BULK_START, LE32(static_cast<uint32_t>(start_event.Fd()))) != 0) {
    platform::CloseDeviceFile(file);
    return run;
  }
  const uint8_t start_sampling[10] = {0xC4, 0x01};
  uint32_t written = 0;
  std::vector<uint8_t> buffer(16 << 20);
  const double cpu_before = CpuSeconds();
  const auto started = Clock::now();
  platform::WriteDeviceFile(file, start_sampling, sizeof(start_sampling), &written);
  const platform::Event* events[] = {&start_event, &transfer_event};
  bool ended = false;
  for (int idle = 0; idle < 2;) {
    if (!ended) ended = platform::WaitForAny(events, 1000).index == 0;
    if (ended) Control(file, driver::IOCTL_BULKUSB_BULK_STOP, {});
    const uint32_t count = Control(file, driver::IOCTL_BULKUSB_GET_COUNT, {});
    if (count == 0) {
      idle += ended ? 1 : 0;
      continue;
    }
    uint32_t got = 0;
    if (!platform::ReadDeviceFile(file, buffer.data(), count, &got)) break;
    run.bytes += got;
    run.checksum = sim::StreamChecksum(run.checksum, {buffer.data(), got});
  }
  run.seconds = Seconds(Clock::now() - started);
  run.client_cpu = CpuSeconds() - cpu_before;
  run.status = Control(file, driver::IOCTL_BULKUSB_GET_STATUS, {});
  platform::CloseDeviceFile(file);
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
  daemon::testing::DaemonProcess daemon(DemoScenario(), {"--size", std::to_string(bytes)});
  if (!daemon.running()) {
    std::fprintf(stderr, "velixd did not start\n");
    return 1;
  }
  ::setenv("VELIX_RUNTIME_DIR", daemon.folder().c_str(), 1);
  // The device paces its stream; the driver keeps up when the whole stream
  // arrives and the device, not an overrun, ends it.
  for (const uint32_t length : {131072u, 655360u}) {
    uint64_t best = 0;
    for (const uint64_t rate : {100u, 200u, 300u, 400u, 500u, 600u, 800u, 1000u}) {
      daemon.Sim("rate " + std::to_string(rate * 1000000));
      const StreamRun run = StreamThroughDaemon(length);
      const std::string sent = daemon::testing::DaemonProcess::Value(daemon.Sim("sent"), "checksum");
      char checksum[32];
      std::snprintf(checksum, sizeof(checksum), "0x%016llx", static_cast<unsigned long long>(run.checksum));
      const bool complete = run.bytes == bytes && run.status == 0x80000002u && sent == checksum;
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
