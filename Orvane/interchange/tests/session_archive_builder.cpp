#include "Orvane/interchange/tests/session_archive_builder.h"

#include <zip.h>

namespace velix::interchange::testing {

bool WriteZipArchive(const std::string& path, const std::vector<ArchiveEntry>& entries) {
  int status = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &status);
  if (archive == nullptr) return false;
  for (const ArchiveEntry& entry : entries) {
    zip_source_t* source = zip_source_buffer(archive, entry.data.data(), entry.data.size(), 0);
    const zip_int64_t index = source == nullptr ? -1 : zip_file_add(archive, entry.name.c_str(), source, 0);
    if (index < 0) {
      zip_source_free(source);
      zip_discard(archive);
      return false;
    }
    if (zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                                 entry.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0) != 0) {
      zip_discard(archive);
      return false;
    }
  }
  return zip_close(archive) == 0;
}

std::string SessionMetadataText(const SessionPlan& plan) {
  std::string text = "[global]\nsigrok version=0.5.2\n\n[device 1]\ndriver=demo\ncapturefile=logic-1\n";
  text += "total probes=" + std::to_string(plan.total_probes) + "\n";
  text += "samplerate=" + plan.sample_rate + "\ntotal analog=0\n";
  for (size_t i = 0; i < plan.probe_names.size(); ++i) {
    if (!plan.probe_names[i].empty()) text += "probe" + std::to_string(i + 1) + "=" + plan.probe_names[i] + "\n";
  }
  return text + "unitsize=" + std::to_string(plan.unit_size) + "\n";
}

std::vector<ArchiveEntry> SessionEntries(const SessionPlan& plan, const std::string& metadata) {
  std::vector<ArchiveEntry> entries = {{"version", "2", plan.stored}, {"metadata", metadata, plan.stored}};
  for (size_t i = 0; i < plan.chunks.size(); ++i) {
    const std::string name = plan.single_chunk ? "logic-1" : "logic-1-" + std::to_string(i + 1);
    entries.push_back(ArchiveEntry{name, plan.chunks[i], plan.stored});
  }
  return entries;
}

std::vector<ArchiveEntry> SessionEntries(const SessionPlan& plan) {
  return SessionEntries(plan, SessionMetadataText(plan));
}

std::string SampleBytes(const std::vector<uint64_t>& samples, uint32_t unit_size) {
  std::string bytes;
  for (const uint64_t sample : samples) {
    for (uint32_t i = 0; i < unit_size; ++i) bytes += static_cast<char>(sample >> (8 * i));
  }
  return bytes;
}

}  // namespace velix::interchange::testing
