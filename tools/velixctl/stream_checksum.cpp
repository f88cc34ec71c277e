#include "tools/velixctl/stream_checksum.h"

namespace velix::ctl {

uint64_t StreamChecksum(uint64_t running, std::span<const uint8_t> bytes) {
  constexpr uint64_t kPrime = 0x100000001B3ULL;
  for (const uint8_t byte : bytes) {
    running ^= byte;
    running *= kPrime;
  }
  return running;
}

}  // namespace velix::ctl
