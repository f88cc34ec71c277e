#pragma once
// The running checksum of streamed bytes (64-bit FNV-1a), the same one the
// simulated device keeps of what it sent, so the two can be compared.

#include <cstdint>
#include <span>

namespace velix::ctl {

inline constexpr uint64_t kStreamChecksumSeed = 0xCBF29CE484222325ULL;

uint64_t StreamChecksum(uint64_t running, std::span<const uint8_t> bytes);

}  // namespace velix::ctl
