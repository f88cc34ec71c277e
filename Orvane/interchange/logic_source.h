#pragma once
// A capture made by another tool, read as named logic channels and the
// changes of their levels. Times are counted in ticks of an exact rational
// length, so no reader rounds: a VCD timescale of 10 ns is 10/1000000000 s,
// a sample rate of 24 MHz is 1/24000000 s.
//
// The stream opens with one change per channel at the first tick, giving
// every channel its initial level; after that a channel appears only when
// its level changes. Ticks never decrease.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velix::interchange {

// Seconds per tick = numerator / denominator; both non-zero.
struct TickLength {
  uint64_t numerator = 1;
  uint64_t denominator = 1;
};

struct LevelChange {
  uint64_t tick = 0;
  uint32_t channel = 0;  // index into Channels()
  bool level = false;
};

enum class SourceState : uint8_t {
  kReading,  // more changes may follow
  kEnded,    // the whole input was read; EndTick() is valid
  kFailed,   // the input is malformed or unreadable; Error() says why
};

class LogicSource {
 public:
  virtual ~LogicSource() = default;

  virtual const std::vector<std::string>& Channels() const = 0;
  virtual TickLength Tick() const = 0;

  // Fills up to `capacity` changes and returns how many; 0 only once the
  // state is no longer kReading.
  virtual size_t Read(LevelChange* out, size_t capacity) = 0;
  virtual SourceState State() const = 0;
  // The tick at which the capture ends (exclusive), once kEnded.
  virtual uint64_t EndTick() const = 0;
  virtual const std::string& Error() const = 0;

  // The settings record of the capture a file was exported from, when the
  // file says so (our own VCD export does); empty otherwise.
  virtual std::vector<uint8_t> CarriedSettings() const { return {}; }
};

// Each opener returns null with a message naming the file and the fault.
std::unique_ptr<LogicSource> OpenVcdSource(const std::string& path, std::string* error);
std::unique_ptr<LogicSource> OpenSigrokSessionSource(const std::string& path, std::string* error);

}  // namespace velix::interchange
