#include "driver/daemon/tests/device_client.h"

#include <gtest/gtest.h>

#include <chrono>

#include "Orvane/capture/little_endian.h"
#include "sim/device/stream_source.h"

namespace velix::daemon::testing {

using namespace velix::driver;

IoctlResult Ioctl(platform::DeviceFile* file, uint32_t code, const std::vector<uint8_t>& input,
                  uint32_t output_size) {
  IoctlResult result;
  result.out.resize(output_size);
  uint32_t returned = 0;
  result.ok = platform::DeviceIoControl(file, code, input.empty() ? nullptr : input.data(),
                                        static_cast<uint32_t>(input.size()),
                                        output_size ? result.out.data() : nullptr, output_size, &returned);
  result.error = result.ok ? 0 : platform::GetLastDeviceError();
  result.information = returned;
  result.out.resize(std::min(returned, output_size));
  return result;
}

uint32_t U32(const std::vector<uint8_t>& bytes) {
  return bytes.size() < 4 ? 0xFFFFFFFFu : orvane::Le32Value(bytes);
}

std::vector<uint8_t> LE32(uint32_t value) {
  const std::array<uint8_t, 4> bytes = orvane::Le32Bytes(value);
  return {bytes.begin(), bytes.end()};
}

uint32_t DriverStatusOf(platform::DeviceFile* file) { return U32(Ioctl(file, IOCTL_BULKUSB_GET_STATUS, {}, 4).out); }

std::vector<uint8_t> Packet(std::initializer_list<uint8_t> bytes) {
  std::vector<uint8_t> packet(bytes);
  packet.resize(10, 0);
  return packet;
}

bool Write(platform::DeviceFile* file, const std::vector<uint8_t>& bytes) {
  uint32_t written = 0;
  return platform::WriteDeviceFile(file, bytes.data(), static_cast<uint32_t>(bytes.size()), &written) &&
         written == bytes.size();
}

bool Stream::Start(platform::DeviceFile* file, uint8_t buffer_megabytes, uint32_t transfer_length) {
  checksum = sim::kStreamChecksumSeed;
  const auto step = [file](const char* what, const IoctlResult& result) {
    if (!result.ok) ADD_FAILURE() << what << " failed, driver status " << DriverStatusOf(file);
    return result.ok;
  };
  // The start reports the status word, which keeps what earlier requests
  // recorded until it is reset.
  if (!step("reset", Ioctl(file, IOCTL_BULKUSB_RESET_BUFFER)) || !step("buffer size", Ioctl(file, IOCTL_BULKUSB_SET_BUFFER_SIZE, {buffer_megabytes})) ||
      !step("event", Ioctl(file, IOCTL_BULKUSB_SET_ONE_TRANSFER_EVENT,
                           LE32(static_cast<uint32_t>(transfer_event.Fd())), 4)) ||
      !step("length", Ioctl(file, IOCTL_BULKUSB_SET_ONE_TRANSFER_LENGTH, LE32(transfer_length)))) {
    return false;
  }
  const IoctlResult start = Ioctl(file, IOCTL_BULKUSB_BULK_START, LE32(static_cast<uint32_t>(start_event.Fd())), 4);
  if (!step("start", start)) return false;
  if (U32(start.out) != 0) ADD_FAILURE() << "start output " << U32(start.out);
  return U32(start.out) == 0;
}

bool Stream::Drain(platform::DeviceFile* file) {
  const uint32_t count = U32(Ioctl(file, IOCTL_BULKUSB_GET_COUNT, {}, 4).out);
  if (count == 0 || count == 0xFFFFFFFFu) return count == 0;
  std::vector<uint8_t> chunk(count);
  uint32_t got = 0;
  if (!platform::ReadDeviceFile(file, chunk.data(), count, &got) || got != count) return false;
  bytes += got;
  checksum = sim::StreamChecksum(checksum, chunk);
  if (keep_data) data.insert(data.end(), chunk.begin(), chunk.end());
  return true;
}

bool Stream::ReadUntilEnded(platform::DeviceFile* file, int timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  const platform::Event* events[] = {&start_event, &transfer_event};
  while (std::chrono::steady_clock::now() < deadline) {
    const platform::WaitResult woke = platform::WaitForAny(events, 100);
    if (!Drain(file)) return false;
    if (woke.status == platform::WaitStatus::kSignalled && woke.index == 0) return Drain(file);
  }
  return false;
}

bool Stream::Finish(platform::DeviceFile* file) {
  return Ioctl(file, IOCTL_BULKUSB_BULK_STOP).ok && Drain(file);
}

}  // namespace velix::daemon::testing
