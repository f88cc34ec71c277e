#pragma once
// velixctl's commands. Each prints key=value lines on standard output and
// returns the exit status: 0 the request succeeded, 1 usage error, 2 the
// device (or the daemon's control socket) could not be opened, 3 the
// request failed.

#include <memory>

#include "tools/velixctl/arguments.h"
#include "tools/velixctl/device_file_channel.h"

namespace velix::ctl {

inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 1;
inline constexpr int kExitNoDevice = 2;
inline constexpr int kExitFailed = 3;

int RunList(const CommandLine& line);
int RunIoctlCommand(const CommandLine& line);
int RunReadCommand(const CommandLine& line);
int RunWriteCommand(const CommandLine& line);
int RunStreamCommand(const CommandLine& line);
int RunSimCommand(const CommandLine& line);

// Opens line.device; on failure prints ok=0 and error=N and a message on
// standard error, and returns null (the command then exits with 2).
std::unique_ptr<DeviceFileChannel> OpenDeviceOrReport(const CommandLine& line);

// Prints a usage error on standard error; returns kExitUsage.
int UsageError(const std::string& message);

}  // namespace velix::ctl
