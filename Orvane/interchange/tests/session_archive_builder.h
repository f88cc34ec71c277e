#pragma once
// Writes session archives for the tests and the fuzz seeds: the version,
// the metadata text and the sample chunks, each case building its own.

#include <cstdint>
#include <string>
#include <vector>

namespace velix::interchange::testing {

struct ArchiveEntry {
  std::string name;
  std::string data;
  bool stored = false;  // else deflated
};

// False when libzip could not write the archive.
bool WriteZipArchive(const std::string& path, const std::vector<ArchiveEntry>& entries);

struct SessionPlan {
  std::string sample_rate = "1 MHz";
  uint32_t unit_size = 1;
  uint32_t total_probes = 8;
  // The name of probe i+1; an empty name leaves the probe out.
  std::vector<std::string> probe_names = {"D0", "D1", "D2", "D3", "D4", "D5", "D6", "D7"};
  // The samples of each chunk, as bytes.
  std::vector<std::string> chunks;
  bool single_chunk = false;  // one entry "logic-1" instead of "logic-1-N"
  bool stored = false;
};

std::string SessionMetadataText(const SessionPlan& plan);
// version, metadata and chunks.
std::vector<ArchiveEntry> SessionEntries(const SessionPlan& plan);
std::vector<ArchiveEntry> SessionEntries(const SessionPlan& plan, const std::string& metadata);

// The samples as little-endian bytes of `unit_size` each.
std::string SampleBytes(const std::vector<uint64_t>& samples, uint32_t unit_size);

}  // namespace velix::interchange::testing
