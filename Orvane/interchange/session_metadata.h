#pragma once
// The `metadata` entry of a session archive: INI-like text with a [global]
// section and one [device N] section per device. The device whose section
// names a `capturefile` holds the logic data; its `samplerate`, `unitsize`,
// `total probes` and `probeN=name` keys say how to read them. Probe N is
// bit N-1 of each sample; probes without a name (disabled when the session
// was saved) are still in the samples but are no channel of ours.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Orvane/interchange/logic_source.h"

namespace velix::interchange {

// Larger metadata are refused rather than read.
inline constexpr size_t kMaxMetadataBytes = 65536;
// Samples are read as one 64-bit word each.
inline constexpr uint32_t kMaxUnitSize = 8;

struct SessionChannel {
  std::string name;
  uint32_t bit = 0;
};

struct SessionMetadata {
  std::string capture_file;
  TickLength tick;
  uint32_t unit_size = 0;
  uint32_t total_probes = 0;
  std::vector<SessionChannel> channels;  // in probe order
};

// False with a message naming the section, key or line at fault.
bool ParseSessionMetadata(std::string_view text, SessionMetadata* metadata, std::string* error);

}  // namespace velix::interchange
