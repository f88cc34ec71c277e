#include "sim/device/idle_line.h"

#include "Orvane/capture/sample_atom.h"

namespace velix::sim {

using orvane::DecodeAtom;
using orvane::kAtomAlignError;

uint8_t FinalLineState(std::span<const uint8_t> atoms) {
  uint8_t state = 0x0F;
  size_t at = 0;
  while (at < atoms.size()) {
    const bool odd = (at & 1) != 0;
    const orvane::SampleAtom atom = DecodeAtom(&atoms[at], odd, at + 1 < atoms.size());
    if (atom.size == kAtomAlignError) {
      ++at;
      continue;
    }
    state = atom.state;
    at += atom.size;
  }
  return state;
}

void FillIdleAtoms(uint8_t state, bool odd, std::span<uint8_t> out) {
  size_t at = 0;
  while (at < out.size()) {
    // A short atom where a long one may not stand: at an odd position, or in
    // the last byte of the transfer.
    if (odd || at + 1 == out.size()) {
      out[at++] = orvane::EncodeShortAtom(state, orvane::kShortAtomMaxCount);
      odd = !odd;
      continue;
    }
    const uint16_t word = orvane::EncodeLongAtom(state, orvane::kLongAtomMaxCount);
    out[at++] = static_cast<uint8_t>(word & 0xFF);
    out[at++] = static_cast<uint8_t>(word >> 8);
  }
}

}  // namespace velix::sim
