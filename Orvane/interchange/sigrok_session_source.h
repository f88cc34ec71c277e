#pragma once
// A sigrok session (.sr) read as a logic source: a zip archive with a
// `version` entry ("2"), the `metadata` and the logic samples in numbered
// chunks. Analog data are not read. The samples stream through a fixed
// buffer, so memory stays the same for any session length.

#include <cstdint>
#include <memory>
#include <string>

#include "Orvane/interchange/logic_source.h"
#include "Orvane/interchange/session_chunks.h"
#include "Orvane/interchange/zip_archive.h"

namespace velix::interchange {

// Reads the session in an open archive; `name` starts every message.
// `max_logic_bytes` caps the decompressed samples.
std::unique_ptr<LogicSource> OpenSigrokSession(std::unique_ptr<ZipArchive> archive, const std::string& name,
                                               uint64_t max_logic_bytes, std::string* error);

}  // namespace velix::interchange
