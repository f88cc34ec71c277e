#pragma once
// The value-change text of a capture's sample atoms: for each atom that
// changes the lines, the time stamp line (when time passed since the last
// one) and a line per probe line that changed.
//
// The atom loop runs in a function of its own, without calls: its values
// then stay in registers rather than being stored and loaded back around
// every line, which costs more than the formatting itself.

#include <cstddef>
#include <cstdint>

#include "Orvane/interchange/bus_lines.h"
#include "Orvane/interchange/vcd_time_stamp.h"

namespace velix::interchange {

// The identifier codes of S0..S3 in the VCD file.
inline constexpr char kVcdLineCodes[kProbeLines] = {'!', '"', '%', '&'};

class VcdAtomText {
 public:
  // The room one atom's text needs at the output: a time stamp and four
  // value changes, each copied at a fixed length.
  static constexpr size_t kAtomTextMax = 64;

  explicit VcdAtomText(uint64_t ticks_per_sample) : ticks_(ticks_per_sample) {}

  // Takes the first atom: the starting state, held for `count` periods.
  // Writes the starting value of every line at `out` (kAtomTextMax bytes of
  // room); returns the length.
  size_t Start(uint8_t state, uint64_t count, char* out);

  // Writes the text of the atoms from data[i] on while the position is below
  // `end`, at `*at` (kAtomTextMax bytes of room per byte of data), and
  // advances `*at`. A long atom at end - 1 reads data[end]. Returns the
  // position after the last atom, or that of a corrupt atom (a long atom at
  // an odd position) with `*corrupt` set. Positions count from an even one.
  size_t Write(const uint8_t* data, size_t i, size_t end, char** at, bool* corrupt);

  // Writes the time stamp of the periods since the last change, if any;
  // returns the length.
  size_t Finish(char* out);

 private:
  template <uint64_t kTicks>
  size_t WriteAt(const uint8_t* data, size_t i, size_t end, char** at, bool* corrupt);

  VcdTimeStamp stamp_;
  uint64_t ticks_;
  uint64_t pending_ = 0;  // sample periods since the last time stamp written
  uint8_t state_ = 0;
};

}  // namespace velix::interchange
