// velixctl ioctl / read / write: one request on the device, then the
// status word.

#include <cstdio>
#include <string>

#include "tools/velixctl/command_options.h"
#include "platform/daemon_hint.h"
#include "tools/velixctl/commands.h"
#include "tools/velixctl/request_commands.h"

namespace velix::ctl {
namespace {

int Finish(bool ok, const std::string& text) {
  std::fputs(text.c_str(), stdout);
  return ok ? kExitOk : kExitFailed;
}

}  // namespace

int RunIoctlCommand(const CommandLine& line) {
  IoctlRequest request;
  std::string error;
  if (!ParseIoctlArguments(line, &request, &error)) return UsageError(error);
  const std::unique_ptr<DeviceFileChannel> channel = OpenDeviceOrReport(line);
  if (!channel) return kExitNoDevice;
  std::string text;
  const bool ok = RunIoctl(*channel, request, &text);
  return Finish(ok, text);
}

int RunReadCommand(const CommandLine& line) {
  uint32_t size = 0;
  std::string error;
  if (!ParseReadArguments(line, &size, &error)) return UsageError(error);
  const std::unique_ptr<DeviceFileChannel> channel = OpenDeviceOrReport(line);
  if (!channel) return kExitNoDevice;
  std::string text;
  const bool ok = RunRead(*channel, size, &text);
  return Finish(ok, text);
}

int RunWriteCommand(const CommandLine& line) {
  std::vector<uint8_t> bytes;
  std::string error;
  if (!ParseWriteArguments(line, &bytes, &error)) return UsageError(error);
  const std::unique_ptr<DeviceFileChannel> channel = OpenDeviceOrReport(line);
  if (!channel) return kExitNoDevice;
  std::string text;
  const bool ok = RunWrite(*channel, bytes, &text);
  return Finish(ok, text);
}

std::unique_ptr<DeviceFileChannel> OpenDeviceOrReport(const CommandLine& line) {
  uint32_t error = 0;
  std::unique_ptr<DeviceFileChannel> channel = DeviceFileChannel::Open(line.device, &error);
  if (!channel) {
    std::printf("ok=0\nerror=%u\n", error);
    std::fprintf(stderr, "velixctl: cannot open %s (error %u)\n%s", line.device.c_str(), error,
                 platform::DeviceNotFoundHint().c_str());
  }
  return channel;
}

}  // namespace velix::ctl
