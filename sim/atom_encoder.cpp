#include "sim/atom_encoder.h"

#include <algorithm>

#include "Orvane/capture/sample_atom.h"

namespace velix::sim {

using orvane::EncodeLongAtom;
using orvane::EncodeShortAtom;
using orvane::kLongAtomMaxCount;
using orvane::kShortAtomMaxCount;

AtomEncoder::AtomEncoder(ByteWriter* out, uint8_t initial_state, PaddingStyle padding)
    : out_(*out), padding_(padding), state_(initial_state) {
  out_.PutLe16(EncodeLongAtom(initial_state, 0));
}

void AtomEncoder::EmitHold(uint64_t count, uint8_t next) {
  for (;;) {
    if (Odd()) {
      if (count <= kShortAtomMaxCount) break;
      const uint16_t carried = padding_ == PaddingStyle::kCarryPeriods ? kShortAtomMaxCount : 0;
      out_.Put(EncodeShortAtom(state_, carried));
      count -= carried;
    } else {
      if (count <= kLongAtomMaxCount) break;
      out_.PutLe16(EncodeLongAtom(state_, kLongAtomMaxCount));
      count -= kLongAtomMaxCount;
    }
  }
  const auto last = static_cast<uint16_t>(count);
  if (last <= kShortAtomMaxCount) {
    out_.Put(EncodeShortAtom(next, last));
  } else {
    out_.PutLe16(EncodeLongAtom(next, last));
  }
  state_ = next;
}

void AtomEncoder::ChangeAll(const SampleState* changes, size_t count) {
  // Each change written here takes at most three bytes: a pad at an odd
  // position and a long atom.
  constexpr size_t kMostBytes = 3;
  const uint16_t carried = padding_ == PaddingStyle::kCarryPeriods ? kShortAtomMaxCount : 0;
  const SampleState* c = changes;
  const SampleState* const end = changes + count;
  while (c != end) {
    const std::span<uint8_t> space = out_.Space();
    const SampleState* const stop = c + std::min<size_t>(end - c, space.size() / kMostBytes);
    const bool no_room = stop == c;
    uint8_t* const begin = space.data();
    uint8_t* at = begin;
    const uint64_t odd_start = out_.written() & 1;
    uint64_t start = run_start_;
    uint8_t state = state_;
    for (; c != stop; ++c) {
      const SampleState next = *c;
      uint64_t held = next.sample - start;
      if (held > kShortAtomMaxCount) {
        // A hold one long atom carries, after a pad at an odd position, the
        // way EmitHold() writes it; longer ones go there.
        const bool odd = ((odd_start + static_cast<uint64_t>(at - begin)) & 1) != 0;
        const uint64_t after_pad = odd ? held - carried : held;
        if (after_pad > kLongAtomMaxCount) break;
        if (odd) *at++ = EncodeShortAtom(state, carried);
        held = after_pad;
      }
      if (held <= kShortAtomMaxCount) {
        *at++ = EncodeShortAtom(next.state, static_cast<uint16_t>(held));
      } else {
        const uint16_t word = EncodeLongAtom(next.state, static_cast<uint16_t>(held));
        at[0] = static_cast<uint8_t>(word);
        at[1] = static_cast<uint8_t>(word >> 8);
        at += 2;
      }
      start = next.sample;
      state = next.state;
    }
    out_.Commit(static_cast<size_t>(at - begin));
    run_start_ = start;
    state_ = state;
    // A hold too long for the loop, or too little space for three bytes.
    if (c != stop || no_room) {
      Change(c->sample, c->state);
      ++c;
    }
  }
}

void AtomEncoder::Corrupt(uint64_t sample) {
  if (sample > run_start_) EmitHold(sample - run_start_, state_);
  run_start_ = sample;
  if (!Odd()) out_.Put(EncodeShortAtom(state_, 0));
  out_.Put(static_cast<uint8_t>(state_ & 0x0F));
}

void AtomEncoder::End(uint64_t samples) {
  if (samples > run_start_) EmitHold(samples - run_start_, state_);
  run_start_ = samples;
  out_.Flush();
}

void AtomEncoder::PadToSize(uint64_t size) {
  while (out_.written() < size) {
    if (Odd() || size - out_.written() == 1) {
      out_.Put(EncodeShortAtom(state_, kShortAtomMaxCount));
    } else {
      out_.PutLe16(EncodeLongAtom(state_, kLongAtomMaxCount));
    }
  }
  out_.Flush();
}

}  // namespace velix::sim
