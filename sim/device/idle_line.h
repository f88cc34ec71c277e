#pragma once
// What the analyzer sends while the bus is quiet: in bus analyzer mode it
// goes on sampling, so a quiet bus still streams atoms that hold the lines'
// last state; in monitor mode nothing happens on the bus, so nothing is sent.

#include <cstdint>
#include <span>

namespace velix::sim {

// The state the lines are left in by an atom stream: the state of its last
// whole atom, or all lines high (an idle bus) when it has none. Misaligned
// bytes are stepped over.
uint8_t FinalLineState(std::span<const uint8_t> atoms);

// Fills `out` with atoms that hold `state` as long as they can; `odd` is the
// parity of the stream position of out[0], since long atoms stand only at
// even positions.
void FillIdleAtoms(uint8_t state, bool odd, std::span<uint8_t> out);

}  // namespace velix::sim
