#pragma once
// The single-request commands (ioctl, read, write): one request on an open
// channel, then the status word, reported as key=value lines.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/velixctl/device_channel.h"

namespace velix::ctl {

struct IoctlRequest {
  uint32_t code = 0;
  std::vector<uint8_t> input;
  uint32_t output_size = 0;
  // Replace the input with the descriptor of a fresh event (the handle that
  // the start and transfer-event requests take).
  bool with_event = false;
};

// Each appends its report to *text and returns the request's success.
bool RunIoctl(DeviceChannel& channel, const IoctlRequest& request, std::string* text);
bool RunRead(DeviceChannel& channel, uint32_t size, std::string* text);
bool RunWrite(DeviceChannel& channel, const std::vector<uint8_t>& bytes, std::string* text);

}  // namespace velix::ctl
