#pragma once
// Builders of sampling data files for the capture tests.

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "Orvane/capture/settings_record.h"
#include "Orvane/capture/sic_header.h"
#include "platform/tests/scratch_folder.h"

namespace orvane::testing {

using velix::platform::testing::ScratchFolder;
using velix::platform::testing::WriteFile;

inline std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  std::string bytes(static_cast<size_t>(std::max<std::streamoff>(0, file.tellg())), '\0');
  file.seekg(0);
  file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

inline std::string SicBytes(const SettingsRecord& settings, const std::string& data) {
  const SicHeader header = BuildSicHeader(settings);
  return std::string(header.begin(), header.end()) + data;
}

// Data whose byte at position p is a function of p, to see every byte land.
inline std::string PatternData(size_t length) {
  std::string data(length, '\0');
  uint32_t x = 12345;
  for (char& c : data) {
    x = x * 1103515245u + 12345u;
    c = static_cast<char>(x >> 24);
  }
  return data;
}

}  // namespace orvane::testing
