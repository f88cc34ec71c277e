// velixctl list: whether the device name answers, and the device interfaces.

#include <cstdio>
#include <string>

#include "platform/daemon_hint.h"
#include "platform/device_file.h"
#include "tools/velixctl/commands.h"
#include "tools/velixctl/requests.h"

namespace velix::ctl {

int RunList(const CommandLine& line) {
  std::string text;
  uint32_t error = 0;
  const bool answers = DeviceFileChannel::Open(line.device, &error) != nullptr;
  if (answers) AppendLine(&text, "device", line.device);
  for (const std::string& path : platform::EnumerateDeviceInterfaces()) {
    AppendLine(&text, "interface", path);
  }
  std::fputs(text.c_str(), stdout);
  if (answers) return kExitOk;
  std::fprintf(stderr, "velixctl: no device answers to %s\n%s", line.device.c_str(),
               platform::DeviceNotFoundHint().c_str());
  return kExitNoDevice;
}

}  // namespace velix::ctl
