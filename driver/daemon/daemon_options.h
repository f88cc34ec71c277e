#pragma once
// The command line of the driver daemon.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velix::daemon {

struct SimulatedFault {
  std::string kind;  // overrun, stall, xact-error, unplug
  uint64_t at_byte = 0;
};

struct DaemonOptions {
  std::string runtime_dir;  // empty: the default runtime folder
  int trace_level = 1;      // 0 silent; 1 and more write the driver's trace to stderr
  // The simulated device; real hardware when `simulate` is empty.
  std::string simulate;     // scenario file or capture file (.SIC)
  std::optional<std::string> personality;  // operation, update, fx2, loader
  std::optional<std::string> image;        // analyzer, monitor
  bool full_speed = false;
  uint64_t rate = 0;        // bytes per second, 0 = as fast as read
  uint32_t chunk = 0;       // largest bulk IN transfer the device fills
  uint32_t repeat = 1;      // scenario passes
  uint64_t size = 0;        // exact stream size, 0 = the scenario's own
  uint32_t reply_delay_ms = 0;
  std::vector<SimulatedFault> faults;
  std::string state_file;   // empty: <runtime dir>/simulated-device.state
  bool unplugged = false;   // start with the device off the bus
  // End the stream with the end-of-data message when the source runs out,
  // instead of going on like an analyzer on a quiet bus.
  bool end_of_data = false;
  bool show_version = false;  // --version: print the version and do nothing else
  // Exit with success once no analyzer has been served and no client has
  // been connected for this many seconds; 0 serves until a signal.
  uint32_t idle_exit_seconds = 0;
};

// Parses argv[1..]; false with a message in *error (or *help set) when the
// line is not usable.
bool ParseDaemonOptions(const std::vector<std::string>& args, DaemonOptions* options, bool* help, std::string* error);

extern const char kDaemonUsage[];

}  // namespace velix::daemon
