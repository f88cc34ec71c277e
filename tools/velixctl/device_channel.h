#pragma once
// One open device handle as velixctl's requests see it. The real handle
// goes through the platform device-file calls; tests put a scripted device
// behind the same interface.

#include <cstdint>
#include <span>

namespace velix::ctl {

// What one request left behind: Boolean success, the Win32 last error, the
// driver's completion status and the byte count it reported.
struct RequestResult {
  bool ok = false;
  uint32_t error = 0;
  uint32_t status = 0;
  uint32_t information = 0;
};

class DeviceChannel {
 public:
  virtual ~DeviceChannel() = default;
  virtual RequestResult Control(uint32_t code, std::span<const uint8_t> input,
                                std::span<uint8_t> output) = 0;
  virtual RequestResult Read(std::span<uint8_t> buffer) = 0;
  virtual RequestResult Write(std::span<const uint8_t> bytes) = 0;
};

}  // namespace velix::ctl
