#include "driver/daemon/daemon_options.h"

#include <charconv>

namespace velix::daemon {

const char kDaemonUsage[] =
    "usage: velixd [--runtime-dir DIR] [--trace-level N] [--idle-exit SECONDS] [--help] [--version]\n"
    "              [--simulate SCENARIO|FILE.SIC [--personality operation|update|fx2|loader]\n"
    "               [--image analyzer|monitor] [--speed high|full] [--rate BYTES_PER_SECOND]\n"
    "               [--chunk BYTES] [--repeat N] [--size BYTES] [--reply-delay MS]\n"
    "               [--fault overrun|stall|xact-error|unplug[@BYTE]]... [--state FILE] [--unplugged]\n"
    "               [--end-of-data]]\n"
    "Hosts the analyzer's driver and publishes VELIX0 and the device's interface path as\n"
    "sockets in the runtime folder ($VELIX_RUNTIME_DIR, else $XDG_RUNTIME_DIR/velix, else /run/velix).\n"
    "Without --simulate it drives the analyzer on the USB bus.\n"
    "\n"
    "Options:\n"
    "  --runtime-dir DIR      the runtime folder for the sockets\n"
    "  --trace-level N        0 silences the driver's trace, 1 or more write it to\n"
    "                         standard error (default 1)\n"
    "  -h, --help             print this help\n"
    "  --idle-exit SECONDS    exit with success once no analyzer has been served and no\n"
    "                         client has been connected for SECONDS (for a daemon\n"
    "                         started when the analyzer was plugged in)\n"
    "  --version              print the version\n"
    "\n"
    "Simulated analyzer:\n"
    "  --simulate SCENARIO|FILE.SIC\n"
    "                         stream a synthesizer scenario or a capture file's data\n"
    "  --personality operation|update|fx2|loader\n"
    "                         the mode the device plugs in as (default: its memory's)\n"
    "  --image analyzer|monitor\n"
    "                         the CPLD image loaded\n"
    "  --speed high|full      512- or 64-byte bulk packets\n"
    "  --rate BYTES_PER_SECOND\n"
    "                         the stream's rate (0: as fast as the host reads)\n"
    "  --chunk BYTES          the most bytes one bulk IN transfer is filled with\n"
    "  --repeat N             passes of the scenario\n"
    "  --size BYTES           an exact stream size (repeated, then padded)\n"
    "  --reply-delay MS       command replies become readable this late\n"
    "  --fault overrun|stall|xact-error|unplug[@BYTE]\n"
    "                         a fault once the stream has sent BYTE bytes (repeatable)\n"
    "  --state FILE           the device's memory contents\n"
    "                         (default: RUNTIME_DIR/simulated-device.state)\n"
    "  --unplugged            start with the device off the bus\n"
    "  --end-of-data          end the stream with the end message when the source\n"
    "                         is exhausted\n";

namespace {

template <typename T>
bool ParseNumber(const std::string& text, T* value) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, *value);
  return ec == std::errc() && ptr == end && !text.empty();
}

bool OneOf(const std::string& value, std::initializer_list<const char*> choices) {
  for (const char* choice : choices) {
    if (value == choice) return true;
  }
  return false;
}

bool ParseFault(const std::string& text, SimulatedFault* fault) {
  const size_t at = text.find('@');
  fault->kind = text.substr(0, at);
  if (!OneOf(fault->kind, {"overrun", "stall", "xact-error", "unplug"})) return false;
  return at == std::string::npos || ParseNumber(text.substr(at + 1), &fault->at_byte);
}

// A day: longer waits are a mistake rather than a choice.
constexpr uint32_t kMaxIdleExitSeconds = 86400;

constexpr std::initializer_list<const char*> kValueOptions = {
    "--runtime-dir", "--trace-level", "--simulate", "--personality", "--image",       "--speed",
    "--rate",        "--chunk",       "--repeat",   "--size",        "--reply-delay", "--fault",
    "--state",       "--idle-exit"};

}  // namespace

bool ParseDaemonOptions(const std::vector<std::string>& args, DaemonOptions* options, bool* help,
                        std::string* error) {
  *help = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (option == "--help" || option == "-h") {
      *help = true;
      return false;
    }
    if (option == "--version") {
      options->show_version = true;
      return true;
    }
    if (option == "--unplugged") {
      options->unplugged = true;
      continue;
    }
    if (option == "--end-of-data") {
      options->end_of_data = true;
      continue;
    }
    // What the word is comes before whether a value follows it.
    if (!OneOf(option, kValueOptions)) {
      *error = option.rfind("-", 0) == 0 ? "unknown option: " + option : "unknown argument: " + option;
      return false;
    }
    if (i + 1 >= args.size()) {
      *error = option + " needs a value";
      return false;
    }
    const std::string& value = args[++i];
    bool ok = true;
    if (option == "--runtime-dir") {
      options->runtime_dir = value;
    } else if (option == "--trace-level") {
      ok = ParseNumber(value, &options->trace_level) && options->trace_level >= 0;
    } else if (option == "--simulate") {
      options->simulate = value;
    } else if (option == "--personality") {
      options->personality = value;
      ok = OneOf(value, {"operation", "update", "fx2", "loader"});
    } else if (option == "--image") {
      options->image = value;
      ok = OneOf(value, {"analyzer", "monitor"});
    } else if (option == "--speed") {
      ok = OneOf(value, {"high", "full"});
      options->full_speed = value == "full";
    } else if (option == "--rate") {
      ok = ParseNumber(value, &options->rate);
    } else if (option == "--chunk") {
      ok = ParseNumber(value, &options->chunk);
    } else if (option == "--repeat") {
      ok = ParseNumber(value, &options->repeat) && options->repeat > 0;
    } else if (option == "--size") {
      ok = ParseNumber(value, &options->size);
    } else if (option == "--reply-delay") {
      ok = ParseNumber(value, &options->reply_delay_ms);
    } else if (option == "--idle-exit") {
      ok = ParseNumber(value, &options->idle_exit_seconds) && options->idle_exit_seconds > 0 &&
           options->idle_exit_seconds <= kMaxIdleExitSeconds;
    } else if (option == "--fault") {
      SimulatedFault fault;
      ok = ParseFault(value, &fault);
      options->faults.push_back(fault);
    } else {
      options->state_file = value;
    }
    if (!ok) {
      *error = "bad value for " + option + ": " + value;
      return false;
    }
  }
  const bool simulator_option = options->personality || options->image || options->full_speed ||
                                options->rate || options->chunk || options->repeat != 1 || options->size ||
                                options->reply_delay_ms || !options->faults.empty() ||
                                !options->state_file.empty() || options->unplugged || options->end_of_data;
  if (options->simulate.empty() && simulator_option) {
    *error = "the simulated-device options need --simulate";
    return false;
  }
  return true;
}

}  // namespace velix::daemon
