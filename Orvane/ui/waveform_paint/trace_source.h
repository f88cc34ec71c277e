#pragma once
// The atoms one waveform trace reads, and one step along them. The rules are
// the signal cursor's: start in the state in force before the record's
// opening atom, never read past the data end, and read the next record's
// opening atom (it says how long the state before it lasted) but nothing
// after it. Qt-free.

#include <cstdint>

#include "Orvane/capture/atom_walker.h"
#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/settings_record.h"
#include "Orvane/capture/transaction_info.h"
#include "Orvane/decode/line_mapping.h"

namespace orvane::ui {

struct TraceSource {
  const CSamplingObj* sampling = nullptr;
  uint32_t start_position = 0;          // the record's opening atom
  uint32_t last_position = 0xFFFFFFFFu; // the next record's opening atom
  uint32_t data_end = 0;
  LineMapping mapping;
  uint8_t initial_state = 0;  // in force before the opening atom
  int64_t initial_clock = 0;  // where that state is known from: -old_SignalClock

  bool operator==(const TraceSource& other) const {
    return sampling == other.sampling && start_position == other.start_position &&
           last_position == other.last_position && data_end == other.data_end &&
           mapping.shift == other.mapping.shift && mapping.mask == other.mapping.mask &&
           initial_state == other.initial_state && initial_clock == other.initial_clock;
  }
};

TraceSource TraceSourceOf(CSamplingObj& sampling, const SettingsRecord& settings, const TransactionInfo& record);

// A place in the walk: the atom to read next, the clock offset reached
// before it and the mapped state in force there.
struct TracePoint {
  uint32_t position = 0;
  int64_t clock = 0;
  uint8_t state = 0;
};

inline TracePoint StartOf(const TraceSource& source) {
  return {source.start_position, source.initial_clock, source.initial_state};
}

// Reads the atom at `point` and moves past it; false at a limit or an
// unreadable atom, leaving `point` as it was.
inline bool StepAtom(AtomWalker& walker, const TraceSource& source, TracePoint* point) {
  if (point->position >= source.data_end || point->position > source.last_position) return false;
  const SampleAtom atom = walker.Read(point->position);
  if (atom.size != 1 && atom.size != 2) return false;
  point->position += atom.size;
  point->clock += atom.count;
  point->state = source.mapping.Map(atom.state);
  return true;
}

}  // namespace orvane::ui
