#pragma once
// Test helpers that read synthesized data back independently of the code
// under test: an atom walk that expands atoms into per-sample states, and a
// direct per-sample evaluation of a waveform.

#include <cstdint>
#include <vector>

#include "Orvane/capture/sample_atom.h"
#include "sim/waveform.h"

namespace velix::sim::testing {

struct WalkResult {
  std::vector<uint8_t> states;  // one entry per sample period
  bool alignment_error = false;
  uint64_t error_position = 0;
};

// Walks atoms the way the readers do: each atom's count is how long the
// previous state held; the first atom only sets the state.
inline WalkResult WalkAtoms(const std::vector<uint8_t>& data) {
  WalkResult result;
  uint8_t state = 0;
  bool first = true;
  for (size_t pos = 0; pos < data.size();) {
    const orvane::SampleAtom atom = orvane::DecodeAtom(&data[pos], (pos & 1) != 0, pos + 1 < data.size());
    if (atom.size == orvane::kAtomAlignError) {
      result.alignment_error = true;
      result.error_position = pos;
      return result;
    }
    if (!first) result.states.insert(result.states.end(), atom.count, state);
    first = false;
    state = atom.state;
    pos += atom.size;
  }
  return result;
}

// State of sample k = the latest change at or before k x period.
inline std::vector<uint8_t> DirectSamples(const Waveform& waveform, uint64_t period, uint64_t samples) {
  std::vector<uint8_t> states(samples);
  uint8_t state = waveform.initial_state;
  size_t next = 0;
  for (uint64_t k = 0; k < samples; ++k) {
    while (next < waveform.changes.size() && waveform.changes[next].time <= k * period) {
      if (waveform.changes[next].state != kCorruptMarker) state = waveform.changes[next].state;
      ++next;
    }
    states[k] = state;
  }
  return states;
}

// Drops, per line, every run shorter than `n` samples (the line keeps its
// previous level instead).
inline std::vector<uint8_t> DirectFilter(const std::vector<uint8_t>& input, uint32_t n) {
  std::vector<uint8_t> output(input);
  for (int line = 0; line < 4; ++line) {
    const uint8_t bit = static_cast<uint8_t>(1u << line);
    uint8_t level = input.empty() ? 0 : input[0] & bit;
    for (size_t begin = 0; begin < input.size();) {
      size_t end = begin;
      while (end < input.size() && (input[end] & bit) == (input[begin] & bit)) ++end;
      if (begin == 0 || end - begin >= n) level = input[begin] & bit;
      for (size_t k = begin; k < end; ++k) output[k] = static_cast<uint8_t>((output[k] & ~bit) | level);
      begin = end;
    }
  }
  return output;
}

}  // namespace velix::sim::testing
