#pragma once
// Writes a sampling data file: the 1024-byte header, then the data as they
// are streamed in. The header is written again at the end, when the data
// length (m_sizeSamplingBuf) is known.

#include <cstdint>
#include <cstdio>
#include <string>

#include "Orvane/capture/settings_record.h"
#include "sim/byte_writer.h"

namespace velix::sim {

class SicFileWriter {
 public:
  SicFileWriter() = default;
  SicFileWriter(const SicFileWriter&) = delete;
  SicFileWriter& operator=(const SicFileWriter&) = delete;
  ~SicFileWriter();

  bool Open(const std::string& path, const orvane::SettingsRecord& settings, std::string* error);
  // Appends data bytes; the sink fails once a write has failed.
  ChunkSink DataSink();
  // Rewrites the header with m_sizeSamplingBuf = the data length and closes.
  bool Finish(orvane::SettingsRecord settings, std::string* error);
  // A write to the file failed (the file system's fault, not the data's).
  bool WriteFailed() const { return failed_; }

 private:
  bool WriteHeader(const orvane::SettingsRecord& settings);

  std::FILE* file_ = nullptr;
  std::string path_;
  uint64_t data_bytes_ = 0;
  bool failed_ = false;
  int errno_ = 0;  // the failed write's reason
};

}  // namespace velix::sim
