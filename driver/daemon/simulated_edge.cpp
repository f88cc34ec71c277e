#include "driver/daemon/simulated_edge.h"

#include <algorithm>

#include "driver/daemon/sim_control.h"

namespace velix::daemon {
namespace {

bool EndsWithNoCase(std::string text, std::string suffix) {
  if (text.size() < suffix.size()) return false;
  text = text.substr(text.size() - suffix.size());
  const auto lower = [](std::string& s) { std::transform(s.begin(), s.end(), s.begin(), ::tolower); };
  lower(text);
  lower(suffix);
  return text == suffix;
}

class SimulatedBackend : public EdgeBackend {
 public:
  SimulatedBackend(const DaemonOptions& options, const std::string& state_path)
      : options_(options), device_(state_path), control_(device_, SynthFrom(options), StreamFrom(options)) {}

  bool Configure(std::string* error) {
    device_.SetHighSpeed(!options_.full_speed);
    if (options_.image) device_.SetAnalyzerImage(*options_.image == "analyzer");
    device_.SetReplyDelay(std::chrono::milliseconds(options_.reply_delay_ms));
    device_.SetStreamConfig(StreamFrom(options_));
    const char* source_kind = EndsWithNoCase(options_.simulate, ".sic") ? "sic" : "scenario";
    std::string why;
    if (!control_.LoadSource(source_kind, options_.simulate, true, &why)) {
      *error = "cannot load " + options_.simulate + ": " + why;
      return false;
    }
    for (const SimulatedFault& fault : options_.faults) {
      sim::FaultKind kind;
      if (FaultFromName(fault.kind, &kind)) device_.ScheduleFault(kind, fault.at_byte);
    }
    return true;
  }

  driver::UsbLowerEdge& Edge() override { return device_; }
  bool Present() override { return false; }
  void PowerOn() override {
    if (options_.unplugged) return;
    sim::Personality personality;
    if (options_.personality && PersonalityFromName(*options_.personality, &personality)) {
      device_.PlugAs(personality);
    } else {
      device_.Plug();
    }
  }
  // The simulated device takes every bulk OUT at once: no request waits on it.
  void PowerOff() override {}
  void ServeControl(int fd) override { control_.ServeConnection(fd); }

 private:
  static sim::SynthOptions SynthFrom(const DaemonOptions& options) {
    sim::SynthOptions synth;
    synth.repeat = options.repeat;
    synth.target_size = options.size;
    return synth;
  }
  static sim::StreamConfig StreamFrom(const DaemonOptions& options) {
    sim::StreamConfig stream;
    stream.bytes_per_second = options.rate;
    stream.max_transfer_bytes = options.chunk;
    stream.end_at_source_end = options.end_of_data;
    return stream;
  }

  const DaemonOptions options_;
  sim::SimulatedDevice device_;
  SimControl control_;
};

}  // namespace

std::unique_ptr<EdgeBackend> CreateSimulatedBackend(const DaemonOptions& options, const std::string& folder,
                                                    std::string* error) {
  const std::string state = options.state_file.empty() ? folder + "/simulated-device.state" : options.state_file;
  auto backend = std::make_unique<SimulatedBackend>(options, state);
  if (!backend->Configure(error)) return nullptr;
  return backend;
}

}  // namespace velix::daemon
