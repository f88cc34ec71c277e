#pragma once
// The timed result of a scenario: every change of the four probe lines, and
// the bus-level events (conditions, clocked bits, SS changes) the changes
// were made for. Ground truth and monitor units are built from the events,
// analyzer atoms from the changes.

#include <cstdint>
#include <vector>

namespace velix::sim {

// The lines took `state` (bit n = probe line Sn) at `time` (10 ns units).
// A change with kCorruptMarker asks the atom encoder for a corrupt atom there.
struct LineChange {
  uint64_t time = 0;
  uint8_t state = 0;
};
inline constexpr uint8_t kCorruptMarker = 0xFF;

enum class BusEventKind : uint8_t {
  kStart,        // SDA fell while SCL high
  kStop,         // SDA rose while SCL high
  kSclRise,      // value = SDA at the rise
  kSsChange,     // value = new SS level
  kSclkChange,   // value = new SCLK level, s2/s3 = data lines at the change
  kCorrupt,      // a corrupt atom stands here
};

struct BusEvent {
  uint64_t time = 0;
  BusEventKind kind = BusEventKind::kStart;
  uint8_t value = 0;
  uint8_t s2 = 0;
  uint8_t s3 = 0;
};

// A deliberate short inversion of the lines in `mask` over [begin, end).
struct Glitch {
  uint64_t begin = 0;
  uint64_t end = 0;
  uint8_t mask = 0;
};

struct Waveform {
  uint8_t initial_state = 0x0F;
  uint64_t end_time = 0;  // the capture ends here (exclusive)
  std::vector<LineChange> changes;
  std::vector<BusEvent> events;
  std::vector<Glitch> glitches;
};

}  // namespace velix::sim
