#include "tools/velixctl/tests/fake_device.h"

#include <unistd.h>

#include <algorithm>

#include "velix/device_interface.h"
#include "tools/velixctl/control_codes.h"
#include "tools/velixctl/requests.h"

namespace velix::ctl::testing {
namespace {

RequestResult Succeeded(uint32_t information) { return RequestResult{true, 0, 0, information}; }

RequestResult Unsuccessful() { return RequestResult{false, 31, driver::STATUS_UNSUCCESSFUL, 0}; }

RequestResult Answer(std::span<uint8_t> output, const std::vector<uint8_t>& bytes, RequestResult result) {
  std::copy_n(bytes.begin(), std::min(bytes.size(), output.size()), output.begin());
  return result;
}

uint32_t Value32(std::span<const uint8_t> input) {
  if (input.size() < 4) return UINT32_MAX;
  return static_cast<uint32_t>(input[0]) | static_cast<uint32_t>(input[1]) << 8 |
         static_cast<uint32_t>(input[2]) << 16 | static_cast<uint32_t>(input[3]) << 24;
}

// The driver takes its own reference to the client's event.
platform::Event Reference(std::span<const uint8_t> input, platform::ResetMode mode) {
  const int fd = static_cast<int>(Value32(input));
  return platform::Event::Adopt(fd < 0 ? -1 : dup(fd), mode);
}

}  // namespace

uint8_t StreamByte(uint64_t index) { return static_cast<uint8_t>(index * 31 + 7 + (index >> 8)); }

RequestResult FakeDevice::Control(uint32_t code, std::span<const uint8_t> input,
                                  std::span<uint8_t> output) {
  calls.push_back({std::string(ControlCodeName(code)), {input.begin(), input.end()}});
  if (const auto scripted = answers.find(code); scripted != answers.end()) {
    return Answer(output, scripted->second.output, scripted->second.result);
  }
  switch (code) {
    case driver::IOCTL_BULKUSB_GET_STATUS:
      if (status_fails) return Unsuccessful();
      return Answer(output, LittleEndian32(driver_status), Succeeded(4));
    case driver::IOCTL_BULKUSB_GET_COUNT:
      return Answer(output, LittleEndian32(pending), Succeeded(4));
    case driver::IOCTL_BULKUSB_SET_ONE_TRANSFER_EVENT:
      transfer_event = Reference(input, platform::ResetMode::kAuto);
      return Answer(output, LittleEndian32(0), Succeeded(4));
    case driver::IOCTL_BULKUSB_BULK_START:
      start_event = Reference(input, platform::ResetMode::kManual);
      streaming_ = start_output == 0 && start_event.Valid();
      Produce();
      return Answer(output, LittleEndian32(start_output), Succeeded(4));
    case driver::IOCTL_BULKUSB_BULK_STOP:
      streaming_ = false;
      return Succeeded(0);
    default:
      return Succeeded(0);
  }
}

RequestResult FakeDevice::Read(std::span<uint8_t> buffer) {
  calls.push_back({"read", LittleEndian32(static_cast<uint32_t>(buffer.size()))});
  if (reads_fail || buffer.empty() || buffer.size() > pending) return Unsuccessful();
  for (uint8_t& byte : buffer) byte = StreamByte(read_++);
  pending -= static_cast<uint32_t>(buffer.size());
  Produce();
  return Succeeded(static_cast<uint32_t>(buffer.size()));
}

RequestResult FakeDevice::Write(std::span<const uint8_t> bytes) {
  calls.push_back({"write", {bytes.begin(), bytes.end()}});
  return Succeeded(static_cast<uint32_t>(bytes.size()));
}

std::vector<std::string> FakeDevice::CallNames() const {
  std::vector<std::string> names;
  for (const RecordedCall& call : calls) names.push_back(call.name);
  return names;
}

// One transfer waits at a time, so the client's reads pace the device.
void FakeDevice::Produce() {
  if (!streaming_ || pending > 0) return;
  if (message_after && produced_ >= *message_after) {
    streaming_ = false;
    start_event.Set();
    return;
  }
  if (produced_ >= device_bytes) return;
  const uint32_t size = static_cast<uint32_t>(std::min<uint64_t>(transfer_bytes, device_bytes - produced_));
  pending += size;
  produced_ += size;
  if (signal_transfers) transfer_event.Set();
}

}  // namespace velix::ctl::testing
