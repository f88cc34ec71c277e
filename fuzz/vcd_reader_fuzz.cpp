// Any bytes as a VCD file: the reader must refuse or read them without
// reading out of bounds, and keep its promises to the import: ticks never
// decrease, channels exist, and the stream opens with one level per channel.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Orvane/interchange/vcd_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string error;
  const auto source =
      velix::interchange::OpenVcdText(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.vcd", &error);
  if (!source) {
    if (error.empty()) __builtin_trap();
    return 0;
  }
  const size_t channels = source->Channels().size();
  if (channels == 0) __builtin_trap();
  velix::interchange::LevelChange batch[7];
  uint64_t last = 0;
  size_t seen = 0;
  while (const size_t n = source->Read(batch, 7)) {
    for (size_t i = 0; i < n; ++i) {
      const velix::interchange::LevelChange& c = batch[i];
      if (c.channel >= channels || c.tick < last) __builtin_trap();
      if (seen < channels && (c.channel != seen || (seen > 0 && c.tick != last))) __builtin_trap();
      last = c.tick;
      ++seen;
    }
  }
  if (source->State() == velix::interchange::SourceState::kReading) __builtin_trap();
  if (source->State() == velix::interchange::SourceState::kEnded && (seen < channels || source->EndTick() < last)) {
    __builtin_trap();
  }
  return 0;
}
