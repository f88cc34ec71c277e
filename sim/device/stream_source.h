#pragma once
// Where the capture data a simulated device streams come from: a synthesizer
// scenario or the sampling data of a capture file. Both are held in memory
// whole, so a source is bounded by the size given.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sim/synthesizer.h"

namespace velix::sim {

using StreamData = std::shared_ptr<const std::vector<uint8_t>>;

inline constexpr size_t kSicHeaderSize = 1024;

bool SynthesizeStream(std::string_view scenario_text, const SynthOptions& options, uint64_t max_bytes,
                      StreamData* out, std::string* error);
// The bytes after the 1024-byte header of a capture file.
bool LoadSicStream(const std::string& path, uint64_t max_bytes, StreamData* out, std::string* error);

// Running checksum of streamed bytes (64-bit FNV-1a), so a test can compare
// what was sent with what arrived without keeping the bytes.
inline constexpr uint64_t kStreamChecksumSeed = 0xCBF29CE484222325ULL;
uint64_t StreamChecksum(uint64_t running, std::span<const uint8_t> bytes);

}  // namespace velix::sim
