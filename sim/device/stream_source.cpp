#include "sim/device/stream_source.h"

#include "platform/regular_file.h"

namespace velix::sim {

bool SynthesizeStream(std::string_view scenario_text, const SynthOptions& options, uint64_t max_bytes,
                      StreamData* out, std::string* error) {
  SynthResult result;
  if (!SynthesizeToMemory(scenario_text, options, max_bytes, &result, error)) return false;
  *out = std::make_shared<const std::vector<uint8_t>>(std::move(result.data));
  return true;
}

bool LoadSicStream(const std::string& path, uint64_t max_bytes, StreamData* out, std::string* error) {
  std::vector<uint8_t> data;
  switch (platform::ReadRegularFile(path, platform::FinalLink::kFollow, kSicHeaderSize, max_bytes, &data)) {
    case platform::FileReadResult::kOk:
      *out = std::make_shared<const std::vector<uint8_t>>(std::move(data));
      return true;
    case platform::FileReadResult::kCannotOpen:
      *error = "cannot open " + path;
      return false;
    case platform::FileReadResult::kNotRegular:
      *error = "not a regular file: " + path;
      return false;
    case platform::FileReadResult::kTooShort:
      *error = "capture file shorter than its header: " + path;
      return false;
    case platform::FileReadResult::kTooLarge:
      *error = "capture file too large for the device: " + path;
      return false;
    case platform::FileReadResult::kReadFailed:
      break;
  }
  *error = "cannot read " + path;
  return false;
}

uint64_t StreamChecksum(uint64_t running, std::span<const uint8_t> bytes) {
  for (const uint8_t byte : bytes) {
    running ^= byte;
    running *= 0x100000001B3ULL;
  }
  return running;
}

}  // namespace velix::sim
