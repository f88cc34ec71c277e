#include "Orvane/interchange/sample_change_scanner.h"

#include <bit>

namespace velix::interchange {

namespace {

// Samples as little-endian bytes, loaded the same way on any host.
uint64_t LoadLittleEndian(const uint8_t* bytes, uint32_t count) {
  uint64_t value = 0;
  for (uint32_t i = 0; i < count; ++i) value |= uint64_t{bytes[i]} << (8 * i);
  return value;
}

// `value` of `unit_size` bytes repeated over a 64-bit word.
uint64_t Repeated(uint64_t value, uint32_t unit_size) {
  uint64_t word = 0;
  for (uint32_t shift = 0; shift < 64; shift += 8 * unit_size) word |= value << shift;
  return word;
}

}  // namespace

SampleChangeScanner::SampleChangeScanner(uint32_t unit_size, const std::vector<uint32_t>& channel_bits)
    : unit_size_(unit_size) {
  for (uint32_t channel = 0; channel < channel_bits.size(); ++channel) {
    mask_ |= uint64_t{1} << channel_bits[channel];
    channel_of_bit_[channel_bits[channel]] = channel;
  }
}

uint64_t SampleChangeScanner::Load(const uint8_t* sample) const { return LoadLittleEndian(sample, unit_size_); }

size_t SampleChangeScanner::SkipUnchanged(const uint8_t* samples, size_t sample_count) const {
  size_t i = 0;
  // Most samples repeat the one before: for sizes that tile a word, eight
  // bytes of samples are compared at once against the previous sample
  // repeated.
  if (unit_size_ < 8 && 8 % unit_size_ == 0) {
    const size_t per_word = 8 / unit_size_;
    const uint64_t expected = Repeated(previous_ & mask_, unit_size_);
    const uint64_t word_mask = Repeated(mask_, unit_size_);
    while (i + per_word <= sample_count &&
           ((LoadLittleEndian(samples + i * unit_size_, 8) & word_mask) ^ expected) == 0) {
      i += per_word;
    }
  }
  while (i < sample_count && ((Load(samples + i * unit_size_) ^ previous_) & mask_) == 0) ++i;
  return i;
}

bool SampleChangeScanner::Flush(LevelChange* out, size_t capacity, size_t* written) {
  // Lowest bit first is channel order, as channels ascend by bit.
  while (pending_ != 0 && *written < capacity) {
    const int bit = std::countr_zero(pending_);
    out[(*written)++] = LevelChange{pending_tick_, channel_of_bit_[bit], ((previous_ >> bit) & 1) != 0};
    pending_ &= pending_ - 1;
  }
  return pending_ == 0;
}

size_t SampleChangeScanner::Scan(const uint8_t* samples, size_t sample_count, LevelChange* out, size_t capacity,
                                 size_t* written) {
  size_t consumed = 0;
  while (consumed < sample_count && Flush(out, capacity, written)) {
    if (next_tick_ == 0) {
      previous_ = Load(samples);
      pending_ = mask_;
    } else {
      const size_t same = SkipUnchanged(samples + consumed * unit_size_, sample_count - consumed);
      consumed += same;
      next_tick_ += same;
      if (consumed == sample_count) break;
      const uint64_t sample = Load(samples + consumed * unit_size_);
      pending_ = (sample ^ previous_) & mask_;
      previous_ = sample;
    }
    pending_tick_ = next_tick_;
    ++consumed;
    ++next_tick_;
  }
  return consumed;
}

}  // namespace velix::interchange
