// Any bytes as a VCD file: the reader must refuse or read them without
// reading out of bounds, and keep its promises to the import: ticks never
// decrease, channels exist, and the stream opens with one level per channel.
// The same text with CR LF line ends, which only the word reader takes,
// must read the same: the line reader may never change a result or a
// message.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Orvane/interchange/vcd_source.h"

namespace {

struct Reading {
  bool opened = false;
  std::string error;
  velix::interchange::SourceState state = velix::interchange::SourceState::kReading;
  uint64_t end_tick = 0;
  std::vector<uint64_t> changes;  // tick, then channel x 2 + level, per change

  bool operator==(const Reading&) const = default;
};

Reading Read(std::string_view text) {
  Reading reading;
  const auto source = velix::interchange::OpenVcdText(text, "fuzz.vcd", &reading.error);
  if (!source) {
    if (reading.error.empty()) __builtin_trap();
    return reading;
  }
  reading.opened = true;
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
      reading.changes.push_back(c.tick);
      reading.changes.push_back(uint64_t{c.channel} * 2 + (c.level ? 1 : 0));
    }
  }
  reading.state = source->State();
  if (reading.state == velix::interchange::SourceState::kReading) __builtin_trap();
  if (reading.state == velix::interchange::SourceState::kEnded) {
    if (seen < channels || source->EndTick() < last) __builtin_trap();
    reading.end_tick = source->EndTick();
  } else {
    reading.error = source->Error();
  }
  return reading;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string crlf;
  for (const char c : text) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  if (!(Read(text) == Read(crlf))) __builtin_trap();
  return 0;
}
