#pragma once
// Run-length encodes sampled line states into analyzer atoms. An atom says
// that the previous state held for `count` sample periods and then the lines
// took the atom's state. Long atoms (count up to 2047) stand only at even
// positions; at an odd position a short atom (count up to 7) repeating the
// previous state pads the stream first. Holds longer than one atom can carry
// are split into atoms that repeat the previous state.
//
// The stream opens with a long atom of count 0 carrying the initial state:
// it adds no time and only sets the reader's reference state, so the first
// real change is seen as a change from a known state.

#include <cstdint>

#include "Orvane/capture/sample_atom.h"
#include "sim/byte_writer.h"
#include "sim/sampler.h"

namespace velix::sim {

enum class PaddingStyle : uint8_t {
  kCarryPeriods,  // an odd-position pad carries up to 7 periods of the hold
  kZeroCount,     // an odd-position pad carries no time
};

struct SampleState {
  uint64_t sample = 0;
  uint8_t state = 0;
};

class AtomEncoder final : public SampleSink {
 public:
  AtomEncoder(ByteWriter* out, uint8_t initial_state, PaddingStyle padding = PaddingStyle::kCarryPeriods);

  void Change(uint64_t sample, uint8_t state) override {
    const uint64_t count = sample - run_start_;
    run_start_ = sample;
    // Most changes come a few periods apart: one short atom, which may
    // stand at any position.
    if (count <= orvane::kShortAtomMaxCount) {
      out_.Put(orvane::EncodeShortAtom(state, static_cast<uint16_t>(count)));
      state_ = state;
      return;
    }
    EmitHold(count, state);
  }
  // Change() for each in turn, with the running values held in registers
  // while the changes come a few periods apart (the common case).
  void ChangeAll(const SampleState* changes, size_t count);
  // Writes a byte with bit 4 clear at an odd position (after a zero-count
  // pad when needed): the readers stop there with an alignment error.
  void Corrupt(uint64_t sample) override;
  void End(uint64_t samples) override;

  // Extends the final hold with repeat atoms until exactly `size` bytes
  // have been written (after End).
  void PadToSize(uint64_t size);

 private:
  // The current state held for `count` periods, then the lines took `next`.
  void EmitHold(uint64_t count, uint8_t next);
  bool Odd() const { return (out_.written() & 1) != 0; }

  ByteWriter& out_;
  const PaddingStyle padding_;
  uint8_t state_;
  uint64_t run_start_ = 0;
};

}  // namespace velix::sim
