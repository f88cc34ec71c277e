#include "sim/device/stream_source.h"

#include <fstream>
#include <iterator>

namespace velix::sim {

bool SynthesizeStream(std::string_view scenario_text, const SynthOptions& options, uint64_t max_bytes,
                      StreamData* out, std::string* error) {
  SynthResult result;
  if (!SynthesizeToMemory(scenario_text, options, max_bytes, &result, error)) return false;
  *out = std::make_shared<const std::vector<uint8_t>>(std::move(result.data));
  return true;
}

bool LoadSicStream(const std::string& path, uint64_t max_bytes, StreamData* out, std::string* error) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) {
    *error = "cannot open " + path;
    return false;
  }
  const auto size = static_cast<uint64_t>(in.tellg());
  if (size < kSicHeaderSize) {
    *error = "capture file shorter than its header: " + path;
    return false;
  }
  if (size - kSicHeaderSize > max_bytes) {
    *error = "capture file too large for the device: " + path;
    return false;
  }
  std::vector<uint8_t> data(size - kSicHeaderSize);
  in.seekg(static_cast<std::streamoff>(kSicHeaderSize));
  in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()));
  if (!in) {
    *error = "cannot read " + path;
    return false;
  }
  *out = std::make_shared<const std::vector<uint8_t>>(std::move(data));
  return true;
}

uint64_t StreamChecksum(uint64_t running, std::span<const uint8_t> bytes) {
  for (const uint8_t byte : bytes) {
    running ^= byte;
    running *= 0x100000001B3ULL;
  }
  return running;
}

}  // namespace velix::sim
