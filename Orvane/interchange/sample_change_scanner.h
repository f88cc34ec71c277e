#pragma once
// Turns a stream of fixed-size little-endian samples (bit i of a sample is
// the level of probe i+1) into level changes of the chosen channels: all of
// them at the first sample, then one change per channel whose bit differs
// from the sample before. Bits of other probes never make a change.
//
// Samples are fed in pieces; the changes of one sample may straddle two
// output buffers, so the scanner keeps the ones it could not hand out yet.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "Orvane/interchange/logic_source.h"

namespace velix::interchange {

class SampleChangeScanner {
 public:
  // `channel_bits`: the sample bit of each channel, ascending; unit_size 1 to 8.
  SampleChangeScanner(uint32_t unit_size, const std::vector<uint32_t>& channel_bits);

  // Consumes whole samples from `samples` (sample_count of them) while
  // there is room in `out`; returns how many samples it consumed and adds
  // the changes written to *written.
  size_t Scan(const uint8_t* samples, size_t sample_count, LevelChange* out, size_t capacity, size_t* written);
  // Hands out changes kept from the last sample scanned; true when none remain.
  bool Flush(LevelChange* out, size_t capacity, size_t* written);

  // The samples consumed so far: the tick of the next one.
  uint64_t SampleCount() const { return next_tick_; }

 private:
  uint64_t Load(const uint8_t* sample) const;
  // Skips the leading samples equal to the previous one in the chosen bits.
  size_t SkipUnchanged(const uint8_t* samples, size_t sample_count) const;

  const uint32_t unit_size_;
  uint64_t mask_ = 0;
  std::array<uint32_t, 64> channel_of_bit_{};
  uint64_t previous_ = 0;
  uint64_t pending_ = 0;  // bits whose change is not handed out yet
  uint64_t pending_tick_ = 0;
  uint64_t next_tick_ = 0;
};

}  // namespace velix::interchange
