#include "Orvane/interchange/vcd_atom_text.h"

#include <array>
#include <cstring>

#include "Orvane/capture/sample_atom.h"

namespace velix::interchange {
namespace {

// The value-change lines of the lines that changed, for every pair of
// (old state, new state): indexed by the two states side by side, the
// lookup needs no work on them. An entry is 16 bytes and copied whole, in one
// move, with the length after the text: the bytes past the length are
// overwritten by what follows or never written out.
struct alignas(16) ChangeText {
  char text[15] = {};
  uint8_t length = 0;
};

constexpr std::array<ChangeText, 256> kChangeTexts = [] {
  std::array<ChangeText, 256> t{};
  for (int before = 0; before < 16; ++before) {
    for (int state = 0; state < 16; ++state) {
      ChangeText& entry = t[static_cast<size_t>(before << 4 | state)];
      const int changed = before ^ state;
      for (int line = 0; line < kProbeLines; ++line) {
        if ((changed >> line & 1) == 0) continue;
        entry.text[entry.length++] = (state >> line & 1) ? '1' : '0';
        entry.text[entry.length++] = kVcdLineCodes[line];
        entry.text[entry.length++] = '\n';
      }
    }
  }
  return t;
}();

static_assert(VcdTimeStamp::kPutRoom + sizeof(ChangeText) <= VcdAtomText::kAtomTextMax);

// Appends the changed lines' values at `out`; returns the length.
size_t PutChanges(char* out, size_t before, size_t state) {
  const ChangeText& entry = kChangeTexts[before << 4 | state];
  std::memcpy(out, &entry, sizeof entry);
  return entry.length;
}

}  // namespace

size_t VcdAtomText::Start(uint8_t state, uint64_t count, char* out) {
  state_ = state;
  pending_ = count;
  return PutChanges(out, static_cast<uint8_t>(state ^ 0x0F), state);
}

// The loop for one number of ticks per sample period (0: any other, read
// from ticks_): the product for the time stamp is then a shift and an add
// rather than a multiplication by a value loaded from memory.
template <uint64_t kTicks>
size_t VcdAtomText::WriteAt(const uint8_t* data, size_t i, size_t end, char** at, bool* corrupt) {
  // Locals, not members: stores through the output pointer may alias any
  // member, which would then be loaded back after every store.
  VcdTimeStamp stamp = stamp_;
  uint64_t pending = pending_;
  size_t state = state_;  // a word: no widening before each use
  const uint64_t ticks = kTicks != 0 ? kTicks : ticks_;
  char* out = *at;
  *corrupt = false;
  do {
    const orvane::SampleAtom atom = orvane::DecodeAtom(data + i, (i & 1) != 0);
    if (atom.size == orvane::kAtomAlignError) {
      *corrupt = true;
      break;
    }
    i += atom.size;
    pending += atom.count;
    if (atom.state == state) continue;
    if (pending != 0) {
      out += stamp.Advance(pending * ticks, out);
      pending = 0;
    }
    out += PutChanges(out, state, atom.state);
    state = atom.state;
  } while (i < end);
  stamp_ = stamp;
  pending_ = pending;
  state_ = static_cast<uint8_t>(state);
  *at = out;
  return i;
}

size_t VcdAtomText::Write(const uint8_t* data, size_t i, size_t end, char** at, bool* corrupt) {
  switch (ticks_) {
    case 1: return WriteAt<1>(data, i, end, at, corrupt);
    case 2: return WriteAt<2>(data, i, end, at, corrupt);
    case 5: return WriteAt<5>(data, i, end, at, corrupt);
    default: return WriteAt<0>(data, i, end, at, corrupt);
  }
}

size_t VcdAtomText::Finish(char* out) {
  if (pending_ == 0) return 0;
  const uint64_t periods = pending_;
  pending_ = 0;
  return stamp_.Advance(periods * ticks_, out);
}

}  // namespace velix::interchange
