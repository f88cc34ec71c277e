#pragma once
// Small conveniences over the device-file calls for the daemon tests.

#include <cstdint>
#include <string>
#include <vector>

#include "driver/driver_status.h"
#include "platform/device_file.h"
#include "platform/event.h"

namespace velix::daemon::testing {

struct IoctlResult {
  bool ok = false;
  uint32_t error = 0;
  uint32_t information = 0;
  std::vector<uint8_t> out;
};

IoctlResult Ioctl(platform::DeviceFile* file, uint32_t code, const std::vector<uint8_t>& input = {},
                  uint32_t output_size = 0);
uint32_t U32(const std::vector<uint8_t>& bytes);
std::vector<uint8_t> LE32(uint32_t value);
uint32_t DriverStatusOf(platform::DeviceFile* file);
// A 10-byte command packet starting with the bytes given.
std::vector<uint8_t> Packet(std::initializer_list<uint8_t> bytes);
bool Write(platform::DeviceFile* file, const std::vector<uint8_t>& bytes);

// The streaming client order on one handle, up to the device's start command.
struct Stream {
  platform::Event start_event = platform::Event::Create(platform::ResetMode::kManual);
  platform::Event transfer_event = platform::Event::Create(platform::ResetMode::kAuto);
  uint64_t bytes = 0;
  uint64_t checksum = 0;
  std::vector<uint8_t> data;  // only when keep_data
  bool keep_data = false;

  // Buffer size, event registration, transfer length, start; true when the
  // start output is 0.
  bool Start(platform::DeviceFile* file, uint8_t buffer_megabytes = 16, uint32_t transfer_length = 131072);
  // Reads what is waiting; false when a read failed.
  bool Drain(platform::DeviceFile* file);
  // Reads until the start event fires (and then what is left) or the time
  // passes; true when the event fired.
  bool ReadUntilEnded(platform::DeviceFile* file, int timeout_ms);
  // Stops streaming and reads what the stop collected.
  bool Finish(platform::DeviceFile* file);
};

}  // namespace velix::daemon::testing
