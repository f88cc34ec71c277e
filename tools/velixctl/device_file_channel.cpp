#include "tools/velixctl/device_file_channel.h"

namespace velix::ctl {
namespace {

// The last error is cleared first, so a success never shows a stale error
// left by an earlier call.
template <typename Call>
RequestResult Issue(Call call) {
  platform::SetLastDeviceError(platform::kErrorSuccess);
  RequestResult result;
  result.ok = call(&result.information);
  result.error = platform::GetLastDeviceError();
  result.status = platform::GetLastDeviceStatus();
  return result;
}

}  // namespace

std::unique_ptr<DeviceFileChannel> DeviceFileChannel::Open(const std::string& name, uint32_t* error) {
  platform::DeviceFile* file = platform::CreateDeviceFile(name);
  if (file == nullptr) {
    *error = platform::GetLastDeviceError();
    return nullptr;
  }
  return std::unique_ptr<DeviceFileChannel>(new DeviceFileChannel(file));
}

DeviceFileChannel::~DeviceFileChannel() { platform::CloseDeviceFile(file_); }

RequestResult DeviceFileChannel::Control(uint32_t code, std::span<const uint8_t> input,
                                         std::span<uint8_t> output) {
  return Issue([&](uint32_t* returned) {
    return platform::DeviceIoControl(file_, code, input.data(), static_cast<uint32_t>(input.size()),
                                     output.data(), static_cast<uint32_t>(output.size()), returned);
  });
}

RequestResult DeviceFileChannel::Read(std::span<uint8_t> buffer) {
  return Issue([&](uint32_t* read) {
    return platform::ReadDeviceFile(file_, buffer.data(), static_cast<uint32_t>(buffer.size()), read);
  });
}

RequestResult DeviceFileChannel::Write(std::span<const uint8_t> bytes) {
  return Issue([&](uint32_t* written) {
    return platform::WriteDeviceFile(file_, bytes.data(), static_cast<uint32_t>(bytes.size()), written);
  });
}

}  // namespace velix::ctl
