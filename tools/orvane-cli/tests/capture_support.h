#pragma once
// What the capture tests share: files and checksums in the form the
// simulated device reports them, and captures run as child processes that
// are started, held or signalled while the device streams.

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "driver/daemon/tests/daemon_process.h"
#include "tools/orvane-cli/tests/run_command.h"

namespace orvane::testing {

std::vector<uint8_t> ReadFile(const std::string& path);

// A stream checksum as the daemon's `sim sent` prints it.
std::string Hex64(uint64_t value);
// The checksum of `bytes` in that form.
std::string ChecksumText(std::span<const uint8_t> bytes);

// The bytes the simulated device sent in its current or last stream.
uint64_t SentBytes(const velix::daemon::testing::DaemonProcess& daemon);

// Starts `argv` with standard input and output on /dev/null and standard
// error in `err_path` (/dev/null when empty); the child's id, or -1.
pid_t Spawn(const std::vector<std::string>& argv, const std::string& err_path = {});
// The child's exit status, or -1 when a signal ended it.
int WaitExit(pid_t child);
// Waits up to 20 s for the device to stream; false when it never did.
bool WaitUntilStreaming(const velix::daemon::testing::DaemonProcess& daemon);

// Runs the command and collects its status and standard error. With a
// stall the process is held stopped for that long once the device streams,
// as a worker that falls behind would be.
CommandResult RunStalled(const std::vector<std::string>& argv, const velix::daemon::testing::DaemonProcess& daemon,
                         std::chrono::milliseconds stall);

}  // namespace orvane::testing
