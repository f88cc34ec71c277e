#pragma once
// The entries that hold a session's logic samples: either one entry named
// exactly as the capture file, or `<capture file>-1`, `-2`, … numbered
// without gaps, read in numeric order. Each holds whole samples.

#include <cstdint>
#include <string>
#include <vector>

#include "Orvane/interchange/zip_archive.h"

namespace velix::interchange {

// What fits the 32-bit data size of the sampling data file an import
// writes. The stated sizes are checked against it before anything is
// decompressed, and the reader counts what it actually gets, so a small
// archive cannot expand into more than this.
inline constexpr uint64_t kMaxSessionLogicBytes = 0xFFFFFFFFu;

struct SessionChunk {
  std::string name;
  uint64_t index = 0;  // in the archive
  uint64_t size = 0;   // as stated, a multiple of the unit size
};

bool ListSessionChunks(const ZipArchive& archive, const std::string& capture_file, uint32_t unit_size,
                       uint64_t max_total_bytes, std::vector<SessionChunk>* chunks, std::string* error);

}  // namespace velix::interchange
