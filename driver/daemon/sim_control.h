#pragma once
// The simulated device's controls as text commands, one per line, for tools
// and tests (velixctl sim ...). Each reply is "ok=1" followed by key=value
// lines, or "ok=0" and "error=TEXT".

#include <mutex>
#include <string>
#include <string_view>

#include "sim/device/simulated_device.h"

namespace velix::daemon {

class SimControl {
 public:
  SimControl(sim::SimulatedDevice& device, sim::SynthOptions synth, sim::StreamConfig stream)
      : device_(device), synth_(synth), stream_(stream) {}

  std::string Execute(std::string_view line);
  // Makes a scenario ("scenario") or the sampling data of a capture file
  // ("sic") the stream source. Only regular files of bounded size are read.
  // With `detail`, a scenario's error is the synthesizer's own message, which
  // may quote the file: for the daemon's command line, never for a control
  // connection.
  bool LoadSource(std::string_view kind, const std::string& path, bool detail, std::string* error);
  // Serves one command connection: reads a line, writes the reply.
  void ServeConnection(int fd);

 private:
  std::string Status() const;

  sim::SimulatedDevice& device_;
  std::mutex lock_;  // one command at a time
  sim::SynthOptions synth_;
  sim::StreamConfig stream_;
};

// The largest stream a source may produce in the simulator (it is held in memory).
inline constexpr uint64_t kMaxSimulatedStreamBytes = uint64_t{1} << 30;
// The largest scenario file read.
inline constexpr uint64_t kMaxScenarioBytes = 1u << 20;

const char* PersonalityName(sim::Personality personality);
bool PersonalityFromName(std::string_view name, sim::Personality* personality);
bool FaultFromName(std::string_view name, sim::FaultKind* kind);

}  // namespace velix::daemon
