#pragma once
// The device channel over a platform device file, opened by name.

#include <memory>
#include <string>

#include "platform/device_file.h"
#include "tools/velixctl/device_channel.h"

namespace velix::ctl {

class DeviceFileChannel : public DeviceChannel {
 public:
  // Null when the name does not open; *error then holds the last error.
  static std::unique_ptr<DeviceFileChannel> Open(const std::string& name, uint32_t* error);
  ~DeviceFileChannel() override;
  DeviceFileChannel(const DeviceFileChannel&) = delete;
  DeviceFileChannel& operator=(const DeviceFileChannel&) = delete;

  RequestResult Control(uint32_t code, std::span<const uint8_t> input,
                        std::span<uint8_t> output) override;
  RequestResult Read(std::span<uint8_t> buffer) override;
  RequestResult Write(std::span<const uint8_t> bytes) override;

 private:
  explicit DeviceFileChannel(platform::DeviceFile* file) : file_(file) {}
  platform::DeviceFile* file_;
};

}  // namespace velix::ctl
